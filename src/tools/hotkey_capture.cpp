#include "tools/hotkey_capture.h"

#include "platform/window_system.h"
#include "tools/hotkey_text.h"

namespace qrv {
namespace {

constexpr std::string_view kCtrl = "CTRL+";
constexpr std::string_view kShift = "SHIFT+";
constexpr std::string_view kCtrlShift = "CTRL+SHIFT+";
constexpr std::string_view kAlt = "ALT+";

bool IsLetterKey(unsigned vk) { return vk >= 'A' && vk <= 'Z'; }

}  // namespace

void HotkeyCapture::KeyDown(unsigned vk) {
  // Every key starts the combination afresh.
  text_.clear();
  if (vk == VK_CONTROL) {
    text_ += kCtrl;
    control_held_ = true;
  } else if (vk == VK_SHIFT) {
    text_ = kShift;
    shift_held_ = true;
  }
  if (control_held_ && shift_held_) text_ = kCtrlShift;
  if (vk == VK_MENU) {
    text_ += kAlt;
    return;
  }
  if (!IsLetterKey(vk)) return;
  const char letter = static_cast<char>(vk);
  if (control_held_ && shift_held_) {
    text_ = std::string(kCtrlShift) + letter;
  } else if (control_held_) {
    text_ = std::string(kCtrl) + letter;
  } else if (shift_held_) {
    text_ = std::string(kShift) + letter;
  } else {
    // A plain letter, or one pressed with Alt: an Alt hotkey either way.
    text_ = std::string(kAlt) + letter;
  }
}

void HotkeyCapture::KeyUp(unsigned vk) {
  if (vk == VK_CONTROL) {
    control_held_ = false;
    if (text_.size() <= kCtrl.size()) text_ = kNoHotkeyText;
  } else if (vk == VK_SHIFT) {
    shift_held_ = false;
    if (text_.size() <= kShift.size()) text_ = kNoHotkeyText;
  } else if (vk == VK_MENU) {
    // Alt comes as an ordinary key here: released, it keeps what it completed, like Ctrl.
    if (text_.size() <= kAlt.size()) text_ = kNoHotkeyText;
  } else if (!IsLetterKey(vk)) {
    text_ = kNoHotkeyText;
  } else {
    const bool completed = text_.find(kCtrl) != std::string::npos ||
                           text_.find(kShift) != std::string::npos || text_.find(kAlt) != std::string::npos;
    if (!completed) text_ = kNoHotkeyText;
  }
}

}  // namespace qrv
