#pragma once
// The main frame's tray icon record: the icon (tip "玄岚城登陆器", callback message 1037) and
// whether it is shown. Every removal is skipped while it is not shown, so the exit paths can all
// remove it without caring which of them ran first.

#include "platform/types.h"

namespace qrv {

class FrameTray {
 public:
  static constexpr const char* kTip = "玄岚城登陆器";

  // Adds the icon of `frame`; the flag is set only when the tray took it.
  void Add(HWND frame);
  void Remove(HWND frame);
  bool shown() const { return shown_; }

 private:
  bool shown_ = false;
};

}  // namespace qrv
