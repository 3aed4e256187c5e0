#pragma once
// Helpers for the toolkit tests: a headless platform per test, pictures and zip archives made
// on the fly, a window that builds a layout from XML text and records its notifications, and
// mouse/keyboard input as the window system would deliver it.

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "platform/headless_loop.h"
#include "platform/headless_windows.h"
#include "platform/messages.h"
#include "support/temp_dir.h"
#include "ui/ui.h"

namespace qrv {
// Readable rectangles in test failures.
inline void PrintTo(const RECT& r, std::ostream* os) {
  *os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}
}  // namespace qrv

namespace qrv::testing {

using TempDir = qrv::test::TempDir;

// Where tests leave pictures for a person to look at: <build>/test_output/ui.
std::filesystem::path OutputDir();

// A PNG of `width` x `height` whose pixel (x, y) is paint(x, y) as 0xAARRGGBB.
std::string MakePng(int width, int height, const std::function<std::uint32_t(int, int)>& paint);
std::string SolidPng(int width, int height, std::uint32_t argb);
// Writes a zip archive holding `files`.
void WriteZip(const std::string& path, const std::map<std::string, std::string>& files);

// The pixel at (x, y) of an ARGB32 surface as 0xAARRGGBB (un-premultiplied for opaque pixels).
std::uint32_t PixelAt(cairo_surface_t* surface, int x, int y);

// Installs the headless loop and windows for the test and clears the skin afterwards.
class UiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  HeadlessLoop* loop_ = nullptr;
  HeadlessWindows* windows_ = nullptr;
};

// A toolkit window built from XML text; keeps every notification it receives.
class LayoutWindow : public CWindowWnd, public INotifyUI {
 public:
  explicit LayoutWindow(std::string xml, IDialogBuilderCallback* callback = nullptr)
      : xml_(std::move(xml)), callback_(callback) {}

  std::string GetWindowClassName() const override { return "UITestLayout"; }
  UINT GetClassStyle() const override { return CS_DBLCLKS; }
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void Notify(TNotifyUI& msg) override;

  // Creates a visible pop-up at 100,100 of the given size.
  HWND Open(int width, int height);

  CPaintManagerUI pm;
  std::vector<TNotifyUI> notes;
  std::function<void(TNotifyUI&)> on_notify;
  bool final_message = false;
  bool delete_on_final = false;

  // "type:sender" of every notification, in order.
  std::vector<std::string> Log() const;
  std::vector<std::string> LogOf(const std::string& type) const;
  void Clear() { notes.clear(); }

  template <class T>
  T* Find(const std::string& name) {
    return static_cast<T*>(pm.FindControl(name));
  }

 protected:
  void OnFinalMessage(HWND) override;

 private:
  std::string xml_;
  IDialogBuilderCallback* callback_;
};

// Input as the window system sends it, in client coordinates.
void MoveMouse(HWND hwnd, int x, int y);
void Click(HWND hwnd, int x, int y);
void Press(HWND hwnd, int x, int y);
void Release(HWND hwnd, int x, int y);
void DoubleClick(HWND hwnd, int x, int y);
void Wheel(HWND hwnd, int x, int y, int delta);
void Key(HWND hwnd, unsigned vk);
void Type(HWND hwnd, const std::u32string& text);
// Centre of a control.
POINT CenterOf(CControlUI* control);
void ClickControl(HWND hwnd, CControlUI* control);

}  // namespace qrv::testing
