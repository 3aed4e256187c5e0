#pragma once
// The program's first painted frame, as a gate for start-up work that may wait for it. Work that
// competes with the first window for the processor or the dynamic linker's lock (opening large
// libraries on another thread) asks to wait until the window has painted; the window then shows
// sooner and the work follows at once.
//
// A back end that will paint windows expects a first frame at its installation and reports it
// at the first draw. Without one (the headless back end, a program that shows no window) nothing
// waits.

#include <chrono>

namespace qrv {

class FirstFrame {
 public:
  // A first frame will follow; called by a painting back end on the thread that paints.
  static void Expect();
  // The first frame has been painted (later calls do nothing).
  static void Painted();
  // Waits until the expected first frame has been painted, at most `limit`. Returns at once
  // when no frame is expected, when it has been painted, and on the thread that paints (which
  // would otherwise wait for itself).
  static void Wait(std::chrono::milliseconds limit);
};

}  // namespace qrv
