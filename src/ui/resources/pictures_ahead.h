#pragma once
// The pictures a window shows when it opens, decoded ahead on a thread of their own. The program
// starts this for its first window before it opens the display, so that window's first paint
// finds its pictures decoded instead of decoding them itself (about a sixth of the login window's
// work before its first frame). ImageCache takes the pictures from here.

#include <cairo.h>

#include <string>
#include <string_view>
#include <vector>

namespace qrv::ui {

// The pictures `layout` (a window's XML) paints when the window opens: the background, normal
// and foreground pictures of every control visible then, that is neither hidden nor inside a
// hidden control, nor on a page of a tab layout other than the selected one. In order, once each.
std::vector<std::string> PicturesShownAtOpen(std::string_view layout);

class PicturesAhead {
 public:
  // Starts decoding, on a new thread, the pictures that `layout` of the zip archive at
  // `archive_path` shows when it opens. Replaces an earlier start.
  static void Start(const std::string& archive_path, const std::string& layout);

  // The picture `name` decoded ahead (the caller owns it), waiting while it is being decoded; null
  // when it was not among them or could not be decoded, and always once the program reads from
  // an archive other than the one they came from (UI thread only).
  static cairo_surface_t* Take(const std::string& name);
};

}  // namespace qrv::ui
