#include "tools/boss_set_ui.h"

#include <memory>

#include "app/frame_messages.h"
#include "platform/messages.h"
#include "tools/hotkey_text.h"

namespace qrv {

CBossSetUI::CBossSetUI(const SettingsFile& settings, StatSender send_stat)
    : CSkinnedWindow("bosssetui.xml", Lifetime::kDeletesItself),
      settings_(settings),
      send_stat_(std::move(send_stat)) {}

LRESULT CBossSetUI::OnCreate() {
  enabled_ = FindControl<COptionUI>("openbale");
  if (field_ == nullptr) {
    field_ = CEditEx::Place(pm_, kFieldName, kFieldRect);
    if (field_ != nullptr) field_->SetFocus();
  }
  if (field_ != nullptr) {
    const std::string boss = settings_.ReadText(settings::kHotkey, settings::kBoss);
    field_->SetText(boss.empty() ? FormatHotkeyText(kDefaultBossHotkey) : boss);
  }
  if (enabled_ != nullptr) {
    enabled_->Selected(settings_.ReadInt(settings::kHotkey, settings::kEnableBoss, 1) != 0);
    // The field follows the option whether or not its state changed.
    if (field_ != nullptr) field_->SetEnabled(enabled_->IsSelected());
  }
  return 0;
}

LRESULT CBossSetUI::OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      handled = StartDragInBand(lparam, kDragBandWidth, kDragBandHeight);
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      handled = CEditEx::RouteKey(pm_, msg, wparam);
      return 0;
    default:
      return 0;
  }
}

void CBossSetUI::Notify(TNotifyUI& msg) {
  if (msg.pSender == nullptr) return;
  const std::string& name = msg.pSender->GetName();
  if (msg.sType == kNotifyClick) {
    if (name == "bnok") {
      Save();
      ShowWindow(false);
      if (send_stat_) send_stat_(kSaveEvent);
    } else if (name == "bnclose") {
      ShowWindow(false);
    }
  } else if (msg.sType == kNotifySelectChanged && msg.pSender == enabled_) {
    if (field_ != nullptr) field_->SetEnabled(enabled_->IsSelected());
  }
}

void CBossSetUI::Save() {
  if (enabled_ != nullptr && !enabled_->IsSelected()) {
    // A disabled boss key keeps its combination (and its registration); only the switch is saved.
    settings_.WriteText(settings::kHotkey, settings::kEnableBoss, "0");
    return;
  }
  if (enabled_ != nullptr) settings_.WriteText(settings::kHotkey, settings::kEnableBoss, "1");
  if (field_ == nullptr) return;
  const std::string text = field_->GetText();
  settings_.WriteText(settings::kHotkey, settings::kBoss, text);
  const Hotkey hotkey = ParseHotkeyText(text);
  const HWND parent = WindowSystem::Get().Parent(hwnd_);
  if (parent != nullptr) {
    ::qrv::PostMessage(
        parent, kMsgHotkeyChanged, 0,
        std::make_unique<HotkeyTableEntry>(HotkeyTableEntry{hotkey.modifiers, hotkey.key, kBossHotkeyId}));
  }
}

}  // namespace qrv
