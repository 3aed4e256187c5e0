#pragma once
// Real windows on GTK 3 (X11). Every window of the toolkit, toplevel or pop-up, is an undecorated
// GtkWindow (decorated only while its style keeps WS_CAPTION) holding a GtkLayout that is both
// its drawing surface and the container of its child windows; a child window (WS_CHILD) is a
// GtkLayout of its own, placed at its rectangle in the parent's layout. The layout's "draw"
// becomes WM_PAINT, and GDK input becomes Windows-style messages in client coordinates (see
// gtk_input.cpp).
//
// Geometry is kept as the program set it: SetPos changes the rectangle (and sends
// WM_MOVE / WM_SIZE) at once, and the window manager's later changes arrive as configure events.
// Without a window manager (Xvfb) GTK cannot maximise or iconify, so both are done here: maximise
// fills the work area and restore puts the old rectangle back; iconify unmaps the window.
//
// A message box is a window of the message core too, so that automation can list it, read its
// caption (Title) and text (MessageBoxText) and answer it by sending WM_COMMAND with IDYES, IDNO
// or IDOK (WM_CLOSE answers as the window manager's close button does: IDNO, or IDOK for a box
// with only OK).

#include <gtk/gtk.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/window_system.h"

namespace qrv {

// WM_COMMAND answers a message box (its number on Windows).
inline constexpr UINT kWmCommand = 0x0111;

struct NativeWindow;

class GtkWindows final : public WindowSystem {
 public:
  // Installs GTK windows for the process and returns them (owned by WindowSystem, inside the
  // docking layer of gtk_docking.h). GTK must be initialised.
  static GtkWindows& Install();
  // The installed GtkWindows, or null.
  static GtkWindows* Current();

  GtkWindows();
  ~GtkWindows() override;
  GtkWindows(const GtkWindows&) = delete;
  GtkWindows& operator=(const GtkWindows&) = delete;

  void Create(HWND hwnd, const WindowCreateParams& params) override;
  void Destroy(HWND hwnd) override;
  void Show(HWND hwnd, int command) override;
  bool IsVisible(HWND hwnd) const override;
  bool IsMinimized(HWND hwnd) const override;
  bool IsMaximized(HWND hwnd) const override;
  void SetPos(HWND hwnd, HWND insert_after, int x, int y, int width, int height, UINT flags) override;
  RECT WindowRect(HWND hwnd) const override;
  RECT ClientRect(HWND hwnd) const override;
  void SetTitle(HWND hwnd, const std::string& title) override;
  std::string Title(HWND hwnd) const override;
  std::uint32_t Style(HWND hwnd) const override;
  void SetStyle(HWND hwnd, std::uint32_t style) override;
  bool IsTopmost(HWND hwnd) const override;
  HWND Parent(HWND hwnd) const override;
  void Enable(HWND hwnd, bool enabled) override;
  void SetLayered(HWND hwnd, std::uint32_t color_key_rgb, std::uint8_t alpha) override;
  void SetRoundCorners(HWND hwnd, int corner_width, int corner_height) override;
  void Invalidate(HWND hwnd, const RECT* area) override;
  void SetFocus(HWND hwnd) override;
  HWND Focus() const override { return focus_; }
  bool IsActive(HWND hwnd) const override;
  void SetForeground(HWND hwnd) override;
  void SetCapture(HWND hwnd) override;
  void ReleaseCapture() override;
  void BeginMoveDrag(HWND hwnd) override;
  void SetTextInput(HWND hwnd, bool enabled, bool password, RECT caret) override;
  POINT CursorPos() const override;
  RECT WorkArea() const override;
  RECT ScreenRect() const override;
  RECT WorkAreaAt(const RECT& rect) const override;
  int RunModal(HWND hwnd) override;
  void EndModal(HWND hwnd, int result) override;
  int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override;
  // The window's GtkLayout. A widget put into it keeps the position and size its owner gives it;
  // SetNativeContent makes one fill the window instead.
  void* NativeHandle(HWND hwnd) const override;

  // --- GTK-only extras --------------------------------------------------------------------------
  // Puts `content` (a browser view, a text view) into the window so that it fills the client area
  // and follows its size. The window takes a reference; null removes the current content.
  void SetNativeContent(HWND hwnd, GtkWidget* content);
  // Sees every key message of `toplevel` before the focused window or native widget does (the
  // stand-in for a thread keyboard hook); returning true swallows the key.
  using KeyPreview = std::function<bool(UINT msg, WPARAM vk, LPARAM flags)>;
  void SetKeyPreview(HWND toplevel, KeyPreview preview);
  // The GtkWindow of the window's toplevel, or null.
  GtkWidget* ToplevelWidget(HWND hwnd) const;
  // The text of a message box window ("" for other windows).
  std::string MessageBoxText(HWND hwnd) const;
  // Whether the window manager does maximising and iconifying (false under a bare X server).
  bool WindowManagerPresent() const;

  // --- Used by the event handlers ----------------------------------------------------------------
  NativeWindow* Find(HWND hwnd) const;
  NativeWindow* TopOf(NativeWindow* window) const;
  // Client origin of the window in screen coordinates.
  POINT ClientOrigin(const NativeWindow* window) const;
  bool EnabledWithAncestors(const NativeWindow* window) const;
  // Moves the logical keyboard focus and sends WM_KILLFOCUS / WM_SETFOCUS.
  void MoveFocus(HWND hwnd);
  // The window that takes the keyboard when the toplevel becomes active: the one that had it last.
  HWND FocusTargetOf(const NativeWindow* top) const;
  void OnToplevelFocusIn(NativeWindow* top);
  void OnToplevelFocusOut(NativeWindow* top);
  void OnGtkFocusWidget(NativeWindow* top, GtkWidget* widget);
  void OnConfigure(NativeWindow* top, const GdkEventConfigure* event);
  void OnWindowState(NativeWindow* top, const GdkEventWindowState* event);
  // A layered window: makes sure its back buffer exists at the window's size (painting all of a
  // new one; returns whether it did), then, after painting, cuts its shape from the buffer.
  bool EnsureBackBuffer(NativeWindow* window);
  void UpdateShape(NativeWindow* window);
  const KeyPreview* KeyPreviewOf(HWND toplevel) const;
  void EndMessageBox(HWND hwnd, int result);

 private:
  // Asks the desktop to activate the toplevel; its focus-in answers later, and a focus-in that
  // answers a request older than one still pending is out of date.
  void RequestActivation(NativeWindow* top);
  bool NewerActivationPending(std::uint64_t than) const;
  void ApplyGeometry(NativeWindow* window, const RECT& rect, bool moved, bool resized);
  void NotifyGeometry(NativeWindow* window, bool moved, bool resized);
  void ShowToplevel(NativeWindow* window, int command);
  void EmulatedMaximize(NativeWindow* window, bool maximize);
  void Bury(std::unique_ptr<NativeWindow> window);
  int RunNestedFor(HWND hwnd, int result_when_cut_short);
  std::vector<HWND> DisableOtherToplevels(HWND except);

  std::map<HWND, std::unique_ptr<NativeWindow>> windows_;
  std::vector<std::unique_ptr<NativeWindow>> graveyard_;
  guint graveyard_idle_ = 0;
  std::map<HWND, KeyPreview> key_previews_;
  HWND focus_ = nullptr;
  HWND capture_ = nullptr;
  std::uint64_t activation_requests_ = 0;
};

}  // namespace qrv
