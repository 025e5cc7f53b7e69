#include "platform/desktop/window_workspaces.h"

#include <X11/Xlib.h>

#include <cstdlib>

namespace koru {

bool SetWindowOnAllWorkspaces(uintptr_t window, bool all) {
  if (window == 0 || std::getenv("DISPLAY") == nullptr) return false;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  const Window root = DefaultRootWindow(display);
  // _NET_WM_STATE add/remove _NET_WM_STATE_STICKY, as a window manager expects it from a client.
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = static_cast<Window>(window);
  event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = all ? 1 : 0;
  event.xclient.data.l[1] = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_STICKY", False));
  event.xclient.data.l[3] = 1;
  XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(display);
  XCloseDisplay(display);
  return true;
}

}  // namespace koru
