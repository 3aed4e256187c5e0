#pragma once
// The main frame's system-wide hotkeys: the screen-capture key (id 1) and the boss key (id 2)
// from the settings, and Alt+F4 (id 115). The table keeps the two keys in registration order, so
// that a WM_HOTKEY can be matched to its action and a changed key can replace its entry.
//
// The two keys are bound through the desktop's shortcut service when the session offers one
// (GlobalShortcuts), and grabbed on the X server (Hotkeys) otherwise; Alt+F4, which only matters
// while the frame has the keyboard, is always grabbed. Whichever way, a key arrives as WM_HOTKEY.
//
// Rules of binding:
// - A change (message 1036) keeps the keys in force until the new ones are; when a new one cannot
//   be bound (another program holds it, the desktop refused it, or it is the other key's
//   combination) nothing changes and the window that asked hears why.
// - A combination without a modifier or a letter ("无") is no key: it releases the old one.
// - The boss key switched off ("Hotkey"/"eboss" 0) holds no combination.
// - At start-up a stored key that cannot be bound is reported once, as a desktop notification.

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "app/frame_messages.h"
#include "app/settings_file.h"
#include "platform/reply_port.h"
#include "platform/types.h"
#include "tools/hotkey_binding.h"
#include "tools/hotkey_text.h"

namespace qrv {

inline constexpr int kAltF4HotkeyId = 115;

class FrameHotkeys {
 public:
  // The desktop's names of the two shortcuts and what it shows the player for them.
  static constexpr const char* kCaptureShortcut = "capture";
  static constexpr const char* kBossShortcut = "boss";
  static constexpr const char* kCaptureDescription = "截图热键：截取屏幕";
  static constexpr const char* kBossDescription = "老板键：隐藏或显示玄岚城";
  static constexpr const char* kUnboundSummary = "玄岚城热键未生效";
  static constexpr const char* kUnboundHint = "可在“系统设置”的“热键设置”中换一个组合键。";

  // Reads "Hotkey"/"cap" and "Hotkey"/"boss" (falling back to ALT+A and ALT+Q) and "eboss",
  // records them with ids 1 and 2, and binds them on `frame` (once the session has said whether
  // it offers the desktop's shortcut service, when one is installed); then grabs Alt+F4 as
  // id 115.
  void RegisterAll(HWND frame, const SettingsFile& settings);

  // Alt+F4 comes and goes with the frame's focus.
  static void RegisterAltF4(HWND frame);
  static void UnregisterAltF4(HWND frame);

  // Message 1036 from a window that waits for the answer (message 1038 to change.reply_to).
  // Changes are taken one after another, in the order they came.
  void Change(HotkeyChange change);
  // Message 1036 with a bare 8-byte entry: the same change, with nobody to answer.
  void Update(const HotkeyTableEntry& entry);

  // The id of the first entry matching a WM_HOTKEY's combination.
  std::optional<int> Match(unsigned modifiers, unsigned key) const;

  const std::vector<HotkeyTableEntry>& table() const { return table_; }
  // Both keys as they stand.
  std::vector<HotkeyInForce> InForce() const;
  // The keys go through the desktop's shortcut service.
  bool through_desktop() const { return mode_ == Mode::kDesktop; }
  // Nothing is waiting: the way of binding is known and no change is under way.
  bool settled() const { return mode_ != Mode::kProbing && !busy_ && waiting_.empty(); }

 private:
  enum class Mode { kProbing, kGrab, kDesktop };
  struct KeyState {
    bool bound = false;
    HotkeyRefusal refusal = HotkeyRefusal::kNone;
  };
  // A key to hold: its id and combination.
  struct Wanted {
    int id;
    Hotkey hotkey;
  };
  struct Outcome {
    bool accepted = true;
    int refused_id = 0;
    HotkeyRefusal refusal = HotkeyRefusal::kNone;
  };

  Hotkey KeyOf(const std::vector<HotkeyTableEntry>& table, int id) const;
  // The keys to hold for a table and switch. A boss key with the capture key's combination is
  // left out (`same_as_other` says so).
  static std::vector<Wanted> WantedKeys(Hotkey capture, Hotkey boss, bool boss_enabled, bool* same_as_other);

  void BindAtStart();
  void ReportUnbound() const;
  void TakeNextChange();
  // Grabs `wanted` on the X server. A key of `must` that cannot be grabbed refuses the whole
  // change and puts back the keys as they were; any other key is grabbed if it can be.
  Outcome Grab(const std::vector<Wanted>& wanted, const std::set<int>& must, std::map<int, KeyState>& states);
  // Binds `wanted` through the desktop, on the same rule; `done` runs with the outcome and the
  // new states.
  void BindThroughDesktop(const std::vector<Wanted>& wanted, const std::set<int>& must,
                          std::function<void(Outcome, std::map<int, KeyState>)> done);
  void Answer(const HotkeyChange& change, const Outcome& outcome) const;

  HWND frame_ = nullptr;
  Mode mode_ = Mode::kProbing;
  std::vector<HotkeyTableEntry> table_;
  bool boss_enabled_ = true;
  std::map<int, KeyState> states_;
  std::deque<HotkeyChange> waiting_;  // changes not taken yet
  bool busy_ = false;                 // the desktop has not answered a change yet
  ReplyPort port_;                    // the desktop's answers; they go with the frame
};

}  // namespace qrv
