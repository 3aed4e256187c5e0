#pragma once
// A headless platform per test, and a toolkit window built from XML text that records the
// notifications and keys it receives.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "automation/automation_client.h"
#include "automation/automation_commands.h"
#include "platform/headless_loop.h"
#include "platform/headless_windows.h"
#include "platform/messages.h"
#include "ui/ui.h"

namespace qrv::testing {

class LayoutWindow : public CWindowWnd, public INotifyUI {
 public:
  LayoutWindow(std::string window_class, std::string xml)
      : class_(std::move(window_class)), xml_(std::move(xml)) {}

  std::string GetWindowClassName() const override { return class_; }
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void Notify(TNotifyUI& msg) override;

  // Creates a pop-up at 100,100 of 300 x 200, visible unless asked otherwise.
  HWND Open(const std::string& title, bool visible = true);
  std::int64_t Id() const { return static_cast<std::int64_t>(IdFromHandle(GetHWND())); }

  CPaintManagerUI pm;
  std::vector<std::string> notes;  // "type:sender"
  std::vector<std::string> keys;   // "down:27", "up:27"
  std::function<void(TNotifyUI&)> on_notify;
  // Notifications of one type, as "type:sender".
  std::vector<std::string> NotesOf(const std::string& type) const;

 private:
  std::string class_;
  std::string xml_;
};

class AutomationTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Runs a request to its end and parses the answer.
  static AutomationAnswer Run(const std::string& json) {
    return AutomationAnswer::FromLine(HandleCommand(json));
  }
  static AutomationAnswer Run(const AutomationRequest& request) { return Run(request.Line()); }

  HeadlessLoop* loop_ = nullptr;
  HeadlessWindows* windows_ = nullptr;
};

// The login-like panel most tests drive.
extern const char kPanelLayout[];

}  // namespace qrv::testing
