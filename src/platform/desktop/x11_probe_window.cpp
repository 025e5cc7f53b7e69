#include "platform/desktop/x11_probe_window.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace koru {

struct X11ProbeWindow::Impl {
  Display* display = nullptr;
  Window window = 0;
};

std::unique_ptr<X11ProbeWindow> X11ProbeWindow::Open(const std::string& title) {
  XInitThreads();
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  int screen = DefaultScreen(display);
  Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 100, 100, 300, 200, 1,
                                      BlackPixel(display, screen), WhitePixel(display, screen));
  XStoreName(display, window, title.c_str());
  XClassHint hint;
  hint.res_name = const_cast<char*>("koru-probe");
  hint.res_class = const_cast<char*>("Koru-probe");
  XSetClassHint(display, window, &hint);
  long pid = getpid();
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);
  XSelectInput(display, window, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
  XMapWindow(display, window);
  XSync(display, False);
  auto impl = std::make_unique<Impl>();
  impl->display = display;
  impl->window = window;
  return std::unique_ptr<X11ProbeWindow>(new X11ProbeWindow(std::move(impl)));
}

X11ProbeWindow::X11ProbeWindow(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

X11ProbeWindow::~X11ProbeWindow() {
  XDestroyWindow(impl_->display, impl_->window);
  XCloseDisplay(impl_->display);
}

uint64_t X11ProbeWindow::Id() const {
  return impl_->window;
}

std::optional<X11ProbeWindow::Key> X11ProbeWindow::WaitForKey(int timeout_ms) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    while (XPending(impl_->display)) {
      XEvent event;
      XNextEvent(impl_->display, &event);
      if (event.type != KeyPress && event.type != KeyRelease) continue;
      Key key;
      key.keysym = static_cast<uint32_t>(XLookupKeysym(&event.xkey, 0));
      key.state = event.xkey.state;
      key.press = event.type == KeyPress;
      return key;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd fd{ConnectionNumber(impl_->display), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(left.count()));
  }
}

void X11ProbeWindow::Drain() {
  XSync(impl_->display, False);
  while (XPending(impl_->display)) {
    XEvent event;
    XNextEvent(impl_->display, &event);
  }
}

}  // namespace koru
