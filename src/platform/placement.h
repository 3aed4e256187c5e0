#pragma once
// Keeping windows on the screen. Pop-ups are placed at positions worked out from other windows
// (beside a button, above the login window, at the cursor); on a small screen, with the desktop
// scaled, or beside a window dragged against an edge, such a position can lie partly off the
// monitor. These functions move the rectangle back inside the work area of its monitor.

#include "platform/types.h"

namespace qrv {

// `rect` moved inside `area` as little as it takes, its size kept when it fits; a rectangle wider
// or taller than the area is cut to the area's width or height.
RECT FitInside(const RECT& rect, const RECT& area);

// `rect` fitted inside the work area of the monitor that shows most of it (the nearest monitor
// when it lies off all of them).
RECT KeptOnMonitor(const RECT& rect);

}  // namespace qrv
