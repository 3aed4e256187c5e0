#pragma once
// What the main frame and the two windows that change hotkeys (the settings window and the
// boss-key window) tell each other about binding a key. A window asks with message 1036 carrying
// a HotkeyChange; the frame binds the new combinations while the old ones keep working and answers
// with message 1038 carrying a HotkeyAnswer. Only an accepted change is saved by the window; a
// refused one leaves the old keys in force and the settings as they were, and the window says why
// in a line of its own.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"
#include "tools/hotkey_text.h"

namespace qrv {

// Why a combination is not in force.
enum class HotkeyRefusal {
  kNone,
  kHeldElsewhere,     // another program holds it (the X server refused the grab)
  kRefusedByDesktop,  // the desktop's shortcut service did not bind it
  kSameAsOther,       // it is the combination of the frame's other hotkey
};

// One of the frame's two hotkeys as it stands.
struct HotkeyInForce {
  int id = 0;
  Hotkey hotkey;              // the combination the frame uses (the table's)
  bool bound = false;         // pressing it reaches the frame
  bool switched_off = false;  // the boss key while "Hotkey"/"eboss" is 0
  // The desktop's own words for the trigger when the desktop's shortcut service binds the key
  // (the player may have chosen another key there); empty for keys the program grabs itself.
  std::string desktop_trigger;
  HotkeyRefusal refusal = HotkeyRefusal::kNone;  // why a usable key is not bound
};

// The block of message 1036 from a window that wants an answer.
struct HotkeyChange {
  std::vector<HotkeyTableEntry> entries;  // the new combinations, one per id
  std::optional<bool> boss_enabled;       // the boss-key window's switch
  HWND reply_to = nullptr;                // where the answer goes
  int serial = 0;                         // handed back in the answer
};

// The block of message 1038: the frame's answer to a HotkeyChange.
struct HotkeyAnswer {
  int serial = 0;
  bool accepted = false;
  int refused_id = 0;  // the id whose combination could not be bound
  HotkeyRefusal refusal = HotkeyRefusal::kNone;
  std::vector<HotkeyInForce> in_force;  // both keys as they stand after the change (or without it)
};

// The frame's hotkeys as they stand, for the windows that show them.
using HotkeyStatusSource = std::function<std::vector<HotkeyInForce>()>;

// "截图热键" or "老板键".
std::string HotkeyName(int id);

// The line under a refused change, for example "该快捷键已被其他程序占用".
std::string RefusalText(HotkeyRefusal refusal, int id);

// One line saying what is in force for a key: "当前生效：ALT+Q", "当前生效：Ctrl+Alt+Q（桌面快捷键）",
// "当前未生效：该快捷键已被其他程序占用", "老板键已关闭" or "未设置热键".
std::string InForceText(const HotkeyInForce& key);

// The entry of `id` in `keys`, or null.
const HotkeyInForce* FindInForce(const std::vector<HotkeyInForce>& keys, int id);

}  // namespace qrv
