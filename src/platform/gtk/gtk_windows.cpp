// Creating and destroying native windows, and the properties that need no round trip: title,
// style, enabled state, invalidation, native content and the key preview.

#include "platform/gtk/gtk_windows.h"

#include <gdk/gdkx.h>

#include "platform/gtk/gtk_docking.h"
#include "platform/gtk/native_window.h"
#include "platform/message_core.h"
#include "platform/messages.h"

namespace qrv {
namespace {

bool Decorated(std::uint32_t style) { return (style & WS_CAPTION) == WS_CAPTION; }

}  // namespace

GtkWindows& GtkWindows::Install() {
  // The GTK windows sit inside the docking layer, which adds the windows of other programs that
  // ask to be docked (gtk_docking.h).
  auto windows = std::make_unique<GtkWindows>();
  GtkWindows& installed = *windows;
  WindowSystem::Install(std::make_unique<GtkDockingWindows>(std::move(windows)));
  return installed;
}

GtkWindows* GtkWindows::Current() {
  if (!WindowSystem::Installed()) return nullptr;
  if (auto* docking = dynamic_cast<GtkDockingWindows*>(&WindowSystem::Get())) return &docking->windows();
  return dynamic_cast<GtkWindows*>(&WindowSystem::Get());
}

GtkWindows::GtkWindows() = default;

GtkWindows::~GtkWindows() {
  // Quietly: the message core may already have forgotten these windows.
  while (!windows_.empty()) {
    auto it = windows_.begin();
    std::unique_ptr<NativeWindow> window = std::move(it->second);
    windows_.erase(it);
    Bury(std::move(window));
  }
  if (graveyard_idle_ != 0) g_source_remove(graveyard_idle_);
  graveyard_.clear();
}

NativeWindow* GtkWindows::Find(HWND hwnd) const {
  auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : it->second.get();
}

NativeWindow* GtkWindows::TopOf(NativeWindow* window) const {
  while (window != nullptr && window->is_child) window = Find(window->parent);
  return window;
}

bool GtkWindows::WindowManagerPresent() const {
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr || !GDK_IS_X11_DISPLAY(display)) return true;
  return gdk_x11_screen_supports_net_wm_hint(gdk_display_get_default_screen(display),
                                             gdk_atom_intern_static_string("_NET_WM_STATE_MAXIMIZED_HORZ"));
}

void GtkWindows::Create(HWND hwnd, const WindowCreateParams& params) {
  if (Find(hwnd) != nullptr) Destroy(hwnd);
  auto owned = std::make_unique<NativeWindow>();
  NativeWindow* window = owned.get();
  window->system = this;
  window->hwnd = hwnd;
  window->parent = params.parent;
  window->title = params.title;
  window->style = params.style & ~(WS_VISIBLE | WS_DISABLED);
  window->ex_style = params.ex_style;
  window->enabled = (params.style & WS_DISABLED) == 0;
  window->topmost = (params.ex_style & WS_EX_TOPMOST) != 0;
  window->rect = params.rect;
  window->normal_rect = params.rect;

  NativeWindow* parent = Find(params.parent);
  window->is_child = (params.style & WS_CHILD) != 0 && parent != nullptr && parent->layout != nullptr;

  window->layout = gtk_layout_new(nullptr, nullptr);
  g_object_ref_sink(window->layout);
  gtk_widget_set_can_focus(window->layout, TRUE);
  g_object_set_data(G_OBJECT(window->layout), "qrv-native-window", window);
  gtk_widget_add_events(window->layout, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                            GDK_SCROLL_MASK | GDK_ENTER_NOTIFY_MASK | GDK_LEAVE_NOTIFY_MASK |
                                            GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK | GDK_FOCUS_CHANGE_MASK);
  ConnectLayoutSignals(window);

  if (window->is_child) {
    gtk_widget_set_size_request(window->layout, std::max(0, params.rect.Width()), std::max(0, params.rect.Height()));
    gtk_layout_put(GTK_LAYOUT(parent->layout), window->layout, params.rect.left, params.rect.top);
  } else {
    window->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    g_object_ref_sink(window->window);
    GtkWindow* gtk_window = GTK_WINDOW(window->window);
    gtk_window_set_title(gtk_window, params.title.c_str());
    gtk_window_set_decorated(gtk_window, Decorated(window->style));
    gtk_window_set_resizable(gtk_window, TRUE);
    if ((params.ex_style & WS_EX_TOOLWINDOW) != 0) {
      gtk_window_set_type_hint(gtk_window, GDK_WINDOW_TYPE_HINT_UTILITY);
      gtk_window_set_skip_taskbar_hint(gtk_window, TRUE);
    }
    if (NativeWindow* owner = TopOf(parent); owner != nullptr && owner->window != nullptr) {
      // An owned pop-up stays above its owner and off the task bar.
      gtk_window_set_transient_for(gtk_window, GTK_WINDOW(owner->window));
      gtk_window_set_skip_taskbar_hint(gtk_window, TRUE);
    }
    gtk_window_set_keep_above(gtk_window, window->topmost);
    gtk_container_add(GTK_CONTAINER(window->window), window->layout);
    gtk_widget_show(window->layout);
    gtk_window_move(gtk_window, params.rect.left, params.rect.top);
    gtk_window_resize(gtk_window, std::max(1, params.rect.Width()), std::max(1, params.rect.Height()));
    ConnectToplevelSignals(window);
  }
  windows_[hwnd] = std::move(owned);
  if (!window->enabled) Enable(hwnd, false);
  if ((params.style & WS_VISIBLE) != 0) Show(hwnd, SW_SHOWNORMAL);
}

void GtkWindows::Destroy(HWND hwnd) {
  NativeWindow* window = Find(hwnd);
  if (window == nullptr) return;
  // Children and owned pop-ups go with their window: each gets its WM_DESTROY.
  std::vector<HWND> dependants;
  for (const auto& [other, native] : windows_) {
    if (native->parent == hwnd && other != hwnd) dependants.push_back(other);
  }
  for (HWND dependant : dependants) {
    if (IsWindow(dependant)) DestroyWindow(dependant);
    Destroy(dependant);  // in case its handler did not give its native window back
  }
  window = Find(hwnd);
  if (window == nullptr) return;
  if (focus_ == hwnd) focus_ = nullptr;
  if (capture_ == hwnd) ReleaseCapture();
  for (auto& [other, native] : windows_) {
    if (native->focus_child == hwnd) native->focus_child = nullptr;
    if (native->im_target == hwnd) native->im_target = nullptr;
  }
  key_previews_.erase(hwnd);
  if (window->modal != nullptr && !window->modal->ended) {
    window->modal->ended = true;
    g_main_loop_quit(window->modal->loop);
  }
  window->modal = nullptr;
  auto it = windows_.find(hwnd);
  std::unique_ptr<NativeWindow> owned = std::move(it->second);
  windows_.erase(it);
  Bury(std::move(owned));
}

void GtkWindows::Bury(std::unique_ptr<NativeWindow> window) {
  // The widgets go now; the record stays until the loop is idle, because the event handler that
  // led here may still hold it.
  window->destroyed = true;
  if (window->pending_timeout != 0) g_source_remove(window->pending_timeout);
  window->pending_timeout = 0;
  FreeInputMethod(window.get());
  for (GtkWidget* widget : {window->layout, window->window}) {
    if (widget != nullptr) g_signal_handlers_disconnect_by_data(widget, window.get());
  }
  if (window->layout != nullptr) g_object_set_data(G_OBJECT(window->layout), "qrv-native-window", nullptr);
  if (window->native_content != nullptr) g_object_unref(window->native_content);
  window->native_content = nullptr;
  if (window->window != nullptr) {
    gtk_widget_destroy(window->window);
    g_object_unref(window->window);
  } else if (window->layout != nullptr) {
    gtk_widget_destroy(window->layout);
  }
  if (window->layout != nullptr) g_object_unref(window->layout);
  window->window = nullptr;
  window->layout = nullptr;
  if (window->back_buffer != nullptr) cairo_surface_destroy(window->back_buffer);
  window->back_buffer = nullptr;
  if (window->stale != nullptr) cairo_region_destroy(window->stale);
  window->stale = nullptr;
  if (window->round_shape != nullptr) cairo_region_destroy(window->round_shape);
  window->round_shape = nullptr;
  if (window->applied_shape != nullptr) cairo_region_destroy(window->applied_shape);
  window->applied_shape = nullptr;
  graveyard_.push_back(std::move(window));
  if (graveyard_idle_ == 0) {
    graveyard_idle_ = g_idle_add(
        [](gpointer data) -> gboolean {
          auto* self = static_cast<GtkWindows*>(data);
          self->graveyard_.clear();
          self->graveyard_idle_ = 0;
          return G_SOURCE_REMOVE;
        },
        this);
  }
}

void GtkWindows::SetTitle(HWND hwnd, const std::string& title) {
  NativeWindow* window = Find(hwnd);
  if (window == nullptr) return;
  window->title = title;
  if (window->window != nullptr) gtk_window_set_title(GTK_WINDOW(window->window), title.c_str());
}

std::string GtkWindows::Title(HWND hwnd) const {
  const NativeWindow* window = Find(hwnd);
  return window == nullptr ? std::string() : window->title;
}

std::uint32_t GtkWindows::Style(HWND hwnd) const {
  const NativeWindow* window = Find(hwnd);
  if (window == nullptr) return 0;
  return window->style | (window->visible ? WS_VISIBLE : 0) | (window->enabled ? 0 : WS_DISABLED) |
         (window->minimized ? WS_MINIMIZE : 0) | (window->maximized ? WS_MAXIMIZE : 0);
}

void GtkWindows::SetStyle(HWND hwnd, std::uint32_t style) {
  NativeWindow* window = Find(hwnd);
  if (window == nullptr) return;
  window->style = style & ~(WS_VISIBLE | WS_DISABLED | WS_MINIMIZE | WS_MAXIMIZE);
  if (window->window != nullptr && window->kind == NativeKind::kToolkit) {
    gtk_window_set_decorated(GTK_WINDOW(window->window), Decorated(window->style));
  }
}

bool GtkWindows::IsTopmost(HWND hwnd) const {
  const NativeWindow* window = Find(hwnd);
  return window != nullptr && window->topmost;
}

HWND GtkWindows::Parent(HWND hwnd) const {
  const NativeWindow* window = Find(hwnd);
  return window == nullptr ? nullptr : window->parent;
}

void GtkWindows::Enable(HWND hwnd, bool enabled) {
  NativeWindow* window = Find(hwnd);
  if (window == nullptr) return;
  window->enabled = enabled;
  // Native children (a browser view) stop taking input with their window.
  if (window->layout != nullptr) gtk_widget_set_sensitive(window->layout, enabled);
}

bool GtkWindows::EnabledWithAncestors(const NativeWindow* window) const {
  for (; window != nullptr; window = window->is_child ? Find(window->parent) : nullptr) {
    if (!window->enabled) return false;
  }
  return true;
}

void GtkWindows::Invalidate(HWND hwnd, const RECT* area) {
  NativeWindow* window = Find(hwnd);
  if (window == nullptr || window->layout == nullptr) return;
  if (window->layered) {
    const cairo_rectangle_int_t part = area == nullptr
                                           ? cairo_rectangle_int_t{0, 0, window->ClientWidth(), window->ClientHeight()}
                                           : cairo_rectangle_int_t{area->left, area->top, area->Width(), area->Height()};
    if (window->stale == nullptr) window->stale = cairo_region_create();
    if (part.width > 0 && part.height > 0) cairo_region_union_rectangle(window->stale, &part);
  }
  if (area == nullptr) {
    gtk_widget_queue_draw(window->layout);
  } else if (area->Width() > 0 && area->Height() > 0) {
    gtk_widget_queue_draw_area(window->layout, area->left, area->top, area->Width(), area->Height());
  }
}

void* GtkWindows::NativeHandle(HWND hwnd) const {
  const NativeWindow* window = Find(hwnd);
  return window == nullptr ? nullptr : (window->layout != nullptr ? window->layout : window->window);
}

GtkWidget* GtkWindows::ToplevelWidget(HWND hwnd) const {
  NativeWindow* top = TopOf(Find(hwnd));
  return top == nullptr ? nullptr : top->window;
}

void GtkWindows::SetNativeContent(HWND hwnd, GtkWidget* content) {
  NativeWindow* window = Find(hwnd);
  if (window == nullptr || window->layout == nullptr) return;
  if (window->native_content != nullptr) {
    gtk_container_remove(GTK_CONTAINER(window->layout), window->native_content);
    g_object_unref(window->native_content);
    window->native_content = nullptr;
  }
  if (content == nullptr) return;
  window->native_content = GTK_WIDGET(g_object_ref_sink(content));
  gtk_widget_set_size_request(content, std::max(0, window->ClientWidth()), std::max(0, window->ClientHeight()));
  gtk_layout_put(GTK_LAYOUT(window->layout), content, 0, 0);
  gtk_widget_show(content);
}

void GtkWindows::SetKeyPreview(HWND toplevel, KeyPreview preview) {
  if (preview) {
    key_previews_[toplevel] = std::move(preview);
  } else {
    key_previews_.erase(toplevel);
  }
}

const GtkWindows::KeyPreview* GtkWindows::KeyPreviewOf(HWND toplevel) const {
  auto it = key_previews_.find(toplevel);
  return it == key_previews_.end() ? nullptr : &it->second;
}

std::string GtkWindows::MessageBoxText(HWND hwnd) const {
  const NativeWindow* window = Find(hwnd);
  return window != nullptr && window->kind == NativeKind::kMessageBox ? window->text : std::string();
}

}  // namespace qrv
