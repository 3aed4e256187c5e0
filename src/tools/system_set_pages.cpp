// The settings window's three pages: what each shows from the settings file, and what saving it
// writes.

#include <memory>

#include "app/desktop_entries.h"
#include "app/frame_messages.h"
#include "platform/messages.h"
#include "tools/hotkey_text.h"
#include "tools/system_set_ui.h"

namespace qrv {
namespace {

// The partner of a pair is updated through its notification, so loading a pair cannot leave
// both selected.
void SelectIfPresent(COptionUI* option, bool selected) {
  if (option != nullptr) option->Selected(selected);
}

std::string HotkeyTextOr(const SettingsFile& settings, const char* key, Hotkey fallback) {
  const std::string text = settings.ReadText(settings::kHotkey, key);
  return text.empty() ? FormatHotkeyText(fallback) : text;
}

const char* Flag(bool on) { return on ? "1" : "0"; }

}  // namespace

void CSystemSetUI::LoadGeneralPage() {
  const SettingsFile& settings = deps_.settings;
  const int autorun = settings.ReadInt(settings::kRunset, settings::kAutorun, 1);
  const int autologin = settings.ReadInt(settings::kRunset, settings::kAutologin, 1);
  const int show_top = settings.ReadInt(settings::kRunset, settings::kShowTop, 1);
  const int exit = settings.ReadInt(settings::kRunset, settings::kExit, 1);
  SelectIfPresent(autorun_, autorun != 0);
  if (autologin_ != nullptr) {
    // Automatic login needs a remembered password. The option comes back once there is one.
    autologin_->SetEnabled(settings.ReadInt(settings::kUpdateLower, settings::kNote, 0) != 0);
    autologin_->Selected(autologin != 0);
  }
  SelectIfPresent(show_top_, show_top != 0);
  if (exit == 1) SelectIfPresent(minimise_, true);
  if (exit == 2) SelectIfPresent(exit_, true);
}

void CSystemSetUI::LoadHotkeyPage() {
  if (boss_field_ == nullptr) {
    boss_field_ = CEditEx::Place(pm_, kBossFieldName, kBossFieldRect);
    if (boss_field_ != nullptr) boss_field_->SetFocus();
  }
  if (capture_field_ == nullptr) capture_field_ = CEditEx::Place(pm_, kCaptureFieldName, kCaptureFieldRect);
  if (capture_field_ != nullptr)
    capture_field_->SetText(HotkeyTextOr(deps_.settings, settings::kCap, kDefaultCaptureHotkey));
  if (boss_field_ != nullptr)
    boss_field_->SetText(HotkeyTextOr(deps_.settings, settings::kBoss, kDefaultBossHotkey));
  if (error_line_ != nullptr) error_line_->SetText("");
  if (deps_.hotkeys) ShowInForce(deps_.hotkeys());
}

void CSystemSetUI::ShowInForce(const std::vector<HotkeyInForce>& keys) {
  for (const auto& [line, id] :
       {std::pair{capture_state_, kCaptureHotkeyId}, std::pair{boss_state_, kBossHotkeyId}}) {
    const HotkeyInForce* key = FindInForce(keys, id);
    if (line != nullptr && key != nullptr) line->SetText(InForceText(*key));
  }
}

void CSystemSetUI::LoadUpdatePage() {
  const int type = deps_.settings.ReadInt(settings::kUpdate, settings::kType, 1);
  if (type == 1) SelectIfPresent(update_auto_, true);
  if (type == 2) SelectIfPresent(update_ask_, true);
}

void CSystemSetUI::SaveGeneralPage() {
  bool autorun = true;
  if (autorun_ != nullptr) {
    autorun = autorun_->IsSelected();
    // A folder that cannot be written leaves the entry as it was, silently, as a registry
    // without rights would; the setting is written all the same.
    SetAutostart(autorun, deps_.autostart);
  }
  const bool autologin = autologin_ == nullptr || autologin_->IsSelected();
  bool show_top = true;
  if (show_top_ != nullptr) {
    show_top = show_top_->IsSelected();
    const HWND parent = WindowSystem::Get().Parent(hwnd_);
    if (parent != nullptr)
      SetWindowPos(parent, show_top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  const int exit = exit_ != nullptr && exit_->IsSelected() ? 2 : 1;
  const SettingsFile& settings = deps_.settings;
  settings.WriteText(settings::kRunset, settings::kAutorun, Flag(autorun));
  settings.WriteText(settings::kRunset, settings::kAutologin, Flag(autologin));
  settings.WriteText(settings::kRunset, settings::kShowTop, Flag(show_top));
  settings.WriteText(settings::kRunset, settings::kExit, exit == 2 ? "2" : "1");
}

bool CSystemSetUI::SaveHotkeyPage() {
  const std::string capture = capture_field_ != nullptr ? capture_field_->GetText() : std::string();
  const std::string boss = boss_field_ != nullptr ? boss_field_->GetText() : std::string();
  const HWND parent = WindowSystem::Get().Parent(hwnd_);
  if (parent == nullptr) {
    WriteHotkeys(capture, boss);
    return true;
  }
  // Both keys go to the frame at once and are written only when both are in force, so a key
  // another program holds leaves the settings and the working keys as they were.
  auto change = std::make_unique<HotkeyChange>();
  for (const auto& [text, id] : {std::pair{&capture, kCaptureHotkeyId}, std::pair{&boss, kBossHotkeyId}}) {
    const Hotkey hotkey = ParseHotkeyText(*text);
    change->entries.push_back(HotkeyTableEntry{hotkey.modifiers, hotkey.key, id});
  }
  change->reply_to = hwnd_;
  change->serial = ++serial_;
  pending_ = Pending{serial_, capture, boss, false};
  if (error_line_ != nullptr) error_line_->SetText("");
  ::qrv::PostMessage(parent, kMsgHotkeyChanged, 0, std::move(change));
  return false;
}

void CSystemSetUI::WriteHotkeys(const std::string& capture, const std::string& boss) {
  deps_.settings.WriteText(settings::kHotkey, settings::kCap, capture);
  deps_.settings.WriteText(settings::kHotkey, settings::kBoss, boss);
  if (deps_.send_stat) deps_.send_stat(kSaveHotkeysEvent);
}

void CSystemSetUI::OnHotkeyAnswer(const HotkeyAnswer& answer) {
  if (!pending_ || pending_->serial != answer.serial) return;
  const Pending pending = *pending_;
  pending_.reset();
  ShowInForce(answer.in_force);
  if (!answer.accepted) {
    if (error_line_ != nullptr)
      error_line_->SetText(HotkeyName(answer.refused_id) + "：" +
                           RefusalText(answer.refusal, answer.refused_id));
    return;
  }
  WriteHotkeys(pending.capture, pending.boss);
  if (pending.hide) ShowWindow(false);
}

void CSystemSetUI::SaveUpdatePage() {
  if (update_ask_ != nullptr && update_ask_->IsSelected()) {
    deps_.settings.WriteText(settings::kUpdate, settings::kType, "2");
  } else if (update_auto_ != nullptr && update_auto_->IsSelected()) {
    deps_.settings.WriteText(settings::kUpdate, settings::kType, "1");
  }
}

}  // namespace qrv
