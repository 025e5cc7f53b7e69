#include "platform/desktop/x11_desktop.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/desktop/desktop_messages.h"
#include "platform/desktop/key_message_modifiers.h"
#include "platform/desktop/process_executable.h"
#include "platform/launcher/launcher.h"
#include "platform/messaging/four_cc.h"
#include "platform/messaging/trace.h"

// Xlib last: its macros (None, Bool, Status, ...) must not reach the headers above.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace koru {

namespace {

constexpr char kKoruSignature[] = "application/x-vnd.tq-KORU";
constexpr char kFileManagerSignature[] = "application/x-vnd.Be-TRAK";

struct Client {
  Window window = 0;
  int32_t pid = -1;
  std::string instance, klass, title;
  bool desktop_or_dock = false;
};

// A window may vanish between listing and reading it: such errors are expected and must not end
// the program (Xlib's default handler exits).
int IgnoreXError(Display*, XErrorEvent*) {
  return 0;
}

}  // namespace

uint32_t KeysymForKeyCode(int32_t key) {
  switch (key) {
    case 0x01:
      return XK_Escape;
    case 0x20:
      return XK_Home;
    case 0x21:
      return XK_Prior;
    case 0x25:
      return XK_KP_Subtract;
    case 0x26:
      return XK_Tab;
    case 0x35:
      return XK_End;
    case 0x36:
      return XK_Next;
    case 0x3a:
      return XK_KP_Add;
    case 0x3f:
      return XK_f;
    case 0x47:
      return XK_Return;
    case 0x57:
      return XK_Up;
    case 0x5b:
      return XK_KP_Enter;
    case 0x5d:
      return XK_Alt_L;
    case 0x5e:
      return XK_space;
    case 0x61:
      return XK_Left;
    case 0x62:
      return XK_Down;
    case 0x63:
      return XK_Right;
    case 0x68:
      return XK_Menu;
    default:
      return 0;
  }
}

struct X11Desktop::Impl {
  Display* display = nullptr;
  Window root = 0;
  SignatureTable table;
  Launcher* launcher = nullptr;
  std::mutex mutex;
  bool focus_follows_mouse = false;
  bool xtest = false;
  std::map<KeySym, KeyCode> remapped;  // keysyms the keyboard map lacked

  Atom Intern(const char* name) { return XInternAtom(display, name, False); }

  // A window property as a list of longs (32-bit format values come back as longs).
  std::vector<unsigned long> Cardinals(Window window, const char* name, Atom type) {
    Atom actual_type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(display, window, Intern(name), 0, 4096, False, type, &actual_type,
                           &format, &count, &after, &data) == Success &&
        data) {
      if (format == 32) {
        auto* longs = reinterpret_cast<unsigned long*>(data);
        values.assign(longs, longs + count);
      }
      XFree(data);
    }
    return values;
  }

  std::optional<unsigned long> Cardinal(Window window, const char* name, Atom type) {
    std::vector<unsigned long> values = Cardinals(window, name, type);
    if (values.empty()) return std::nullopt;
    return values[0];
  }

  std::string Title(Window window) {
    Atom actual_type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, Intern("_NET_WM_NAME"), 0, 4096, False,
                           Intern("UTF8_STRING"), &actual_type, &format, &count, &after,
                           &data) == Success &&
        data) {
      title.assign(reinterpret_cast<char*>(data), count);
      XFree(data);
    }
    if (title.empty()) {
      char* name = nullptr;
      if (XFetchName(display, window, &name) && name) {
        title = name;
        XFree(name);
      }
    }
    return title;
  }

  Client Describe(Window window) {
    Client client;
    client.window = window;
    if (auto pid = Cardinal(window, "_NET_WM_PID", XA_CARDINAL)) {
      client.pid = static_cast<int32_t>(*pid);
    }
    XClassHint hint{};
    if (XGetClassHint(display, window, &hint)) {
      if (hint.res_name) client.instance = hint.res_name;
      if (hint.res_class) client.klass = hint.res_class;
      if (hint.res_name) XFree(hint.res_name);
      if (hint.res_class) XFree(hint.res_class);
    }
    client.title = Title(window);
    Atom desktop = Intern("_NET_WM_WINDOW_TYPE_DESKTOP");
    Atom dock = Intern("_NET_WM_WINDOW_TYPE_DOCK");
    for (unsigned long type : Cardinals(window, "_NET_WM_WINDOW_TYPE", XA_ATOM)) {
      if (type == desktop || type == dock) client.desktop_or_dock = true;
    }
    return client;
  }

  std::vector<Client> Clients() {
    std::vector<Client> clients;
    for (unsigned long window : Cardinals(root, "_NET_CLIENT_LIST", XA_WINDOW)) {
      clients.push_back(Describe(window));
    }
    return clients;
  }

  std::string SignatureOf(const Client& client) {
    if (client.pid == getpid()) return kKoruSignature;
    if (client.instance.empty() && client.klass.empty()) {
      // A window without WM_CLASS: named after its executable when its process is known.
      std::string executable = client.pid > 0 ? ExecutableOf(client) : "unknown";
      return table.SignatureForWindowClass(executable, executable);
    }
    return table.SignatureForWindowClass(client.instance, client.klass);
  }

  static std::string ExecutableOf(const Client& client) {
    std::string name = ProcessExecutableName(client.pid);
    return name.empty() ? client.instance : name;
  }

  AppInfo InfoOf(const Client& client) {
    AppInfo info;
    info.signature = SignatureOf(client);
    info.executable = ExecutableOf(client);
    info.team = client.pid;
    return info;
  }

  std::optional<Window> ActiveWindow() {
    auto active = Cardinal(root, "_NET_ACTIVE_WINDOW", XA_WINDOW);
    if (!active || *active == 0) return std::nullopt;
    return static_cast<Window>(*active);
  }

  void SendClientMessage(Window window, const char* type, long l0, long l1 = 0, long l2 = 0) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = Intern(type);
    event.xclient.format = 32;
    event.xclient.data.l[0] = l0;
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
  }

  void ActivateWindow(Window window) {
    // Source 2: a pager, which window managers obey without focus-stealing checks.
    SendClientMessage(window, "_NET_ACTIVE_WINDOW", 2, CurrentTime, 0);
    // Keys go to the focused window: wait (briefly) until the window manager has activated
    // it, so that a key sent next reaches it and not the window that was active before.
    for (int i = 0; i < 100; ++i) {
      std::optional<Window> active = ActiveWindow();
      if (active && *active == window) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

  void CloseWindow(Window window) {
    SendClientMessage(window, "_NET_CLOSE_WINDOW", CurrentTime, 2);
  }

  // A keycode for the keysym; binds a spare keycode when the keyboard map has none.
  KeyCode KeycodeFor(KeySym keysym) {
    if (KeyCode code = XKeysymToKeycode(display, keysym)) return code;
    if (auto found = remapped.find(keysym); found != remapped.end()) return found->second;
    int min_code = 0, max_code = 0, per_code = 0;
    XDisplayKeycodes(display, &min_code, &max_code);
    KeySym* map = XGetKeyboardMapping(display, static_cast<KeyCode>(min_code),
                                      max_code - min_code + 1, &per_code);
    if (!map) return 0;
    KeyCode spare = 0;
    for (int code = max_code; code >= min_code && !spare; --code) {
      bool empty = true;
      for (int i = 0; i < per_code; ++i) {
        if (map[(code - min_code) * per_code + i] != NoSymbol) empty = false;
      }
      if (empty) spare = static_cast<KeyCode>(code);
    }
    XFree(map);
    if (!spare) return 0;
    KeySym syms[2] = {keysym, keysym};
    XChangeKeyboardMapping(display, spare, 2, syms, 1);
    XSync(display, False);
    remapped[keysym] = spare;
    return spare;
  }

  // The keys of a key message, modifiers first, as keycodes; empty when one is not sendable.
  std::vector<KeyCode> StrokeKeys(const Message& message, unsigned int* state) {
    int32_t modifiers = message.GetInt32("modifiers", 0);
    std::vector<KeySym> keysyms;
    *state = 0;
    if (modifiers & kShiftBits) keysyms.push_back(XK_Shift_L), *state |= ShiftMask;
    if (modifiers & kControlBits) keysyms.push_back(XK_Control_L), *state |= ControlMask;
    if (modifiers & kCommandBits) keysyms.push_back(XK_Alt_L), *state |= Mod1Mask;
    int32_t key = 0;
    for (int32_t i = 0; message.FindInt32("key", &key, i) == kOk; ++i) {
      KeySym keysym = KeysymForKeyCode(key);
      if (keysym == 0) {
        Trace("X11: key 0x%x has no X key, not sent\n", static_cast<unsigned>(key));
        return {};
      }
      if (keysym == XK_Alt_L) *state |= Mod1Mask;
      if (std::find(keysyms.begin(), keysyms.end(), keysym) == keysyms.end()) {
        keysyms.push_back(keysym);
      }
    }
    std::vector<KeyCode> codes;
    for (KeySym keysym : keysyms) {
      KeyCode code = KeycodeFor(keysym);
      if (code == 0) {
        Trace("X11: no keycode for keysym 0x%lx, key not sent\n", keysym);
        return {};
      }
      codes.push_back(code);
    }
    return codes;
  }

  // Presses every key in order and releases them in reverse: nothing stays held.
  status_t FakeStroke(const Message& message) {
    unsigned int state = 0;
    std::vector<KeyCode> codes = StrokeKeys(message, &state);
    if (codes.empty()) return kBadValue;
    for (KeyCode code : codes) XTestFakeKeyEvent(display, code, True, CurrentTime);
    for (auto code = codes.rbegin(); code != codes.rend(); ++code) {
      XTestFakeKeyEvent(display, *code, False, CurrentTime);
    }
    XSync(display, False);
    return kOk;
  }

  // A key stroke for a window that is not focused: synthetic events to that window.
  status_t SendStroke(Window window, const Message& message) {
    unsigned int state = 0;
    std::vector<KeyCode> codes = StrokeKeys(message, &state);
    if (codes.empty()) return kBadValue;
    XKeyEvent key{};
    key.display = display;
    key.window = window;
    key.root = root;
    key.time = CurrentTime;
    key.same_screen = True;
    key.state = state;
    key.keycode = codes.back();
    key.type = KeyPress;
    XSendEvent(display, window, True, KeyPressMask, reinterpret_cast<XEvent*>(&key));
    key.type = KeyRelease;
    XSendEvent(display, window, True, KeyReleaseMask, reinterpret_cast<XEvent*>(&key));
    XFlush(display);
    return kOk;
  }

  status_t FakeClick() {
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
    return kOk;
  }

  // Windows of the applications with `signature`.
  std::vector<Window> WindowsOf(const std::vector<Client>& clients, const std::string& signature) {
    std::vector<Window> windows;
    for (const Client& client : clients) {
      if (SignatureOf(client) == signature) windows.push_back(client.window);
    }
    return windows;
  }
};

std::unique_ptr<X11Desktop> X11Desktop::Open(const SignatureTable& table, Launcher* launcher) {
  XInitThreads();
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  XSetErrorHandler(IgnoreXError);
  int event_base = 0, error_base = 0, major = 0, minor = 0;
  bool xtest = XTestQueryExtension(display, &event_base, &error_base, &major, &minor);
  if (!xtest) Trace("X11: the display has no XTest extension; keys and pointer will not work\n");
  auto impl = std::make_unique<Impl>();
  impl->xtest = xtest;
  impl->display = display;
  impl->root = DefaultRootWindow(display);
  impl->table = table;
  impl->launcher = launcher;
  return std::unique_ptr<X11Desktop>(new X11Desktop(std::move(impl)));
}

X11Desktop::X11Desktop(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

X11Desktop::~X11Desktop() {
  if (impl_ && impl_->display) XCloseDisplay(impl_->display);
}

std::vector<AppInfo> X11Desktop::RunningApps() {
  std::lock_guard lock(impl_->mutex);
  std::vector<AppInfo> apps;
  for (const Client& client : impl_->Clients()) {
    bool known = client.pid > 0 && std::any_of(apps.begin(), apps.end(), [&](const AppInfo& app) {
                   return app.team == client.pid;
                 });
    if (!known) apps.push_back(impl_->InfoOf(client));
  }
  return apps;
}

bool X11Desktop::ActiveApp(AppInfo* info) {
  std::lock_guard lock(impl_->mutex);
  std::optional<Window> active = impl_->ActiveWindow();
  if (!active) return false;
  *info = impl_->InfoOf(impl_->Describe(*active));
  return true;
}

status_t X11Desktop::Activate(int32_t team) {
  std::lock_guard lock(impl_->mutex);
  if (team <= 0) return kBadValue;
  for (const Client& client : impl_->Clients()) {
    if (client.pid == team && !client.desktop_or_dock) {
      impl_->ActivateWindow(client.window);
      return kOk;
    }
  }
  return kEntryNotFound;
}

status_t X11Desktop::Launch(const std::string& signature) {
  std::lock_guard lock(impl_->mutex);
  if (!impl_->WindowsOf(impl_->Clients(), signature).empty()) return kAlreadyRunning;
  const SignatureEntry* entry = impl_->table.Find(signature);
  if (!entry || entry->desktop_ids.empty()) return kEntryNotFound;
  for (const std::string& id : entry->desktop_ids) {
    if (impl_->launcher->StartDesktopEntry(id) == kOk) return kOk;
  }
  return kEntryNotFound;
}

status_t X11Desktop::SendMessage(const MessageTarget& target, const Message& message) {
  std::lock_guard lock(impl_->mutex);
  using Kind = MessageTarget::Kind;
  std::vector<Client> clients = impl_->Clients();
  std::optional<Window> active = impl_->ActiveWindow();
  // The window that receives a key: the active one, or for an application that is not active
  // its first window.
  std::optional<Window> window = active;
  bool focused = true;
  if (target.kind == Kind::kApp) {
    std::vector<Window> windows = impl_->WindowsOf(clients, target.signature);
    bool active_is_target =
        active && std::find(windows.begin(), windows.end(), *active) != windows.end();
    if (!active_is_target) {
      focused = false;
      window = windows.empty() ? std::nullopt : std::optional<Window>(windows.front());
    }
  }

  switch (message.what) {
    case kKeyDown:
      if (!window && target.kind == Kind::kApp) return kEntryNotFound;
      // With nothing active the key goes wherever the X server's focus is.
      return focused ? impl_->FakeStroke(message) : impl_->SendStroke(*window, message);
    case kMouseDown:
      return impl_->FakeClick();
    case kKeyUp:
    case kMouseUp:
      return kOk;  // the stroke or click is already complete
    case kQuitRequested: {
      if (target.kind == Kind::kApp || target.kind == Kind::kActiveApp) {
        std::string signature = target.signature;
        if (target.kind == Kind::kActiveApp) {
          if (!active) return kEntryNotFound;
          signature = impl_->SignatureOf(impl_->Describe(*active));
        }
        std::vector<Window> windows = impl_->WindowsOf(clients, signature);
        if (windows.empty()) return kEntryNotFound;
        for (Window each : windows) impl_->CloseWindow(each);
        return kOk;
      }
      if (!active) return kEntryNotFound;
      impl_->CloseWindow(*active);
      return kOk;
    }
    default:
      Trace("X11: message '%s' has no meaning here\n", FourCCText(message.what).c_str());
      return kUnsupported;
  }
}

std::vector<std::string> X11Desktop::FileManagerWindows() {
  std::lock_guard lock(impl_->mutex);
  std::vector<std::string> titles;
  for (const Client& client : impl_->Clients()) {
    if (!client.desktop_or_dock && impl_->SignatureOf(client) == kFileManagerSignature) {
      titles.push_back(client.title);
    }
  }
  return titles;
}

status_t X11Desktop::ActivateFileManagerWindow(const std::string& title) {
  std::lock_guard lock(impl_->mutex);
  for (const Client& client : impl_->Clients()) {
    if (client.title == title && impl_->SignatureOf(client) == kFileManagerSignature) {
      impl_->ActivateWindow(client.window);
      return kOk;
    }
  }
  return kEntryNotFound;
}

int32_t X11Desktop::CountWorkspaces() {
  std::lock_guard lock(impl_->mutex);
  return static_cast<int32_t>(
      impl_->Cardinal(impl_->root, "_NET_NUMBER_OF_DESKTOPS", XA_CARDINAL).value_or(1));
}

int32_t X11Desktop::CurrentWorkspace() {
  std::lock_guard lock(impl_->mutex);
  return static_cast<int32_t>(
      impl_->Cardinal(impl_->root, "_NET_CURRENT_DESKTOP", XA_CARDINAL).value_or(0));
}

void X11Desktop::ActivateWorkspace(int32_t index) {
  std::lock_guard lock(impl_->mutex);
  impl_->SendClientMessage(impl_->root, "_NET_CURRENT_DESKTOP", index, CurrentTime);
  // Wait (briefly) until the window manager has switched, so that the next action in key
  // order reads the new workspace and not the old one.
  for (int i = 0; i < 100; ++i) {
    auto current = impl_->Cardinal(impl_->root, "_NET_CURRENT_DESKTOP", XA_CARDINAL);
    if (current && static_cast<int32_t>(*current) == index) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

ScreenPoint X11Desktop::PointerPosition() {
  std::lock_guard lock(impl_->mutex);
  Window root_return = 0, child = 0;
  int x = 0, y = 0, win_x = 0, win_y = 0;
  unsigned int mask = 0;
  XQueryPointer(impl_->display, impl_->root, &root_return, &child, &x, &y, &win_x, &win_y, &mask);
  return {x, y};
}

void X11Desktop::SetPointerPosition(ScreenPoint point) {
  std::lock_guard lock(impl_->mutex);
  XTestFakeMotionEvent(impl_->display, -1, point.x, point.y, CurrentTime);
  XSync(impl_->display, False);
}

void X11Desktop::SetFocusFollowsMouse(bool on) {
  std::lock_guard lock(impl_->mutex);
  impl_->focus_follows_mouse = on;
}

DesktopReport X11Desktop::Report() const {
  DesktopReport report{"x11", {}};
  for (const char* name : {"keys", "pointer"}) {
    if (impl_->xtest) {
      report.capabilities.push_back({name, "xtest", {}, {}});
    } else {
      report.capabilities.push_back({name,
                                     {},
                                     "the X server has no XTest extension",
                                     "Enable the XTEST extension of the X server."});
    }
  }
  for (const char* name : {"workspaces", "front application", "windows"}) {
    report.capabilities.push_back({name, "ewmh", {}, {}});
  }
  return report;
}

}  // namespace koru
