#pragma once
// The utility windows on the headless back end, built from the real skin, over a recording
// stand-in for the main frame.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/headless_loop.h"
#include "platform/headless_windows.h"
#include "tools/window_test_support.h"
#include "support/skin_lookups.h"

namespace qrv::testing {

class ToolsWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    loop_ = &HeadlessLoop::Install();
    windows_ = &HeadlessWindows::Install();
    ASSERT_TRUE(CPaintManagerUI::SetResourceZip(QRV_SKIN_ARCHIVE));
    frame_ = std::make_unique<RecordingFrame>();
  }
  void TearDown() override {
    testing::ExpectSkinLookupsFound();
    frame_.reset();
    for (HWND hwnd : AllWindows()) DestroyWindow(hwnd);
    MessageCore::Uninstall();
  }

  static void SaveRendering(CPaintManagerUI& pm, const std::string& file) {
    std::filesystem::create_directories(QRV_DOCS_OUTPUT);
    EXPECT_TRUE(pm.RenderToPng(std::string(QRV_DOCS_OUTPUT) + "/" + file)) << file;
  }

  HeadlessLoop* loop_ = nullptr;
  HeadlessWindows* windows_ = nullptr;
  std::unique_ptr<RecordingFrame> frame_;
};

}  // namespace qrv::testing
