#include "tools/boss_set_ui.h"

#include <memory>

#include "app/frame_messages.h"
#include "platform/messages.h"
#include "tools/hotkey_text.h"

namespace qrv {

CBossSetUI::CBossSetUI(const SettingsFile& settings, StatSender send_stat, HotkeyStatusSource hotkeys)
    : CSkinnedWindow("bosssetui.xml", Lifetime::kDeletesItself),
      settings_(settings),
      send_stat_(std::move(send_stat)),
      hotkeys_(std::move(hotkeys)) {}

LRESULT CBossSetUI::OnCreate() {
  enabled_ = FindControl<COptionUI>("openbale");
  state_line_ = FindControl(kStateLineName);
  error_line_ = FindControl(kErrorLineName);
  ShowInForce();
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
    case kMsgHotkeyAnswer:
      if (auto answer = TakePayload<HotkeyAnswer>(lparam)) OnAnswer(*answer);
      handled = true;
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
      if (Save()) {
        ShowWindow(false);
        if (send_stat_) send_stat_(kSaveEvent);
      }
    } else if (name == "bnclose") {
      ShowWindow(false);
    }
  } else if (msg.sType == kNotifySelectChanged && msg.pSender == enabled_) {
    if (field_ != nullptr) field_->SetEnabled(enabled_->IsSelected());
  }
}

bool CBossSetUI::Save() {
  const bool enabled = enabled_ == nullptr || enabled_->IsSelected();
  const std::string text = field_ != nullptr ? field_->GetText() : std::string();
  const HWND parent = WindowSystem::Get().Parent(hwnd_);
  if (parent == nullptr) {
    WriteSettings(enabled, text);
    return true;
  }
  // Nothing is written until the frame has the key in force: a key that cannot be bound must
  // leave the settings (and the key that works) as they were.
  auto change = std::make_unique<HotkeyChange>();
  if (enabled_ != nullptr) change->boss_enabled = enabled;
  if (enabled && field_ != nullptr) {
    const Hotkey hotkey = ParseHotkeyText(text);
    change->entries.push_back(HotkeyTableEntry{hotkey.modifiers, hotkey.key, kBossHotkeyId});
  }
  change->reply_to = hwnd_;
  change->serial = ++serial_;
  pending_ = Pending{serial_, enabled, text};
  SetErrorLine("");
  ::qrv::PostMessage(parent, kMsgHotkeyChanged, 0, std::move(change));
  return false;
}

void CBossSetUI::WriteSettings(bool enabled, const std::string& text) const {
  if (!enabled) {
    // A disabled boss key keeps its combination; only the switch is saved.
    settings_.WriteText(settings::kHotkey, settings::kEnableBoss, "0");
    return;
  }
  if (enabled_ != nullptr) settings_.WriteText(settings::kHotkey, settings::kEnableBoss, "1");
  if (field_ != nullptr) settings_.WriteText(settings::kHotkey, settings::kBoss, text);
}

void CBossSetUI::OnAnswer(const HotkeyAnswer& answer) {
  if (!pending_ || pending_->serial != answer.serial) return;
  const Pending pending = *pending_;
  pending_.reset();
  ShowInForce(answer.in_force);
  if (!answer.accepted) {
    SetErrorLine(RefusalText(answer.refusal, answer.refused_id));
    return;
  }
  WriteSettings(pending.enabled, pending.text);
  ShowWindow(false);
  if (send_stat_) send_stat_(kSaveEvent);
}

void CBossSetUI::ShowInForce() {
  if (hotkeys_) ShowInForce(hotkeys_());
}

void CBossSetUI::ShowInForce(const std::vector<HotkeyInForce>& keys) {
  const HotkeyInForce* boss = FindInForce(keys, kBossHotkeyId);
  if (state_line_ != nullptr && boss != nullptr) state_line_->SetText(InForceText(*boss));
}

void CBossSetUI::SetErrorLine(const std::string& text) {
  if (error_line_ != nullptr) error_line_->SetText(text);
}

}  // namespace qrv
