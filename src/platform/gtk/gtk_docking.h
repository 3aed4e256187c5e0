#pragma once
// Docking windows of other programs (X11). Another program asks a toplevel of ours to take one of
// its windows as a tab by sending the toplevel a ClientMessage (format 32) of type
// "_QRV_DOCK_WINDOW" with data.l[0] = the XID of its window, and tells it that the window's caption
// changed with "_QRV_DOCKED_CAPTION" and the same XID (docs/docking.md).
//
// The back end catches both with a filter on the toplevel's GdkWindow and turns them into the two
// messages the application names with SetMessages (the launcher's 1124 and 1130), posted to the
// toplevel with wparam = a window handle of the message core standing for the foreign window.
// Until the application names them, requests are ignored. The
// window system's operations on that handle act on the foreign X window: Show maps and unmaps it,
// SetPos moves and resizes it, Title reads its _NET_WM_NAME (or WM_NAME), Parent names the window
// of ours it was reparented into. When the foreign window is destroyed, the handle is destroyed
// too, so code holding it sees a window that is gone (IsWindow is false).
//
// Every call on a foreign window runs under an X error trap: the other program may destroy its
// window at any moment, and an X error must not end ours.

#include <map>
#include <memory>
#include <string>

#include "platform/gtk/gtk_windows.h"

namespace qrv {

inline constexpr const char* kDockWindowAtom = "_QRV_DOCK_WINDOW";
inline constexpr const char* kDockedCaptionAtom = "_QRV_DOCKED_CAPTION";

struct ForeignWindow;
// An X window id (Xlib's Window), without pulling Xlib's macros into every includer.
using XWindowId = unsigned long;

// The foreign windows wrapped as windows of the message core.
class ForeignWindows {
 public:
  ForeignWindows();
  ~ForeignWindows();
  ForeignWindows(const ForeignWindows&) = delete;
  ForeignWindows& operator=(const ForeignWindows&) = delete;

  // The handle of the X window `xid`, wrapping it on first use. Null when `xid` names no window,
  // the root window or a window of this process.
  HWND Wrap(XWindowId xid);
  HWND Find(XWindowId xid) const;
  bool Contains(HWND hwnd) const { return records_.count(hwnd) != 0; }
  // The X window behind a wrapped handle, or 0.
  XWindowId Xid(HWND hwnd) const;

  // Makes the foreign window a child of our window `host` at (x, y) of its client area. Our
  // window's drawing surface becomes a native X window for it. The X server gives the foreign
  // window back to the root window should this process end first (save-set).
  bool Reparent(HWND hwnd, HWND host, int x, int y);
  // Gives every foreign window that sits in `host` (or in a window inside it) back to the root
  // window, so that destroying our window does not destroy another program's.
  void ReleaseFrom(HWND host, const GtkWindows& windows);

  // The window system's operations on a wrapped handle.
  void Forget(HWND hwnd);
  void Show(HWND hwnd, int command);
  bool IsVisible(HWND hwnd) const;
  void SetPos(HWND hwnd, HWND insert_after, int x, int y, int width, int height, UINT flags);
  RECT WindowRect(HWND hwnd) const;
  RECT ClientRect(HWND hwnd) const;
  void SetTitle(HWND hwnd, const std::string& title);
  std::string Title(HWND hwnd) const;
  std::uint32_t Style(HWND hwnd) const;
  HWND Parent(HWND hwnd) const;
  void SetFocus(HWND hwnd);
  // The foreign window's GdkWindow (not a GtkWidget: the window belongs to another program).
  void* NativeHandle(HWND hwnd) const;

  // Called when the X server reports the foreign window destroyed.
  void OnDestroyed(XWindowId xid);

 private:
  ForeignWindow* Get(HWND hwnd) const;
  void Release(ForeignWindow& window);
  void GiveBackToRoot(ForeignWindow& window);

  std::map<HWND, std::unique_ptr<ForeignWindow>> records_;
};

// The window system of the GTK back end with docking: the GTK windows, plus the foreign windows
// wrapped as handles. Every operation on a foreign handle goes to ForeignWindows, everything else
// to GtkWindows. Toplevels get the filter that turns dock requests into messages.
class GtkDockingWindows final : public WindowSystem {
 public:
  explicit GtkDockingWindows(std::unique_ptr<GtkWindows> windows);
  ~GtkDockingWindows() override;

  // The installed docking window system, or null.
  static GtkDockingWindows* Current();
  GtkWindows& windows() { return *windows_; }
  ForeignWindows& foreign() { return foreign_; }

  // The messages posted for a dock request and for a docked window's new caption.
  void SetMessages(UINT dock_message, UINT caption_message) {
    dock_message_ = dock_message;
    caption_message_ = caption_message;
  }

  // Handles a dock request or caption update that reached our toplevel `toplevel` (what the
  // toplevel's filter does with the client message; tests drive it directly too). Returns whether
  // a message was posted.
  bool OnDockRequest(HWND toplevel, XWindowId xid);
  bool OnCaptionChanged(HWND toplevel, XWindowId xid);

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
  HWND Focus() const override;
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
  void* NativeHandle(HWND hwnd) const override;

 private:
  void WatchToplevel(HWND hwnd);

  std::unique_ptr<GtkWindows> windows_;
  ForeignWindows foreign_;
  UINT dock_message_ = 0;
  UINT caption_message_ = 0;
};

}  // namespace qrv
