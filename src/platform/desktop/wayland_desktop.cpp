#include "platform/desktop/wayland_desktop.h"

#include <unistd.h>

#include <algorithm>

#include "platform/desktop/desktop_messages.h"
#include "platform/desktop/evdev_keys.h"
#include "platform/desktop/process_executable.h"
#include "platform/launcher/launcher.h"
#include "platform/messaging/four_cc.h"
#include "platform/messaging/trace.h"

namespace koru {

namespace {

constexpr char kKoruSignature[] = "application/x-vnd.tq-KORU";
constexpr char kFileManagerSignature[] = "application/x-vnd.Be-TRAK";

constexpr char kKeys[] = "keys";
constexpr char kPointer[] = "pointer";
constexpr char kWorkspaces[] = "workspaces";
constexpr char kFrontApp[] = "front application";
constexpr char kWindows[] = "windows";

// One of the compositor's capabilities; `field` picks it from the adapter's answers.
DesktopCapability CompositorCapability(const char* name, std::string CompositorBackends::*field,
                                       const WaylandDesktop::Backends& backends) {
  if (!backends.compositor) {
    return {name, {}, backends.compositor_missing, backends.compositor_remedy};
  }
  DesktopCapability capability{name, backends.compositor->Backends().*field, {}, {}};
  if (capability.Available()) return capability;
  capability.missing = backends.compositor->WhyNot().*field;
  capability.remedy = backends.compositor->Remedies().*field;
  if (capability.missing.empty()) {
    capability.missing =
        backends.compositor->DesktopName() + " gives other programs no access to its " + name;
  }
  return capability;
}

}  // namespace

WaylandDesktop::WaylandDesktop(std::string session, const SignatureTable& table, Launcher* launcher,
                               Backends backends)
    : table_(table), launcher_(launcher), backends_(std::move(backends)) {
  report_.session = std::move(session);
  std::string input = backends_.input ? backends_.input->Name() : std::string();
  for (const char* name : {kKeys, kPointer}) {
    report_.capabilities.push_back({name, input, input.empty() ? backends_.input_missing : "",
                                    input.empty() ? backends_.input_remedy : ""});
  }
  report_.capabilities.push_back(
      CompositorCapability(kWorkspaces, &CompositorBackends::workspaces, backends_));
  report_.capabilities.push_back(
      CompositorCapability(kFrontApp, &CompositorBackends::front_app, backends_));
  report_.capabilities.push_back(
      CompositorCapability(kWindows, &CompositorBackends::windows, backends_));
}

bool WaylandDesktop::Can(const char* name) {
  const DesktopCapability* capability = report_.Find(name);
  if (capability && capability->Available()) return true;
  if (said_.insert(name).second) {
    Trace("desktop: %s: not possible on this desktop (%s)\n", name,
          capability && !capability->missing.empty() ? capability->missing.c_str() : "no backend");
  }
  return false;
}

std::string WaylandDesktop::SignatureOf(const CompositorWindow& window) const {
  if (window.pid == getpid()) return kKoruSignature;
  if (window.app_id.empty() && window.instance.empty()) {
    std::string executable = ProcessExecutableName(window.pid);
    if (executable.empty()) executable = "unknown";
    return table_.SignatureForWindowClass(executable, executable);
  }
  return table_.SignatureForWindowClass(window.instance.empty() ? window.app_id : window.instance,
                                        window.app_id);
}

std::vector<CompositorWindow> WaylandDesktop::WindowsOf(const std::string& signature) {
  std::vector<CompositorWindow> windows = backends_.compositor->Windows();
  std::erase_if(windows, [&](const CompositorWindow& w) { return SignatureOf(w) != signature; });
  return windows;
}

std::vector<AppInfo> WaylandDesktop::RunningApps() {
  std::lock_guard lock(mutex_);
  if (!Can(kWindows)) return {};
  std::vector<AppInfo> apps;
  for (const CompositorWindow& window : backends_.compositor->Windows()) {
    bool known = window.pid > 0 && std::any_of(apps.begin(), apps.end(), [&](const AppInfo& a) {
                   return a.team == window.pid;
                 });
    if (known) continue;
    AppInfo info;
    info.signature = SignatureOf(window);
    info.executable = ProcessExecutableName(window.pid);
    if (info.executable.empty()) info.executable = window.app_id;
    info.team = window.pid;
    apps.push_back(std::move(info));
  }
  return apps;
}

bool WaylandDesktop::ActiveApp(AppInfo* info) {
  std::lock_guard lock(mutex_);
  if (!Can(kFrontApp)) return false;
  std::optional<CompositorWindow> focused = backends_.compositor->FocusedWindow();
  if (!focused) return false;
  info->signature = SignatureOf(*focused);
  info->executable = ProcessExecutableName(focused->pid);
  if (info->executable.empty()) info->executable = focused->app_id;
  info->team = focused->pid;
  return true;
}

status_t WaylandDesktop::Activate(int32_t team) {
  std::lock_guard lock(mutex_);
  if (team <= 0) return kBadValue;
  if (!Can(kWindows)) return kUnsupported;
  for (const CompositorWindow& window : backends_.compositor->Windows()) {
    if (window.pid == team) return backends_.compositor->Focus(window);
  }
  return kEntryNotFound;
}

status_t WaylandDesktop::Launch(const std::string& signature) {
  std::lock_guard lock(mutex_);
  // Without a window list a running application cannot be told: it is started again, which
  // single-instance applications answer by showing their window.
  if (report_.Find(kWindows)->Available() && !WindowsOf(signature).empty()) {
    return kAlreadyRunning;
  }
  const SignatureEntry* entry = table_.Find(signature);
  if (!entry || entry->desktop_ids.empty()) return kEntryNotFound;
  for (const std::string& id : entry->desktop_ids) {
    if (launcher_->StartDesktopEntry(id) == kOk) return kOk;
  }
  return kEntryNotFound;
}

status_t WaylandDesktop::Stroke(const MessageTarget& target, const Message& message) {
  if (!Can(kKeys)) return kUnsupported;
  std::vector<uint16_t> keys = EvdevStrokeForMessage(message);
  if (keys.empty()) return kBadValue;
  if (target.kind != MessageTarget::Kind::kApp) return backends_.input->Stroke(keys);
  // Input reaches only the focused window: focus the application's window for the stroke and
  // give the focus back afterwards.
  if (!Can(kWindows)) return kUnsupported;
  std::vector<CompositorWindow> windows = WindowsOf(target.signature);
  if (windows.empty()) return kEntryNotFound;
  auto focused = std::find_if(windows.begin(), windows.end(),
                              [](const CompositorWindow& w) { return w.focused; });
  if (focused != windows.end()) return backends_.input->Stroke(keys);
  std::optional<CompositorWindow> before = backends_.compositor->FocusedWindow();
  if (backends_.compositor->Focus(windows.front()) != kOk) return kError;
  status_t result = backends_.input->Stroke(keys);
  if (before) backends_.compositor->Focus(*before);
  return result;
}

status_t WaylandDesktop::Close(const MessageTarget& target) {
  if (!Can(kWindows)) return kUnsupported;
  using Kind = MessageTarget::Kind;
  if (target.kind == Kind::kApp || target.kind == Kind::kActiveApp) {
    std::string signature = target.signature;
    if (target.kind == Kind::kActiveApp) {
      std::optional<CompositorWindow> focused = backends_.compositor->FocusedWindow();
      if (!focused) return kEntryNotFound;
      signature = SignatureOf(*focused);
    }
    std::vector<CompositorWindow> windows = WindowsOf(signature);
    if (windows.empty()) return kEntryNotFound;
    for (const CompositorWindow& window : windows) backends_.compositor->Close(window);
    return kOk;
  }
  std::optional<CompositorWindow> focused = backends_.compositor->FocusedWindow();
  if (!focused) return kEntryNotFound;
  return backends_.compositor->Close(*focused);
}

status_t WaylandDesktop::SendMessage(const MessageTarget& target, const Message& message) {
  std::lock_guard lock(mutex_);
  switch (message.what) {
    case kKeyDown:
      return Stroke(target, message);
    case kMouseDown:
      return Can(kPointer) ? backends_.input->Click() : kUnsupported;
    case kKeyUp:
    case kMouseUp:
      return kOk;  // the stroke or click is already complete
    case kQuitRequested:
      return Close(target);
    default:
      Trace("desktop: message '%s' has no meaning here\n", FourCCText(message.what).c_str());
      return kUnsupported;
  }
}

std::vector<std::string> WaylandDesktop::FileManagerWindows() {
  std::lock_guard lock(mutex_);
  if (!Can(kWindows)) return {};
  std::vector<std::string> titles;
  for (const CompositorWindow& window : WindowsOf(kFileManagerSignature)) {
    titles.push_back(window.title);
  }
  return titles;
}

status_t WaylandDesktop::ActivateFileManagerWindow(const std::string& title) {
  std::lock_guard lock(mutex_);
  if (!Can(kWindows)) return kUnsupported;
  for (const CompositorWindow& window : WindowsOf(kFileManagerSignature)) {
    if (window.title == title) return backends_.compositor->Focus(window);
  }
  return kEntryNotFound;
}

int32_t WaylandDesktop::CountWorkspaces() {
  std::lock_guard lock(mutex_);
  return Can(kWorkspaces) ? backends_.compositor->CountWorkspaces() : 1;
}

int32_t WaylandDesktop::CurrentWorkspace() {
  std::lock_guard lock(mutex_);
  return Can(kWorkspaces) ? backends_.compositor->CurrentWorkspace() : 0;
}

void WaylandDesktop::ActivateWorkspace(int32_t index) {
  std::lock_guard lock(mutex_);
  if (Can(kWorkspaces)) backends_.compositor->ActivateWorkspace(index);
}

ScreenPoint WaylandDesktop::PointerPosition() {
  std::lock_guard lock(mutex_);
  return pointer_;
}

void WaylandDesktop::SetPointerPosition(ScreenPoint point) {
  MovePointer(PointerPosition(), point);
}

void WaylandDesktop::MovePointer(ScreenPoint from, ScreenPoint to) {
  std::lock_guard lock(mutex_);
  if (!Can(kPointer)) return;
  // A Wayland client knows positions only within its own windows: the step is placed on the
  // layout from where the compositor shows KORU's focused window, else moved relatively.
  ScreenSize layout;
  if (backends_.compositor) {
    std::optional<CompositorWindow> focused = backends_.compositor->FocusedWindow();
    if (focused && focused->pid == getpid() && focused->content_origin) {
      const ScreenPoint origin = *focused->content_origin;
      from = {from.x + origin.x, from.y + origin.y};
      to = {to.x + origin.x, to.y + origin.y};
      layout = backends_.compositor->LayoutSize();
    }
  }
  if (backends_.input->MovePointer(from, to, layout) == kOk) pointer_ = to;
}

void WaylandDesktop::SetFocusFollowsMouse(bool on) {
  std::lock_guard lock(mutex_);
  focus_follows_mouse_ = on;
}

}  // namespace koru
