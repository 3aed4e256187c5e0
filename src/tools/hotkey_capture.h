#pragma once
// The rules by which a hotkey field turns key presses into hotkey text ("ALT+Q", "CTRL+SHIFT+K",
// or "无" for none). They see only key-down and key-up messages with virtual-key codes; the
// field shows text() after each one.
//
// Pressing Ctrl or Shift shows its prefix at once ("CTRL+", "SHIFT+", both: "CTRL+SHIFT+"); a
// letter then completes it. A letter pressed alone gives an Alt hotkey ("Q" shows "ALT+Q"), and so
// does a letter pressed with Alt. Releasing a modifier while only its prefix is shown, pressing
// any key that is neither a modifier nor a letter, or releasing a letter that completed nothing
// leaves "无". A prefix without a letter ("CTRL+SHIFT+" after releasing both) stays as typed; such
// a text parses to no usable key and is never registered.
//
// The text is what the player sees and what is saved; it is always upper case.

#include <string>

namespace qrv {

class HotkeyCapture {
 public:
  void KeyDown(unsigned vk);
  void KeyUp(unsigned vk);

  // The field lost the keyboard: the releases of keys still held go elsewhere, so they count as
  // released.
  void ForgetHeldKeys() {
    control_held_ = false;
    shift_held_ = false;
  }
  // Replaces the text (a stored setting shown in the field); the held keys are kept.
  void SetText(std::string text) { text_ = std::move(text); }
  const std::string& text() const { return text_; }
  bool control_held() const { return control_held_; }
  bool shift_held() const { return shift_held_; }

 private:
  std::string text_;
  bool control_held_ = false;
  bool shift_held_ = false;
};

}  // namespace qrv
