#pragma once
// CBossSetUI: the boss-key window ("bosssetui.xml"), opened by the More panel's "bnboss". The
// player enables or disables the boss key ("openbale") and presses its combination in the hotkey
// field; "bnok" asks the main frame to bind it (message 1036 with a HotkeyChange) and waits for
// the answer (message 1038): once the key is in force it saves "Hotkey"/"eboss" and
// "Hotkey"/"boss", hides and reports event 200011; a key that cannot be bound keeps the window
// open with the reason in "lbhotkeyerror", and nothing is saved. "lbbossstate" shows what is in
// force. The window reads the settings only when it is built, so showing it again shows what was
// last pressed.
//
// Made once by its opener as a pop-up of the main frame and hidden and shown after that; it
// deletes itself with its window.

#include <optional>
#include <string>

#include "app/settings_file.h"
#include "tools/edit_ex.h"
#include "tools/hotkey_binding.h"
#include "tools/stat_sender.h"
#include "ui/ui.h"

namespace qrv {

class CBossSetUI final : public CSkinnedWindow {
 public:
  // The hotkey field's place in the client area, over the layout's frame.
  static constexpr RECT kFieldRect{125, 98, 300, 113};
  static constexpr const char* kFieldName = "edbosskey";
  static constexpr const char* kSaveEvent = "200011";
  // A left press above this line and left of the close button drags the window.
  static constexpr int kDragBandWidth = 305;
  static constexpr int kDragBandHeight = 30;

  static constexpr const char* kStateLineName = "lbbossstate";
  static constexpr const char* kErrorLineName = "lbhotkeyerror";

  CBossSetUI(const SettingsFile& settings, StatSender send_stat, HotkeyStatusSource hotkeys = {});

  std::string GetWindowClassName() const override { return "UIBossSet"; }
  void Notify(TNotifyUI& msg) override;

  // What "bnok" does before hiding: without a main frame it saves at once and returns true;
  // otherwise it asks the frame to bind the key and returns false (the answer saves).
  bool Save();
  // Shows in "lbbossstate" what the frame has in force for the boss key.
  void ShowInForce();

  CEditEx* field() const { return field_; }
  // The refusal line's text ("" when none).
  std::string error_text() const { return error_line_ != nullptr ? error_line_->GetText() : std::string(); }
  bool waiting() const { return pending_.has_value(); }

 protected:
  LRESULT OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  // A change sent to the frame whose answer has not come yet.
  struct Pending {
    int serial = 0;
    bool enabled = true;
    std::string text;
  };

  void WriteSettings(bool enabled, const std::string& text) const;
  void OnAnswer(const HotkeyAnswer& answer);
  void ShowInForce(const std::vector<HotkeyInForce>& keys);
  void SetErrorLine(const std::string& text);

  const SettingsFile& settings_;
  StatSender send_stat_;
  HotkeyStatusSource hotkeys_;
  CEditEx* field_ = nullptr;
  COptionUI* enabled_ = nullptr;      // "openbale"
  CControlUI* state_line_ = nullptr;  // "lbbossstate"
  CControlUI* error_line_ = nullptr;  // "lbhotkeyerror"
  std::optional<Pending> pending_;
  int serial_ = 0;
};

}  // namespace qrv
