#include "chat/face_dlg_ui.h"

#include <algorithm>
#include <cstdio>

#include "chat/emoticons.h"
#include "platform/loop_backend.h"
#include "platform/message_core.h"
#include "platform/messages.h"

namespace qrv {
namespace {

constexpr char kButtonPrefix[] = "bnface";
constexpr std::size_t kButtonPrefixLength = 6;

std::string BaseName(const std::string& bitmap) {
  const std::size_t dot = bitmap.rfind('.');
  return dot == std::string::npos ? bitmap : bitmap.substr(0, dot);
}

}  // namespace

CFaceDlgUI::CFaceDlgUI(EmoticonInserter& target)
    : CSkinnedWindow("facedlg.xml", Lifetime::kDeletesItself), target_(target), bitmaps_(PickerBitmaps()) {}

HWND CFaceDlgUI::Open(HWND owner, POINT bottom_left) {
  // Made hidden: the layout gives the size, which places the picker before it is first seen.
  const HWND hwnd =
      Create(owner, kTitle, kPopupStyle & ~WS_VISIBLE, WS_EX_TOOLWINDOW, bottom_left.x, bottom_left.y, 0, 0);
  if (hwnd != nullptr) ShowAt(bottom_left);
  return hwnd;
}

void CFaceDlgUI::ShowAt(POINT bottom_left) {
  if (hwnd_ == nullptr) return;
  WindowSystem& windows = WindowSystem::Get();
  const RECT rect = windows.WindowRect(hwnd_);
  const RECT work = windows.WorkArea();
  const int left = std::max(work.left, std::min(bottom_left.x, work.right - rect.Width()));
  const int top = std::max(work.top, bottom_left.y - rect.Height());
  windows.SetPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  hidden_by_focus_at_ = -1;
  ShowWindow(true, true);
}

LRESULT CFaceDlgUI::OnCreate() {
  BuildFaces();
  return 0;
}

void CFaceDlgUI::BuildFaces() {
  std::array<CContainerUI*, kRowNames.size()> rows{};
  for (std::size_t r = 0; r < rows.size(); ++r) rows[r] = FindControl<CContainerUI>(kRowNames[r]);
  for (std::size_t i = 0; i < bitmaps_.size(); ++i) {
    // A new row begins at every multiple of 11; faces past the third row have no place.
    const std::size_t r = i / kFacesPerRow;
    if (r >= rows.size() || rows[r] == nullptr) continue;
    ++count_;
    const std::string& bitmap = bitmaps_[i];
    char attributes[512];
    std::snprintf(attributes, sizeof attributes,
                  "name=\"bnface%s\" float=\"true\" normalimage=\"%s\" bordersize=\"0\" pos=\"0,0,0,0\" "
                  "bordercolor=\"#FF000000\" width=\"26\" height=\"26\"",
                  BaseName(bitmap).c_str(), bitmap.c_str());
    auto* button = new CButtonUI;
    button->ApplyAttributeList(attributes);
    auto* cell = new CHorizontalLayoutUI;
    cell->ApplyAttributeList("maxwidth=\"28\" ");
    char name[32];
    std::snprintf(name, sizeof name, "容器%d", count_);
    cell->SetName(name);
    cell->Add(button);
    rows[r]->Add(cell);
  }
}

void CFaceDlgUI::Notify(TNotifyUI& msg) {
  if (msg.sType != kNotifyClick || msg.pSender == nullptr) return;
  const std::string name = msg.pSender->GetName();
  if (name.find(kButtonPrefix) == std::string::npos || name.size() <= kButtonPrefixLength) return;
  target_.InsertEmoticon(name.substr(kButtonPrefixLength));
}

LRESULT CFaceDlgUI::OnMessage(UINT msg, WPARAM, LPARAM, bool& handled) {
  handled = false;
  if (msg == WM_KILLFOCUS && IsWindowVisible(hwnd_)) {
    LoopBackend* backend = MessageCore::Backend();
    hidden_by_focus_at_ = backend != nullptr ? backend->NowMs() : 0;
    ShowWindow(false);
  }
  return 0;
}

}  // namespace qrv
