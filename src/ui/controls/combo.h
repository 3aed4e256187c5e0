#pragma once
// CComboUI: a box showing the text of its selected item; its items (list rows given as its
// children in the layout, or added with Add) appear in a drop-down list when it is pressed. The
// drop-down is a pop-up toolkit window of its own; choosing a row there selects it here and
// sends "itemselect" (wParam the new index, lParam the old one). Opening sends "dropdown".
// Up/Down change the selection while the combo has the focus.

#include <string>

#include "ui/controls/container.h"
#include "ui/controls/list.h"

namespace qrv {

class CComboDropWnd;

class CComboUI : public CContainerUI, public IListOwnerUI {
 public:
  CComboUI();
  ~CComboUI() override;
  std::string GetClass() const override;
  void* GetInterface(const std::string& name) override;
  bool IsFocusable() const override { return true; }

  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool RemoveAt(int index, bool do_not_destroy = false) override;
  void RemoveAll() override;

  int GetCurSel() const override { return cur_sel_; }
  bool SelectItem(int index, bool take_focus = false, bool send_notify = true) override;
  TListInfoUI* GetListInfo() override { return &info_; }
  // The text of the selected item ("" without one).
  std::string GetText() const override;

  bool Activate() override;
  bool IsDropped() const { return drop_ != nullptr; }
  void CloseDrop();
  const std::string& GetDropBoxAttributeList() const { return drop_box_attributes_; }
  CDuiSize GetDropBoxSize() const { return drop_box_size_; }
  void SetTextPadding(const RECT& padding) { text_padding_ = padding; }
  void SetTextColor(ARGB color) override { info_.text_color = color; }

  void SetAttribute(const std::string& name, const std::string& value) override;
  void SetPos(RECT rc, bool need_invalidate = true) override;
  CControlUI* FindControl(FindControlProc proc, void* data, std::uint32_t flags) override;
  void DoEvent(TEventUI& event) override;
  void DoPaint(cairo_t* cr, const RECT& paint) override;

 private:
  friend class CComboDropWnd;
  void Renumber();

  int cur_sel_ = -1;
  TListInfoUI info_;
  std::string drop_box_attributes_;
  CDuiSize drop_box_size_{0, 150};
  RECT text_padding_{4, 0, 4, 0};
  std::string normal_image_;
  std::string hot_image_;
  std::string pushed_image_;
  std::string focused_image_;
  std::string disabled_image_;
  bool hot_ = false;
  CComboDropWnd* drop_ = nullptr;
};

}  // namespace qrv
