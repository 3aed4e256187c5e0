// The window system with docking: dock requests caught on our toplevels become messages, and
// every operation goes either to the wrapped foreign windows or to the GTK windows.

#include <gdk/gdkx.h>

#include "platform/gtk/gtk_docking.h"
#include "platform/gtk/native_window.h"
#include "platform/message_core.h"
#include "platform/messages.h"

namespace qrv {
namespace {

// The filter on a toplevel's GdkWindow; `data` is the toplevel's handle. Other programs send their
// requests to the toplevel's X window with an empty event mask, which delivers them to us as its
// creator.
GdkFilterReturn ToplevelFilter(GdkXEvent* native, GdkEvent*, gpointer data) {
  const auto* event = static_cast<const XEvent*>(native);
  if (event->type != ClientMessage || event->xclient.format != 32) return GDK_FILTER_CONTINUE;
  GdkDisplay* display = gdk_display_get_default();
  const Atom dock = gdk_x11_get_xatom_by_name_for_display(display, kDockWindowAtom);
  const Atom caption = gdk_x11_get_xatom_by_name_for_display(display, kDockedCaptionAtom);
  if (event->xclient.message_type != dock && event->xclient.message_type != caption)
    return GDK_FILTER_CONTINUE;
  GtkDockingWindows* system = GtkDockingWindows::Current();
  if (system != nullptr) {
    const HWND toplevel = HandleFromId(GPOINTER_TO_SIZE(data));
    // data.l holds longs; an XID is an unsigned 32-bit value in them.
    const auto xid =
        static_cast<XWindowId>(static_cast<unsigned long>(event->xclient.data.l[0]) & 0xFFFFFFFFul);
    if (event->xclient.message_type == dock) {
      system->OnDockRequest(toplevel, xid);
    } else {
      system->OnCaptionChanged(toplevel, xid);
    }
  }
  return GDK_FILTER_REMOVE;
}

void OnToplevelRealize(GtkWidget* widget, gpointer data) {
  gdk_window_add_filter(gtk_widget_get_window(widget), ToplevelFilter, data);
}

}  // namespace

GtkDockingWindows::GtkDockingWindows(std::unique_ptr<GtkWindows> windows) : windows_(std::move(windows)) {}

GtkDockingWindows::~GtkDockingWindows() = default;

GtkDockingWindows* GtkDockingWindows::Current() {
  return WindowSystem::Installed() ? dynamic_cast<GtkDockingWindows*>(&WindowSystem::Get()) : nullptr;
}

bool GtkDockingWindows::OnDockRequest(HWND toplevel, XWindowId xid) {
  if (dock_message_ == 0 || !IsWindow(toplevel) || windows_->Find(toplevel) == nullptr) return false;
  const HWND foreign = foreign_.Wrap(xid);
  if (foreign == nullptr) return false;
  return PostMessage(toplevel, dock_message_, IdFromHandle(foreign), 0);
}

bool GtkDockingWindows::OnCaptionChanged(HWND toplevel, XWindowId xid) {
  if (caption_message_ == 0 || !IsWindow(toplevel) || windows_->Find(toplevel) == nullptr) return false;
  // Only a window that was docked has a tab whose caption could change.
  const HWND foreign = foreign_.Find(xid);
  if (foreign == nullptr) return false;
  return PostMessage(toplevel, caption_message_, IdFromHandle(foreign), 0);
}

void GtkDockingWindows::WatchToplevel(HWND hwnd) {
  const NativeWindow* native = windows_->Find(hwnd);
  if (native == nullptr || native->window == nullptr) return;
  gpointer data = GSIZE_TO_POINTER(IdFromHandle(hwnd));
  // GTK makes the X window when the window is first shown; the filter goes on each one it makes.
  g_signal_connect(native->window, "realize", G_CALLBACK(OnToplevelRealize), data);
  if (gtk_widget_get_realized(native->window)) OnToplevelRealize(native->window, data);
}

void GtkDockingWindows::Create(HWND hwnd, const WindowCreateParams& params) {
  if (foreign_.Contains(hwnd)) return;
  windows_->Create(hwnd, params);
  WatchToplevel(hwnd);
}

void GtkDockingWindows::Destroy(HWND hwnd) {
  if (foreign_.Contains(hwnd)) {
    foreign_.Forget(hwnd);
    return;
  }
  // Another program's window inside ours would be destroyed with our X window.
  foreign_.ReleaseFrom(hwnd, *windows_);
  windows_->Destroy(hwnd);
}

// --- Everything else: the foreign window's operation, or the GTK window's ---------------------

void GtkDockingWindows::Show(HWND hwnd, int command) {
  if (foreign_.Contains(hwnd)) {
    foreign_.Show(hwnd, command);
  } else {
    windows_->Show(hwnd, command);
  }
}
bool GtkDockingWindows::IsVisible(HWND hwnd) const {
  return foreign_.Contains(hwnd) ? foreign_.IsVisible(hwnd) : windows_->IsVisible(hwnd);
}
bool GtkDockingWindows::IsMinimized(HWND hwnd) const {
  return !foreign_.Contains(hwnd) && windows_->IsMinimized(hwnd);
}
bool GtkDockingWindows::IsMaximized(HWND hwnd) const {
  return !foreign_.Contains(hwnd) && windows_->IsMaximized(hwnd);
}
void GtkDockingWindows::SetPos(HWND hwnd, HWND insert_after, int x, int y, int width, int height,
                               UINT flags) {
  if (foreign_.Contains(hwnd)) {
    foreign_.SetPos(hwnd, insert_after, x, y, width, height, flags);
  } else {
    windows_->SetPos(hwnd, insert_after, x, y, width, height, flags);
  }
}
RECT GtkDockingWindows::WindowRect(HWND hwnd) const {
  return foreign_.Contains(hwnd) ? foreign_.WindowRect(hwnd) : windows_->WindowRect(hwnd);
}
RECT GtkDockingWindows::ClientRect(HWND hwnd) const {
  return foreign_.Contains(hwnd) ? foreign_.ClientRect(hwnd) : windows_->ClientRect(hwnd);
}
void GtkDockingWindows::SetTitle(HWND hwnd, const std::string& title) {
  if (foreign_.Contains(hwnd)) {
    foreign_.SetTitle(hwnd, title);
  } else {
    windows_->SetTitle(hwnd, title);
  }
}
std::string GtkDockingWindows::Title(HWND hwnd) const {
  return foreign_.Contains(hwnd) ? foreign_.Title(hwnd) : windows_->Title(hwnd);
}
std::uint32_t GtkDockingWindows::Style(HWND hwnd) const {
  return foreign_.Contains(hwnd) ? foreign_.Style(hwnd) : windows_->Style(hwnd);
}
void GtkDockingWindows::SetStyle(HWND hwnd, std::uint32_t style) {
  // Another program's window keeps its own style.
  if (!foreign_.Contains(hwnd)) windows_->SetStyle(hwnd, style);
}
bool GtkDockingWindows::IsTopmost(HWND hwnd) const {
  return !foreign_.Contains(hwnd) && windows_->IsTopmost(hwnd);
}
HWND GtkDockingWindows::Parent(HWND hwnd) const {
  return foreign_.Contains(hwnd) ? foreign_.Parent(hwnd) : windows_->Parent(hwnd);
}
void GtkDockingWindows::Enable(HWND hwnd, bool enabled) {
  if (!foreign_.Contains(hwnd)) windows_->Enable(hwnd, enabled);
}
void GtkDockingWindows::SetLayered(HWND hwnd, std::uint32_t color_key_rgb, std::uint8_t alpha) {
  if (!foreign_.Contains(hwnd)) windows_->SetLayered(hwnd, color_key_rgb, alpha);
}
void GtkDockingWindows::SetRoundCorners(HWND hwnd, int corner_width, int corner_height) {
  if (!foreign_.Contains(hwnd)) windows_->SetRoundCorners(hwnd, corner_width, corner_height);
}
void GtkDockingWindows::Invalidate(HWND hwnd, const RECT* area) {
  // The other program paints its window itself.
  if (!foreign_.Contains(hwnd)) windows_->Invalidate(hwnd, area);
}
void GtkDockingWindows::SetFocus(HWND hwnd) {
  if (foreign_.Contains(hwnd)) {
    foreign_.SetFocus(hwnd);
  } else {
    windows_->SetFocus(hwnd);
  }
}
HWND GtkDockingWindows::Focus() const { return windows_->Focus(); }
bool GtkDockingWindows::IsActive(HWND hwnd) const { return !foreign_.Contains(hwnd) && windows_->IsActive(hwnd); }
void GtkDockingWindows::SetForeground(HWND hwnd) {
  if (!foreign_.Contains(hwnd)) windows_->SetForeground(hwnd);
}
void GtkDockingWindows::SetCapture(HWND hwnd) {
  if (!foreign_.Contains(hwnd)) windows_->SetCapture(hwnd);
}
void GtkDockingWindows::ReleaseCapture() { windows_->ReleaseCapture(); }
void GtkDockingWindows::BeginMoveDrag(HWND hwnd) {
  if (!foreign_.Contains(hwnd)) windows_->BeginMoveDrag(hwnd);
}
void GtkDockingWindows::SetTextInput(HWND hwnd, bool enabled, bool password, RECT caret) {
  if (!foreign_.Contains(hwnd)) windows_->SetTextInput(hwnd, enabled, password, caret);
}
POINT GtkDockingWindows::CursorPos() const { return windows_->CursorPos(); }
RECT GtkDockingWindows::WorkArea() const { return windows_->WorkArea(); }
RECT GtkDockingWindows::ScreenRect() const { return windows_->ScreenRect(); }
RECT GtkDockingWindows::WorkAreaAt(const RECT& rect) const { return windows_->WorkAreaAt(rect); }
int GtkDockingWindows::RunModal(HWND hwnd) {
  // A modal loop runs for windows of ours only.
  return foreign_.Contains(hwnd) ? -1 : windows_->RunModal(hwnd);
}
void GtkDockingWindows::EndModal(HWND hwnd, int result) { windows_->EndModal(hwnd, result); }
int GtkDockingWindows::MessageBox(HWND owner, const std::string& text, const std::string& caption,
                                  UINT type) {
  return windows_->MessageBox(foreign_.Contains(owner) ? nullptr : owner, text, caption, type);
}
void* GtkDockingWindows::NativeHandle(HWND hwnd) const {
  return foreign_.Contains(hwnd) ? foreign_.NativeHandle(hwnd) : windows_->NativeHandle(hwnd);
}

}  // namespace qrv
