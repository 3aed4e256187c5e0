#include "ui/controls/combo_drop.h"

#include <algorithm>

#include "platform/messages.h"
#include "ui/controls/combo.h"
#include "ui/controls/list.h"

namespace qrv {

CComboDropWnd::CComboDropWnd(CComboUI* owner) : owner_(owner) {}

bool CComboDropWnd::Open() {
  CPaintManagerUI* owner_manager = owner_->GetManager();
  const HWND owner_window = owner_manager->GetPaintWindow();
  const RECT window = WindowSystem::Get().WindowRect(owner_window);
  const RECT& box = owner_->GetPos();
  const CDuiSize wanted = owner_->GetDropBoxSize();
  const int rows = std::max(1, owner_->GetCount());
  const int width = wanted.cx > 0 ? wanted.cx : box.right - box.left;
  const int height = std::min(wanted.cy > 0 ? wanted.cy : 150, rows * owner_->GetListInfo()->item_height + 2);
  const int x = window.left + box.left;
  const int y = window.top + box.bottom;
  return Create(owner_window, "", WS_POPUP | WS_VISIBLE, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, x, y, width,
                height) != nullptr;
}

void CComboDropWnd::BuildList() {
  list_ = new CListUI;
  *list_->GetListInfo() = *owner_->GetListInfo();
  list_->SetBkColor(0xffffffffu);
  list_->SetBorderColor(0xffa0a0a0u);
  list_->SetBorderSize(1);
  list_->SetInset(RECT{1, 1, 1, 1});
  if (!owner_->GetDropBoxAttributeList().empty())
    list_->ApplyAttributeList(owner_->GetDropBoxAttributeList());
  for (int i = 0; i < owner_->GetCount(); ++i) {
    CControlUI* item = owner_->GetItemAt(i);
    auto* row = new CListLabelElementUI;
    row->SetText(item->GetText());
    row->SetEnabled(item->IsEnabled());
    if (item->GetFixedHeight() > 0) row->SetFixedHeight(item->GetFixedHeight());
    list_->Add(row);
  }
}

LRESULT CComboDropWnd::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_CREATE: {
      manager_.Init(hwnd_);
      if (CPaintManagerUI* owner_manager = owner_ != nullptr ? owner_->GetManager() : nullptr) {
        manager_.Fonts() = owner_manager->Fonts();
        manager_.SetDefaultFontColor(owner_manager->GetDefaultFontColor());
      }
      BuildList();
      manager_.AttachDialog(list_);
      manager_.AddNotifier(this);
      list_->SelectItem(owner_ != nullptr ? owner_->GetCurSel() : -1, false, false);
      return 0;
    }
    case WM_SHOWWINDOW:
      if (wparam != 0) WindowSystem::Get().SetFocus(hwnd_);
      break;
    case WM_KILLFOCUS:
      Close(IDCANCEL);
      return 0;
    case WM_KEYDOWN:
      if (wparam == VK_ESCAPE) {
        Close(IDCANCEL);
        return 0;
      }
      if (wparam == VK_RETURN) {
        Choose(list_->GetCurSel());
        return 0;
      }
      if (wparam == VK_UP || wparam == VK_DOWN) {
        const int next = list_->GetCurSel() + (wparam == VK_UP ? -1 : 1);
        if (next >= 0 && next < list_->GetCount()) list_->SelectItem(next, false, false);
        return 0;
      }
      break;
    default:
      break;
  }
  LRESULT result = 0;
  if (manager_.MessageHandler(msg, wparam, lparam, result)) return result;
  return CWindowWnd::HandleMessage(msg, wparam, lparam);
}

void CComboDropWnd::Choose(int index) {
  CComboUI* owner = owner_;
  if (owner != nullptr) owner->drop_ = nullptr;
  owner_ = nullptr;
  Close(IDOK);
  // Last: the combo's window may react to "itemselect" by changing anything, this included.
  if (owner != nullptr && index >= 0) owner->SelectItem(index, false, true);
}

void CComboDropWnd::Notify(TNotifyUI& msg) {
  if (msg.sType != kNotifyItemClick || list_ == nullptr) return;
  const int index = list_->GetItemIndex(msg.pSender);
  if (index >= 0) Choose(index);
}

void CComboDropWnd::Detach() {
  owner_ = nullptr;
  if (hwnd_ == nullptr || !IsWindow(hwnd_)) return;
  // Inside our own message handling the window may not vanish under its feet: close later.
  if (manager_.IsDispatching())
    Close(IDCANCEL);
  else
    DestroyWindow(hwnd_);
}

void CComboDropWnd::OnFinalMessage(HWND) {
  if (owner_ != nullptr && owner_->drop_ == this) owner_->drop_ = nullptr;
  delete this;
}

}  // namespace qrv
