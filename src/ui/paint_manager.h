#pragma once
// CPaintManagerUI: the toolkit side of one window. It owns the control tree built from a layout,
// lays it out to the window's client size, paints it into the cairo context that WM_PAINT
// carries, turns mouse and keyboard messages into control events (hot, pushed, focus, clicks),
// runs control timers on the window's timers and sends notifications to the window.
//
// The static part holds what the whole process shares: the program's folder and the skin
// archive that layouts and pictures are read from.

#include <cairo.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"
#include "ui/core/ui_types.h"
#include "ui/notify.h"
#include "ui/render/font_set.h"

namespace qrv {

class CControlUI;

// Posted by the paint manager to its own window after AttachDialog; it lays the tree out and
// sends "windowinit" once the window code has finished its creation step.
inline constexpr UINT kMsgToolkitInit = 0xBF01;

class CPaintManagerUI {
 public:
  CPaintManagerUI();
  ~CPaintManagerUI();
  CPaintManagerUI(const CPaintManagerUI&) = delete;
  CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

  // --- Process-wide ------------------------------------------------------------------------
  // `program_path` is the program file; its folder becomes the instance path.
  static void SetInstance(const std::string& program_path);
  static const std::string& GetInstance();
  // Folder of the program, ending in "/". Without SetInstance, the folder of /proc/self/exe.
  static std::string GetInstancePath();
  // Opens the skin archive (relative paths are taken from the instance path). With `cached`
  // the archive is read into memory once. Returns false (after one line on stderr) when the
  // archive cannot be read; every layout then builds empty.
  static bool SetResourceZip(const std::string& path, bool cached = false);
  static bool SetResourceZipData(std::string bytes);
  static bool SetResourceFolder(const std::string& folder);
  static void SetResourceFiles(std::map<std::string, std::string> files);
  // Runs the message loop until WM_QUIT; returns its exit code.
  static int MessageLoop();
  // The paint manager of a window, or null (for the automation interface).
  static CPaintManagerUI* ForWindow(HWND hwnd);

  // --- Window ------------------------------------------------------------------------------
  void Init(HWND hwnd);
  HWND GetPaintWindow() const { return hwnd_; }
  // Handles a window message; true when it was consumed (then `result` is the answer).
  bool MessageHandler(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result);

  // Makes `root` the window's control tree (taking ownership; a previous root is deleted).
  bool AttachDialog(CControlUI* root);
  CControlUI* GetRoot() const { return root_; }

  CDuiSize GetInitSize() const { return init_size_; }
  // The layout's <Window size>; resizes the window when there is one and it is not a child.
  void SetInitSize(int cx, int cy);
  RECT GetCaptionRect() const { return caption_; }
  void SetCaptionRect(const RECT& rc) { caption_ = rc; }
  RECT GetSizeBox() const { return size_box_; }
  void SetSizeBox(const RECT& rc) { size_box_ = rc; }
  CDuiSize GetRoundCorner() const { return round_corner_; }
  void SetRoundCorner(int cx, int cy);
  CDuiSize GetMinInfo() const { return min_info_; }
  void SetMinInfo(int cx, int cy) { min_info_ = {cx, cy}; }
  CDuiSize GetMaxInfo() const { return max_info_; }
  void SetMaxInfo(int cx, int cy) { max_info_ = {cx, cy}; }

  // --- Fonts, colours, defaults ------------------------------------------------------------
  ui::FontSet& Fonts() { return fonts_; }
  const ui::FontSet& Fonts() const { return fonts_; }
  void AddFont(int id, const std::string& family, int size, bool bold = false, bool underline = false,
               bool italic = false);
  void SetDefaultFont(const std::string& family, int size, bool bold = false, bool underline = false,
                      bool italic = false);
  ARGB GetDefaultFontColor() const { return default_text_color_; }
  void SetDefaultFontColor(ARGB color) { default_text_color_ = color; }
  ARGB GetDefaultDisabledColor() const { return default_disabled_color_; }
  void SetDefaultDisabledColor(ARGB color) { default_disabled_color_ = color; }
  ARGB GetDefaultLinkFontColor() const { return default_link_color_; }
  void SetDefaultLinkFontColor(ARGB color) { default_link_color_ = color; }
  // Attribute lists applied to every element of that name before its own attributes.
  void AddDefaultAttributeList(const std::string& control_name, const std::string& list);
  std::string GetDefaultAttributeList(const std::string& control_name) const;

  // --- Notifications -----------------------------------------------------------------------
  bool AddNotifier(INotifyUI* notifier);
  bool RemoveNotifier(INotifyUI* notifier);
  void SendNotify(CControlUI* control, const std::string& type, WPARAM wparam = 0, LPARAM lparam = 0);
  void SendNotify(TNotifyUI& msg);

  // --- Controls ----------------------------------------------------------------------------
  CControlUI* FindControl(const std::string& name) const;
  // The topmost visible control under `pt` (containers included), laying out first if needed.
  CControlUI* FindControl(POINT pt);
  CControlUI* FindSubControlByName(CControlUI* parent, const std::string& name) const;
  // Every control of the tree named `name`, in tree order.
  std::vector<CControlUI*> FindControls(const std::string& name) const;
  CControlUI* GetFocus() const { return focus_; }
  void SetFocus(CControlUI* control);
  // Moves the focus to the next (or previous) focusable control; false when there is none.
  bool SetNextTabControl(bool forward = true);
  CControlUI* GetHotControl() const { return hot_; }
  POINT GetMousePos() const { return mouse_pos_; }

  // --- Timers of controls ------------------------------------------------------------------
  bool SetTimer(CControlUI* control, UINT id, UINT elapse_ms);
  bool KillTimer(CControlUI* control, UINT id);
  void KillTimer(CControlUI* control);

  // --- Layout and painting -----------------------------------------------------------------
  void NeedUpdate();
  void Invalidate();
  void Invalidate(const RECT& rc);
  // Lays the tree out now when something changed since the last layout.
  void UpdateLayout();
  // Paints the part `area` of the window into `cr`.
  void Paint(cairo_t* cr, const RECT& area);
  // Paints the whole window into an image surface (no display needed).
  bool RenderToSurface(cairo_surface_t* surface);
  bool RenderToPng(const std::string& path);

  // --- For containers ----------------------------------------------------------------------
  // Forgets focus, hover, capture and timers inside a subtree that leaves the window.
  void ReapObjects(CControlUI* control);
  // Forgets focus, hover and capture inside a subtree that was hidden (its timers keep running).
  void ForgetInputState(CControlUI* control);
  // Deletes a removed control now, or after the message being handled when events are in
  // flight (a button may remove its own row from its click handler).
  void DeleteControlSafely(CControlUI* control);
  bool IsDispatching() const { return dispatch_depth_ > 0; }

 private:
  struct ControlTimer {
    CControlUI* control;
    UINT id;
    std::uintptr_t window_id;
  };

  static void RegisterManager(HWND hwnd, CPaintManagerUI* manager);
  static void UnregisterManager(HWND hwnd, CPaintManagerUI* manager);
  RECT ClientRect() const;
  void LayoutAndInit();
  void FlushDelayedCleanup();
  bool HandleMouse(UINT msg, WPARAM wparam, LPARAM lparam);
  bool HandleKey(UINT msg, WPARAM wparam);
  void SendEvent(CControlUI* control, UiEventType type, POINT pt, WPARAM wparam = 0, LPARAM lparam = 0,
                 std::uint32_t key = 0);
  void SetHot(CControlUI* control, POINT pt);
  std::uint64_t Now() const;

  HWND hwnd_ = nullptr;
  CControlUI* root_ = nullptr;
  CControlUI* focus_ = nullptr;
  CControlUI* hot_ = nullptr;
  CControlUI* capture_ = nullptr;
  POINT mouse_pos_{};
  bool shift_down_ = false;
  bool layout_needed_ = true;
  bool init_sent_ = false;
  bool init_posted_ = false;
  RECT last_layout_rect_{};
  int dispatch_depth_ = 0;
  std::vector<CControlUI*> delayed_cleanup_;
  std::vector<INotifyUI*> notifiers_;
  std::vector<ControlTimer> timers_;
  std::uintptr_t next_timer_id_ = 0x7fff0000;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

  CDuiSize init_size_{};
  RECT caption_{};
  RECT size_box_{};
  CDuiSize round_corner_{};
  CDuiSize min_info_{};
  CDuiSize max_info_{};
  ui::FontSet fonts_;
  ARGB default_text_color_ = 0xff000000u;
  ARGB default_disabled_color_ = 0xffa7a6aau;
  ARGB default_link_color_ = 0xff1e5ebfu;
  std::map<std::string, std::string> default_attributes_;
};

}  // namespace qrv
