#pragma once
// The X11 screen as it was when the capture started: its picture, in device pixels, and the
// rectangles of the visible top-level windows (for a click that takes a window), bottom to top.

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gdk/gdk.h>

#include <vector>

#include "capture/capture_region.h"

namespace qrv::capture {

struct FrozenScreen {
  FrozenScreen() = default;
  ~FrozenScreen();
  FrozenScreen(const FrozenScreen&) = delete;
  FrozenScreen& operator=(const FrozenScreen&) = delete;

  GdkPixbuf* picture = nullptr;  // owned
  PixelRect bounds;              // the whole screen, device pixels
  int scale = 1;                 // device pixels per GDK (logical) pixel
  std::vector<PixelRect> windows;

  // A copy of the picture inside `rect` (which lies within `bounds`).
  GdkPixbuf* Crop(const PixelRect& rect) const;
};

// Reads the screen of `display` (an X11 display); false when it cannot be read.
bool FreezeScreen(GdkDisplay* display, FrozenScreen& frozen);

}  // namespace qrv::capture
