#pragma once
// Helpers of the GTK back-end tests: a recording window with a native window, waiting on the GLib
// loop with a bound, synthesised input through xdotool, and reading pixels back from the screen.
// These tests need an X display (the test command runs them under Xvfb).

#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/gtk/gtk_platform.h"
#include "platform/gtk/gtk_windows.h"
#include "platform/message_core.h"
#include "platform/messages.h"
#include "platform/window_system.h"

namespace qrv::testing {

struct Received {
  UINT msg;
  WPARAM wparam;
  LPARAM lparam;
};

inline int ClientX(LPARAM lparam) { return static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lparam))); }
inline int ClientY(LPARAM lparam) { return static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(lparam))); }

// A window that records what it receives, paints itself in one colour and answers WM_NCHITTEST
// as told.
class TestWindow : public MessageTarget {
 public:
  explicit TestWindow(const WindowCreateParams& params) : hwnd_(RegisterWindow(this)) {
    WindowSystem::Get().Create(hwnd_, params);
  }
  ~TestWindow() override {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override {
    received_.push_back({msg, wparam, lparam});
    if (msg == WM_DESTROY) WindowSystem::Get().Destroy(hwnd_);
    if (msg == WM_PAINT) {
      auto* cr = reinterpret_cast<cairo_t*>(lparam);
      cairo_set_source_rgb(cr, ((fill_ >> 16) & 0xFF) / 255.0, ((fill_ >> 8) & 0xFF) / 255.0, (fill_ & 0xFF) / 255.0);
      cairo_paint(cr);
      if (paint_extra_) paint_extra_(cr);
    }
    if (on_message_) {
      LRESULT result = 0;
      if (on_message_(msg, wparam, lparam, result)) return result;
    }
    if (msg == WM_NCHITTEST) return hit_test_;
    return 0;
  }

  HWND hwnd() const { return hwnd_; }
  void set_fill(std::uint32_t rgb) { fill_ = rgb; }
  void set_hit_test(LRESULT hit) { hit_test_ = hit; }
  void set_paint_extra(std::function<void(cairo_t*)> extra) { paint_extra_ = std::move(extra); }
  // Returns true when it answered the message (with `result`).
  std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> on_message_;

  std::vector<Received> Of(UINT msg) const {
    std::vector<Received> out;
    for (const auto& r : received_) {
      if (r.msg == msg) out.push_back(r);
    }
    return out;
  }
  bool Saw(UINT msg) const { return !Of(msg).empty(); }
  std::vector<UINT> MouseButtonMessages() const {
    std::vector<UINT> out;
    for (const auto& r : received_) {
      if (r.msg >= WM_LBUTTONDOWN && r.msg <= WM_RBUTTONDBLCLK) out.push_back(r.msg);
    }
    return out;
  }
  void Clear() { received_.clear(); }

 private:
  HWND hwnd_;
  std::uint32_t fill_ = 0xC03020;
  LRESULT hit_test_ = HTCLIENT;
  std::function<void(cairo_t*)> paint_extra_;
  std::vector<Received> received_;
};

// Runs the GLib loop until `done` holds or `timeout_ms` of real time has passed.
bool WaitFor(const std::function<bool()>& done, int timeout_ms = 5000);
// Lets the loop run for a while (for "nothing happens" checks, never for timing).
void Settle(int ms = 200);

// Runs xdotool with `arguments`; true when it succeeded.
bool Xdotool(const std::string& arguments);

// The colour (0xRRGGBB) on screen at the point, read back from the root window.
std::uint32_t ScreenPixel(int x, int y);
// Whether two colours are the same within a small tolerance (an 8-bit-deep screen rounds them).
bool SameColor(std::uint32_t a, std::uint32_t b);

// The geometry of the window's X window as the X server has it (origin and size).
RECT ServerGeometry(HWND hwnd);

class GtkPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(InstallGtkPlatform()) << "these tests need an X display: run them under xvfb-run -a";
    windows_ = GtkWindows::Current();
    ASSERT_NE(windows_, nullptr);
  }
  void TearDown() override { MessageCore::Uninstall(); }

  static WindowCreateParams Toplevel(int x, int y, int width, int height, std::uint32_t style = WS_POPUP) {
    WindowCreateParams params;
    params.title = "test window";
    params.style = style;
    params.rect = RECT{x, y, x + width, y + height};
    return params;
  }

  // Shows the window and waits until it is on screen and painted.
  void ShowAndWait(TestWindow& window);

  GtkWindows* windows_ = nullptr;
};

}  // namespace qrv::testing
