#pragma once
// CBossSetUI: the boss-key window ("bosssetui.xml"), opened by the More panel's "bnboss". The
// player enables or disables the boss key ("openbale") and presses its combination in the hotkey
// field; "bnok" saves "Hotkey"/"eboss" and "Hotkey"/"boss", has the main frame re-register the
// key (message 1036 with id 2) and reports event 200011. The window reads the settings only when
// it is built, so showing it again shows what was last pressed.
//
// Made once by its opener as a pop-up of the main frame and hidden and shown after that; it
// deletes itself with its window.

#include "app/settings_file.h"
#include "tools/edit_ex.h"
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

  CBossSetUI(const SettingsFile& settings, StatSender send_stat);

  std::string GetWindowClassName() const override { return "UIBossSet"; }
  void Notify(TNotifyUI& msg) override;

  // What "bnok" writes and posts, without hiding the window or reporting the event.
  void Save();

  CEditEx* field() const { return field_; }

 protected:
  LRESULT OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  const SettingsFile& settings_;
  StatSender send_stat_;
  CEditEx* field_ = nullptr;
  COptionUI* enabled_ = nullptr;  // "openbale"
};

}  // namespace qrv
