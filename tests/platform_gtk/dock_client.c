/* A stand-in for another program that docks one of its windows into the launcher.
 *
 *   qrv_dock_client TARGET-XID [TITLE]
 *
 * Opens a window titled TITLE (default "外部窗口"), prints its XID (decimal) and a newline on
 * standard output, and asks the window TARGET-XID to dock it (_QRV_DOCK_WINDOW). Then it reads
 * commands from standard input, one a line:
 *   caption NEW-TITLE   retitles the window and tells the target (_QRV_DOCKED_CAPTION)
 *   quit                destroys the window and exits (as does the end of the input)
 * Each command is answered with "ok" once the X server has it. */

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static void SetTitle(Display* display, Window window, const char* title) {
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                  XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace, (const unsigned char*)title,
                  (int)strlen(title));
  /* WM_NAME too, for readers that know only it. */
  XTextProperty property;
  char* list[] = {(char*)title};
  if (Xutf8TextListToTextProperty(display, list, 1, XUTF8StringStyle, &property) >= Success) {
    XSetWMName(display, window, &property);
    XFree(property.value);
  }
}

static void Send(Display* display, Window target, const char* type, Window window) {
  XEvent event;
  memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = target;
  event.xclient.message_type = XInternAtom(display, type, False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = (long)window;
  XSendEvent(display, target, False, NoEventMask, &event);
}

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: %s TARGET-XID [TITLE]\n", argv[0]);
    return 2;
  }
  const Window target = (Window)strtoul(argv[1], NULL, 0);
  const char* title = argc > 2 ? argv[2] : "外部窗口";
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) {
    fprintf(stderr, "%s: cannot open the display\n", argv[0]);
    return 1;
  }
  const int screen = DefaultScreen(display);
  const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 40, 40, 320, 200, 0,
                                            BlackPixel(display, screen), 0x2E8B57);
  SetTitle(display, window, title);
  XMapWindow(display, window);
  Send(display, target, "_QRV_DOCK_WINDOW", window);
  XSync(display, False);
  printf("%lu\n", (unsigned long)window);
  fflush(stdout);

  char line[1024];
  while (fgets(line, sizeof line, stdin) != NULL) {
    line[strcspn(line, "\r\n")] = '\0';
    if (strncmp(line, "caption ", 8) == 0) {
      SetTitle(display, window, line + 8);
      Send(display, target, "_QRV_DOCKED_CAPTION", window);
    } else if (strcmp(line, "quit") == 0) {
      break;
    }
    XSync(display, False);
    printf("ok\n");
    fflush(stdout);
  }
  XDestroyWindow(display, window);
  XCloseDisplay(display);
  return 0;
}
