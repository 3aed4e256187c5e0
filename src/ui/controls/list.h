#pragma once
// CListUI: a scrolling column of rows with one selected row. Rows are CListLabelElementUI (one
// line of text, markup allowed) or CListContainerElementUI (a row of controls). Pressing a row
// selects it ("itemselect" from the list, wParam the new index, lParam the old one) and sends
// "itemclick" from the row; a double click sends "itemactivate". The list's item attributes
// (itemtextcolor, itemselectedbkcolor, itemhotbkcolor, itemshowhtml, ...) style every row.

#include <memory>
#include <string>

#include "ui/controls/label.h"
#include "ui/controls/layouts.h"

namespace qrv {

class CListUI;

// What every list row offers its list (and combo boxes their items).
class IListItemUI {
 public:
  virtual ~IListItemUI() = default;
  virtual int GetIndex() const = 0;
  virtual void SetIndex(int index) = 0;
  virtual CControlUI* GetOwner() const = 0;
  virtual void SetOwner(CControlUI* owner) = 0;
  virtual bool IsSelected() const = 0;
  // Changes the row's look only; the list keeps track of which row is selected.
  virtual void SetSelected(bool selected) = 0;
};

struct TListInfoUI;

// A control whose rows are list items: the list, and the combo box for its drop-down items.
// GetInterface("IListOwner") returns it.
class IListOwnerUI {
 public:
  virtual ~IListOwnerUI() = default;
  virtual TListInfoUI* GetListInfo() = 0;
  virtual int GetCurSel() const = 0;
  virtual bool SelectItem(int index, bool take_focus = false, bool send_notify = true) = 0;
};

struct TListInfoUI {
  int font = -1;
  std::uint32_t text_style = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
  RECT text_padding{4, 0, 4, 0};
  ARGB text_color = 0;
  ARGB bk_color = 0;
  ARGB selected_text_color = 0;
  ARGB selected_bk_color = 0xffc1e3ffu;
  ARGB hot_text_color = 0;
  ARGB hot_bk_color = 0xffe9f5ffu;
  ARGB disabled_text_color = 0;
  bool show_html = false;
  int item_height = 22;
};

class CListUI : public CVerticalLayoutUI, public IListOwnerUI {
 public:
  CListUI();
  std::string GetClass() const override;
  void* GetInterface(const std::string& name) override;

  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool do_not_destroy = false) override;
  bool RemoveAt(int index, bool do_not_destroy = false) override;
  void RemoveAll() override;

  int GetCurSel() const override { return cur_sel_; }
  // Selects row `index` (-1 clears the selection). Sends "itemselect" when it changed.
  bool SelectItem(int index, bool take_focus = false, bool send_notify = true) override;

  TListInfoUI* GetListInfo() override { return &info_; }
  void SetItemShowHtml(bool show_html = true);
  bool IsItemShowHtml() const { return info_.show_html; }
  void SetItemTextColor(ARGB color);
  void SetItemSelectedBkColor(ARGB color);
  void SetItemHotBkColor(ARGB color);

  void SetAttribute(const std::string& name, const std::string& value) override;
  void DoEvent(TEventUI& event) override;

  // The index of `row` among the list's rows, or -1. A row of this list knows its index, so this
  // takes constant time where GetItemIndex searches.
  int IndexOfRow(const CControlUI* row) const;

 protected:
  // Gives the rows from `first` on their index and this list as their owner.
  void Renumber(int first = 0);
  int cur_sel_ = -1;
  TListInfoUI info_;
};

// Shared by the two row kinds: index, owner and selection.
class CListElementState : public IListItemUI {
 public:
  int GetIndex() const override { return index_; }
  void SetIndex(int index) override { index_ = index; }
  CControlUI* GetOwner() const override { return owner_; }
  void SetOwner(CControlUI* owner) override { owner_ = owner; }
  bool IsSelected() const override { return selected_; }

 protected:
  // The list's shared item look, or null when the row is not in a list.
  TListInfoUI* Info() const;
  IListOwnerUI* Owner() const;
  // Row behaviour shared by both kinds: select on press, "itemclick", "itemactivate", hover.
  // Returns true when the event was a row event.
  bool HandleRowEvent(CControlUI* row, TEventUI& event);
  int index_ = -1;
  CControlUI* owner_ = nullptr;
  std::shared_ptr<bool> alive_row_ = std::make_shared<bool>(true);
  bool selected_ = false;
  bool hot_ = false;
};

class CListLabelElementUI : public CLabelUI, public CListElementState {
 public:
  CListLabelElementUI();
  std::string GetClass() const override;
  void* GetInterface(const std::string& name) override;
  void SetSelected(bool selected) override;
  CDuiSize EstimateSize(CDuiSize available) override;
  void DoEvent(TEventUI& event) override;
  void PaintBkColor(cairo_t* cr) override;

 protected:
  ARGB CurrentTextColor() const override;
  RECT TextRect() const override;
  ui::TextOptions TextOptionsFor() const override;
};

class CListContainerElementUI : public CHorizontalLayoutUI, public CListElementState {
 public:
  CListContainerElementUI();
  std::string GetClass() const override;
  void* GetInterface(const std::string& name) override;
  void SetSelected(bool selected) override;
  CDuiSize EstimateSize(CDuiSize available) override;
  void DoEvent(TEventUI& event) override;
  void PaintBkColor(cairo_t* cr) override;
};

}  // namespace qrv
