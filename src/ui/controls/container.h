#pragma once
// CContainerUI: a control holding child controls. It owns them, lays them out inside its box
// less the inset (a plain container gives every child the whole inner box; the vertical and
// horizontal layouts arrange them in a column or a row), paints them clipped to itself and
// scrolls them vertically when "vscrollbar" is on and they do not fit.

#include <string>
#include <vector>

#include "ui/controls/control.h"

namespace qrv {

class CContainerUI : public CControlUI {
 public:
  CContainerUI();
  ~CContainerUI() override;
  std::string GetClass() const override;
  void* GetInterface(const std::string& name) override;

  CControlUI* GetItemAt(int index) const;
  int GetItemIndex(CControlUI* control) const;
  bool SetItemIndex(CControlUI* control, int index);
  int GetCount() const { return static_cast<int>(items_.size()); }
  // Adds at the end / at `index` (0..count), taking ownership. False for null, a bad index or
  // a control that already has a parent.
  virtual bool Add(CControlUI* control);
  virtual bool AddAt(CControlUI* control, int index);
  // Removes (and deletes, unless auto-destroy is off or `do_not_destroy`) the child.
  virtual bool Remove(CControlUI* control, bool do_not_destroy = false);
  virtual bool RemoveAt(int index, bool do_not_destroy = false);
  virtual void RemoveAll();
  bool IsAutoDestroy() const { return auto_destroy_; }
  void SetAutoDestroy(bool auto_destroy) { auto_destroy_ = auto_destroy; }

  const RECT& GetInset() const { return inset_; }
  void SetInset(const RECT& inset);
  int GetChildPadding() const { return child_padding_; }
  void SetChildPadding(int padding);
  bool IsMouseChildEnabled() const { return mouse_child_enabled_; }
  void SetMouseChildEnabled(bool enabled = true) { mouse_child_enabled_ = enabled; }

  // --- Scrolling (vertical) ----------------------------------------------------------------
  void EnableScrollBar(bool vertical = true, bool horizontal = false);
  bool IsVScrollEnabled() const { return vscroll_enabled_; }
  CDuiSize GetScrollPos() const { return scroll_pos_; }
  CDuiSize GetScrollRange() const { return scroll_range_; }
  virtual void SetScrollPos(CDuiSize pos);
  void LineUp();
  void LineDown();
  void PageUp();
  void PageDown();
  void HomeUp();
  void EndDown();
  // Scrolls so that `control` (a child) is fully visible.
  void EnsureVisible(CControlUI* control);

  void SetPos(RECT rc, bool need_invalidate = true) override;
  void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
  CControlUI* FindControl(FindControlProc proc, void* data, std::uint32_t flags) override;
  void SetAttribute(const std::string& name, const std::string& value) override;
  void DoPaint(cairo_t* cr, const RECT& paint) override;
  void DoEvent(TEventUI& event) override;

 protected:
  // The box children are laid out in: the control less inset and scroll bar.
  RECT InnerRect() const;
  // Places floating children relative to this control.
  void PlaceFloatChildren();
  // Records how tall the laid-out content is and clamps the scroll position; true when the
  // scroll bar appeared or vanished (the caller lays out again for the changed width).
  bool UpdateScrollRange(int content_height);
  void PaintScrollBar(cairo_t* cr);
  void DetachChild(CControlUI* control, bool destroy);

  std::vector<CControlUI*> items_;
  RECT inset_{};
  int child_padding_ = 0;
  bool auto_destroy_ = true;
  bool mouse_child_enabled_ = true;
  bool vscroll_enabled_ = false;
  bool vscroll_shown_ = false;
  CDuiSize scroll_pos_{};
  CDuiSize scroll_range_{};
};

}  // namespace qrv
