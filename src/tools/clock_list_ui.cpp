#include "tools/clock_list_ui.h"

#include <vector>

#include "platform/message_core.h"
#include "tools/clock_manager_ui.h"

namespace qrv {

CClockListUI::CClockListUI(std::string store_path)
    : CSkinnedWindow("clocklist.xml", Lifetime::kDeletesItself, &builder_callback_),
      store_(std::move(store_path)),
      builder_callback_(&pm_) {}

HWND CClockListUI::Open(HWND main_frame, POINT at) {
  // The layout gives the real size; the caption style is dropped at creation.
  return Create(main_frame, "", kPopupStyle | WS_BORDER | WS_DLGFRAME, 0, at.x, at.y, 100, 100);
}

LRESULT CClockListUI::OnCreate() {
  friends_ = FindControl<CFriendsUI>("friends");
  KeepInsideWorkArea();
  LoadList();
  return 0;
}

void CClockListUI::KeepInsideWorkArea() {
  WindowSystem& windows = WindowSystem::Get();
  const RECT rect = windows.WindowRect(hwnd_);
  const RECT work = windows.WorkAreaAt(rect);
  if (rect.right > work.right) {
    const int left = rect.left + (work.right - rect.right) - kRightMargin;
    windows.SetPos(hwnd_, nullptr, left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // The other edges (the list opens below a button, and the frame may stand anywhere).
  KeepOnMonitor();
}

void CClockListUI::LoadList() {
  if (friends_ == nullptr) return;
  friends_->RemoveAll();
  int position = 0;
  for (const StoredAlarm& alarm : store_.Load()) {
    FriendListEntry entry;
    entry.id = std::to_string(position++);
    entry.logo = alarm.index;
    entry.nickname = alarm.time;
    entry.description = alarm.data;
    entry.note = alarm.repeat;
    friends_->AddNode(entry);
  }
}

HWND CClockListUI::editor_window() const {
  return editor_hwnd_ != nullptr && IsWindow(editor_hwnd_) ? editor_hwnd_ : nullptr;
}

void CClockListUI::Notify(TNotifyUI& msg) {
  if (msg.sType != kNotifyClick || msg.pSender == nullptr) return;
  // The sender may be a row's remove button, which goes with its row: keep its name.
  const std::string name = msg.pSender->GetName();
  if (name.empty()) return;
  RemoveRowsNamed(name);
  if (name == "bnclose") {
    ShowWindow(false);
  } else if (name == "bnset") {
    OpenEditor();
  }
}

void CClockListUI::RemoveRowsNamed(const std::string& name) {
  if (friends_ == nullptr) return;
  std::vector<CControlUI*> rows;
  for (const auto& node : friends_->GetRootNode()->children) {
    if (node->text == name) rows.push_back(node->element);
  }
  for (CControlUI* row : rows) friends_->Remove(row);
}

void CClockListUI::OpenEditor() {
  if (editor_window() == nullptr) {
    const RECT rect = GetWindowRect(hwnd_);
    auto* editor = new CClockManagerUI(store_.path());
    editor_hwnd_ = editor->Open(WindowSystem::Get().Parent(hwnd_), POINT{rect.left, rect.top});
    editor_ = editor_hwnd_ != nullptr ? editor : nullptr;
    if (editor_ == nullptr) return;
  } else {
    editor_->Refresh();
  }
  editor_->ShowWindow(true, true);
  ShowWindow(false);
}

void CClockListUI::OnWindowGone() {
  if (editor_window() != nullptr) DestroyWindow(editor_hwnd_);
  editor_ = nullptr;
  editor_hwnd_ = nullptr;
}

}  // namespace qrv
