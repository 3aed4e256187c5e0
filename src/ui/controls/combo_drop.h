#pragma once
// The drop-down of a CComboUI: a pop-up toolkit window under the combo holding a list with one
// row per item. Choosing a row selects that item in the combo; losing the keyboard focus,
// Escape or a second press on the combo closes it. The window deletes itself when it ends.

#include <string>

#include "ui/notify.h"
#include "ui/paint_manager.h"
#include "ui/window_wnd.h"

namespace qrv {

class CComboUI;
class CListUI;

class CComboDropWnd final : public CWindowWnd, public INotifyUI {
 public:
  explicit CComboDropWnd(CComboUI* owner);
  // Creates the window under the combo; false when it could not be made.
  bool Open();
  // The combo no longer wants the drop-down (or is going away): forget it and close.
  void Detach();
  CPaintManagerUI& PaintManager() { return manager_; }
  CListUI* List() const { return list_; }

  std::string GetWindowClassName() const override { return "UIComboDrop"; }
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void Notify(TNotifyUI& msg) override;

 protected:
  void OnFinalMessage(HWND hwnd) override;

 private:
  void BuildList();
  void Choose(int index);

  CComboUI* owner_;
  CPaintManagerUI manager_;
  CListUI* list_ = nullptr;  // owned by manager_
};

}  // namespace qrv
