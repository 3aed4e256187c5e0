#pragma once
// Where a browser view puts its web view: the native container of the view's child window. On the
// GTK back end that is the container the window system placed at the child's rectangle; on the
// headless back end there is none, and the view only records its navigations. Tests that run the
// engine without the GTK back end lend a container of their own.

#include <gtk/gtk.h>

#include <functional>

#include "platform/types.h"

namespace qrv {

// The container for the web view of the view window `hwnd`, or null.
GtkContainer* BrowserHostFor(HWND hwnd);

// While one lives, BrowserHostFor asks `lookup` instead of the window system.
class ScopedBrowserHost {
 public:
  using Lookup = std::function<GtkContainer*(HWND)>;
  explicit ScopedBrowserHost(Lookup lookup);
  ~ScopedBrowserHost();
  ScopedBrowserHost(const ScopedBrowserHost&) = delete;
  ScopedBrowserHost& operator=(const ScopedBrowserHost&) = delete;

 private:
  Lookup lookup_;
  ScopedBrowserHost* previous_;
  friend GtkContainer* BrowserHostFor(HWND hwnd);
};

}  // namespace qrv
