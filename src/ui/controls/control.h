#pragma once
// CControlUI: the base of every control. It holds what all controls share (name, text, position
// and size rules, colours and pictures, state flags, tag and user data), paints the common parts
// (background colour, background picture, border) and turns attributes into properties.
//
// Positions are in window client coordinates. A control is owned by its parent container, or by
// the paint manager when it is the root.

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>

#include "ui/core/ui_types.h"
#include "ui/notify.h"

namespace qrv {

class CPaintManagerUI;

// Flags of FindControl.
inline constexpr std::uint32_t UIFIND_ALL = 0x00000000;
inline constexpr std::uint32_t UIFIND_VISIBLE = 0x00000001;
inline constexpr std::uint32_t UIFIND_ENABLED = 0x00000002;
inline constexpr std::uint32_t UIFIND_HITTEST = 0x00000004;
inline constexpr std::uint32_t UIFIND_TOP_FIRST = 0x00000008;
inline constexpr std::uint32_t UIFIND_ME_FIRST = 0x80000000;

// Called for each candidate; a non-null result ends the search with that control.
using FindControlProc = CControlUI* (*)(CControlUI* control, void* data);

class CControlUI {
 public:
  CControlUI();
  virtual ~CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  virtual std::string GetClass() const;
  // This control as the named interface ("Control", "Label", "Button", ...) or null. Names are
  // the element names of the layout format.
  virtual void* GetInterface(const std::string& name);

  const std::string& GetName() const { return name_; }
  virtual void SetName(const std::string& name) { name_ = name; }
  virtual std::string GetText() const { return text_; }
  virtual void SetText(const std::string& text);
  const std::string& GetToolTip() const { return tooltip_; }
  void SetToolTip(const std::string& tooltip) { tooltip_ = tooltip; }
  const std::string& GetUserData() const { return userdata_; }
  void SetUserData(const std::string& data) { userdata_ = data; }
  std::uintptr_t GetTag() const { return tag_; }
  void SetTag(std::uintptr_t tag) { tag_ = tag; }

  // --- Position and size rules -------------------------------------------------------------
  virtual const RECT& GetPos() const { return pos_; }
  // Places the control (layout calls this); containers lay out their children inside.
  virtual void SetPos(RECT rc, bool need_invalidate = true);
  // The "pos" attribute of a floating control: left/top from the parent's left/top, negative
  // values from its right/bottom.
  const RECT& GetFloatPos() const { return float_pos_; }
  void SetFloatPos(const RECT& pos);
  bool IsFloat() const { return float_; }
  void SetFloat(bool is_float = true);
  const RECT& GetPadding() const { return padding_; }
  void SetPadding(const RECT& padding);
  int GetFixedWidth() const { return fixed_size_.cx; }
  void SetFixedWidth(int cx);
  int GetFixedHeight() const { return fixed_size_.cy; }
  void SetFixedHeight(int cy);
  int GetMinWidth() const { return min_size_.cx; }
  void SetMinWidth(int cx);
  int GetMaxWidth() const { return max_size_.cx; }
  void SetMaxWidth(int cx);
  int GetMinHeight() const { return min_size_.cy; }
  void SetMinHeight(int cy);
  int GetMaxHeight() const { return max_size_.cy; }
  void SetMaxHeight(int cy);
  // The size the control asks for in a layout; 0 means "share what is left".
  virtual CDuiSize EstimateSize(CDuiSize available);
  // Where a floating child of a parent at `parent_rect` goes.
  RECT ComputeFloatRect(const RECT& parent_rect) const;

  // --- Look --------------------------------------------------------------------------------
  ARGB GetBkColor() const { return bk_color_; }
  void SetBkColor(ARGB color);
  ARGB GetBkColor2() const { return bk_color2_; }
  void SetBkColor2(ARGB color);
  ARGB GetBorderColor() const { return border_color_; }
  void SetBorderColor(ARGB color);
  int GetBorderSize() const { return border_size_; }
  void SetBorderSize(int size);
  CDuiSize GetBorderRound() const { return border_round_; }
  void SetBorderRound(CDuiSize round);
  const std::string& GetBkImage() const { return bk_image_; }
  void SetBkImage(const std::string& image);
  // Text colour of controls that show text; the base control shows none.
  virtual void SetTextColor(ARGB) {}

  // --- State -------------------------------------------------------------------------------
  virtual bool IsVisible() const { return visible_ && intern_visible_; }
  virtual void SetVisible(bool visible = true);
  // Hidden by the control's owner (a tab layout, a tree row) without touching its own flag.
  virtual void SetInternVisible(bool visible = true);
  virtual bool IsEnabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled = true);
  virtual bool IsMouseEnabled() const { return mouse_enabled_; }
  virtual void SetMouseEnabled(bool enabled = true) { mouse_enabled_ = enabled; }
  virtual bool IsFocused() const { return focused_; }
  virtual void SetFocus();
  // Whether a click or Tab gives this control the keyboard focus.
  virtual bool IsFocusable() const { return false; }
  bool IsContextMenuUsed() const { return context_menu_; }
  void SetContextMenuUsed(bool used) { context_menu_ = used; }

  // --- Tree --------------------------------------------------------------------------------
  CControlUI* GetParent() const { return parent_; }
  CPaintManagerUI* GetManager() const { return manager_; }
  virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true);
  virtual CControlUI* FindControl(FindControlProc proc, void* data, std::uint32_t flags);

  // --- Attributes --------------------------------------------------------------------------
  virtual void SetAttribute(const std::string& name, const std::string& value);
  // Applies `name="value" name2="value2"`, in order.
  void ApplyAttributeList(const std::string& list);

  // --- Painting ----------------------------------------------------------------------------
  void Invalidate();
  bool IsUpdateNeeded() const { return update_needed_; }
  void NeedUpdate();
  void NeedParentUpdate();
  virtual void DoPaint(cairo_t* cr, const RECT& paint);
  virtual void PaintBkColor(cairo_t* cr);
  virtual void PaintBkImage(cairo_t* cr);
  virtual void PaintStatusImage(cairo_t* cr);
  virtual void PaintText(cairo_t* cr);
  virtual void PaintBorder(cairo_t* cr);
  // Draws an image attribute value inside this control's rectangle.
  bool DrawImage(cairo_t* cr, const std::string& image);

  // --- Events ------------------------------------------------------------------------------
  // Runs the OnEvent handlers, then DoEvent unless one of them returned false.
  void Event(TEventUI& event);
  virtual void DoEvent(TEventUI& event);
  // Performs the control's action (a button's click). False when it cannot act now.
  virtual bool Activate();
  // Called once the control is in a managed tree (after the layout was built).
  virtual void DoInit() {}
  // The window holding the focused control gained or lost the keyboard.
  virtual void OnWindowFocusChanged(bool) {}

  CEventSource OnInit;
  CEventSource OnEvent;   // param: TEventUI*
  CEventSource OnNotify;  // param: TNotifyUI*

 protected:
  void SendNotify(const std::string& type, WPARAM wparam = 0, LPARAM lparam = 0);
  // Called when the control stops being visible.
  void LoseInputState();
  // Expires when the control is deleted: code that sends a notification and then goes on
  // checks it, since a handler may delete the control (with its whole window).
  std::weak_ptr<bool> AliveToken() const { return alive_; }

  CPaintManagerUI* manager_ = nullptr;
  CControlUI* parent_ = nullptr;
  std::string name_;
  std::string text_;
  std::string tooltip_;
  std::string userdata_;
  std::uintptr_t tag_ = 0;

  RECT pos_{};
  RECT float_pos_{};
  RECT padding_{};
  CDuiSize fixed_size_{};
  CDuiSize min_size_{};
  CDuiSize max_size_{9999, 9999};
  bool float_ = false;

  ARGB bk_color_ = 0;
  ARGB bk_color2_ = 0;
  ARGB border_color_ = 0;
  int border_size_ = 0;
  CDuiSize border_round_{};
  std::string bk_image_;

  bool visible_ = true;
  bool intern_visible_ = true;
  bool enabled_ = true;
  bool mouse_enabled_ = true;
  bool focused_ = false;
  bool context_menu_ = false;
  bool update_needed_ = true;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace qrv
