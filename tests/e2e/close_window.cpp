// e2e_close_window WINDOW-ID: asks an X window to close, as a window manager's close
// button does (a WM_DELETE_WINDOW message), so that the program ends the way it
// does when a user closes it. Exits 0 when the message was sent.

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: e2e_close_window WINDOW-ID\n");
    return 2;
  }
  char* end = nullptr;
  const unsigned long window = std::strtoul(argv[1], &end, 0);
  if (end == argv[1] || *end != '\0' || window == 0) {
    std::fprintf(stderr, "e2e_close_window: not a window id: %s\n", argv[1]);
    return 2;
  }
  const std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
  if (!display) {
    std::fprintf(stderr, "e2e_close_window: cannot open the display\n");
    return 1;
  }
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display.get(), "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display.get(), "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const Status sent = XSendEvent(display.get(), window, False, NoEventMask, &event);
  XSync(display.get(), False);
  return sent != 0 ? 0 : 1;
}
