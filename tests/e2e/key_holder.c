/* A stand-in for another program that holds a system-wide key: it grabs Alt plus the key named
 * on its command line (an X keysym name such as "w") on the root window, with every combination
 * of the lock modifiers as hotkey programs do, prints "held" once the X server has granted the
 * grab, and keeps it until its standard input closes. It exits with 1 when the grab is refused. */

#include <X11/Xlib.h>
#include <stdio.h>
#include <unistd.h>

static int refused = 0;

static int OnError(Display* display, XErrorEvent* error) {
  (void)display;
  if (error->error_code == BadAccess) refused = 1;
  return 0;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s KEYSYM\n", argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) return 2;
  XSetErrorHandler(OnError);
  const KeyCode key = XKeysymToKeycode(display, XStringToKeysym(argv[1]));
  const unsigned locks[] = {0, LockMask, Mod2Mask, LockMask | Mod2Mask};
  for (unsigned i = 0; i < sizeof locks / sizeof locks[0]; ++i)
    XGrabKey(display, key, Mod1Mask | locks[i], DefaultRootWindow(display), False, GrabModeAsync,
             GrabModeAsync);
  XSync(display, False);
  if (refused) return 1;
  printf("held\n");
  fflush(stdout);
  char buffer[64];
  while (read(0, buffer, sizeof buffer) > 0) {
  }
  XCloseDisplay(display);
  return 0;
}
