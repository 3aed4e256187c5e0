#pragma once
// CEditEx: the hotkey field. A one-line edit of the toolkit that shows the combination the player
// presses instead of what is typed: while it has the keyboard focus, its window hands it every
// key-down and key-up (RouteKey), which go through the capture rules (hotkey_capture.h). Typed
// characters and pastes never reach its text; the input method stays off, so no composition can
// swallow a key. The text is always upper case.
//
// Windows place their fields in code, at fixed client rectangles over frames of their layouts
// (Place).

#include <string>

#include "tools/hotkey_capture.h"
#include "ui/ui.h"

namespace qrv {

class CEditEx final : public CEditUI {
 public:
  CEditEx();
  std::string GetClass() const override { return "EditExUI"; }
  void* GetInterface(const std::string& name) override;

  // Shows `text` upper-cased (letters A to Z only, so "无" stays as it is).
  void SetText(const std::string& text) override;
  void DoEvent(TEventUI& event) override;
  // The field never asks for text input, so a window regaining the keyboard changes nothing.
  void OnWindowFocusChanged(bool) override {}

  const HotkeyCapture& capture() const { return capture_; }

  // Adds a field named `name` to the root of `pm`'s layout, floating at `client_rect` (client
  // coordinates of the window; the root lies at the client origin). Null when there is no root.
  static CEditEx* Place(CPaintManagerUI& pm, const std::string& name, const RECT& client_rect);

  // Hands WM_KEYDOWN / WM_KEYUP / WM_CHAR of a window to its focused hotkey field, before the
  // toolkit would (Tab would move the focus). Returns false, touching nothing, when no hotkey
  // field of `pm` has the focus or `msg` is another message.
  static bool RouteKey(CPaintManagerUI& pm, UINT msg, WPARAM wparam);

 private:
  void ShowCaptured();

  HotkeyCapture capture_;
};

}  // namespace qrv
