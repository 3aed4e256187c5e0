#pragma once
// Helpers for testing the program's windows on the headless back end: a stand-in for the main
// frame that records every message it receives, a click as the window system delivers it, and a
// working directory changed for one test.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/message_core.h"
#include "platform/messages.h"
#include "platform/window_system.h"
#include "ui/ui.h"

namespace qrv::testing {

// A top-level window that only records what reaches it, standing in for the main frame.
class RecordingFrame final : public MessageTarget {
 public:
  struct Received {
    UINT msg;
    WPARAM wparam;
    LPARAM lparam;
  };

  explicit RecordingFrame(RECT rect = RECT{100, 50, 1300, 850}) {
    hwnd_ = RegisterWindow(this);
    WindowCreateParams params;
    params.title = "玄岚城";
    params.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    params.rect = rect;
    WindowSystem::Get().Create(hwnd_, params);
  }
  ~RecordingFrame() override {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  RecordingFrame(const RecordingFrame&) = delete;
  RecordingFrame& operator=(const RecordingFrame&) = delete;

  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override {
    if (msg == WM_NCDESTROY) WindowSystem::Get().Destroy(hwnd_);
    if (msg >= WM_USER || msg == WM_SYSCOMMAND || msg == WM_KEYDOWN)
      received.push_back({msg, wparam, lparam});
    // A block handed over with a message lives only while it is delivered: read it here.
    if (on_message) on_message(msg, wparam, lparam);
    return 0;
  }

  // How many times `msg` arrived.
  int Count(UINT msg) const {
    int count = 0;
    for (const Received& r : received) count += r.msg == msg ? 1 : 0;
    return count;
  }

  HWND hwnd() const { return hwnd_; }
  std::vector<Received> received;
  std::function<void(UINT msg, WPARAM wparam, LPARAM lparam)> on_message;

 private:
  HWND hwnd_ = nullptr;
};

inline LPARAM PointParam(POINT pt) {
  return MAKELPARAM(static_cast<std::uint16_t>(pt.x), static_cast<std::uint16_t>(pt.y));
}

inline POINT CentreOf(const CControlUI& control) {
  const RECT r = control.GetPos();
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Presses and releases the left button over `control`, as the window system delivers a click.
inline void ClickControl(HWND hwnd, CPaintManagerUI& pm, const CControlUI& control) {
  pm.UpdateLayout();  // as a paint would before the player sees the control
  const LPARAM at = PointParam(CentreOf(control));
  SendMessage(hwnd, WM_MOUSEMOVE, 0, at);
  SendMessage(hwnd, WM_LBUTTONDOWN, 1, at);
  SendMessage(hwnd, WM_LBUTTONUP, 0, at);
}

inline void ClickNamed(HWND hwnd, CPaintManagerUI& pm, const std::string& name) {
  pm.UpdateLayout();
  CControlUI* control = pm.FindControl(name);
  ASSERT_NE(control, nullptr) << name;
  ClickControl(hwnd, pm, *control);
}

// Live windows of the class `cls`.
inline int CountWindowsOfClass(const std::string& cls) {
  int count = 0;
  for (HWND hwnd : AllWindows()) {
    CWindowWnd* window = CWindowWnd::FromHandle(hwnd);
    if (window != nullptr && window->GetWindowClassName() == cls) ++count;
  }
  return count;
}

// The working directory is `dir` while this lives.
class ScopedCurrentDir {
 public:
  explicit ScopedCurrentDir(const std::filesystem::path& dir) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~ScopedCurrentDir() { std::filesystem::current_path(old_); }
  ScopedCurrentDir(const ScopedCurrentDir&) = delete;
  ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;

 private:
  std::filesystem::path old_;
};

}  // namespace qrv::testing
