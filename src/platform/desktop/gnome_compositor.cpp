#include "platform/desktop/gnome_compositor.h"

#include <QProcess>

#include <charconv>

#include "platform/desktop/gtk_accelerator.h"
#include "platform/messaging/trace.h"

namespace koru {

namespace {

constexpr int kGSettingsTimeoutMs = 2000;
const std::string kKeyBindings = "org.gnome.desktop.wm.keybindings";
// Mutter names numbered workspaces up to this one.
constexpr int32_t kNumberedBindings = 12;

const char kNoInjectorWhy[] =
    "GNOME switches workspaces only by its own keys, and KORU has no way to press keys (no "
    "access to /dev/uinput and no RemoteDesktop portal)";
const char kNoInjectorRemedy[] =
    "Access to /dev/uinput (the udev rule that KORU's package installs; log in again after "
    "installing it) or the RemoteDesktop portal lets KORU press GNOME's workspace keys.";
const char kNoKeysWhy[] =
    "GNOME's key bindings cannot be read (gsettings get org.gnome.desktop.wm.keybindings fails)";
const char kNoKeysRemedy[] =
    "The gsettings program (Debian package libglib2.0-bin) lets KORU read GNOME's workspace keys.";
const char kFrontAppRemedy[] =
    "The accessibility bus (at-spi2-core, part of every GNOME session) lets KORU see which "
    "application is in front.";
const char kWindowsWhy[] = "GNOME offers other programs no way to list, focus or close its windows";
const char kWindowsRemedy[] =
    "Only a GNOME Shell extension that offers the window list over D-Bus could enable it; GNOME "
    "itself has none.";

}  // namespace

GSettingsReader GSettingsCommand() {
  return [](const std::string& schema, const std::string& key) -> std::string {
    QProcess process;
    process.start(QStringLiteral("gsettings"),
                  {"get", QString::fromStdString(schema), QString::fromStdString(key)});
    if (!process.waitForFinished(kGSettingsTimeoutMs)) {
      process.kill();
      process.waitForFinished(kGSettingsTimeoutMs);
      return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) return {};
    return process.readAllStandardOutput().trimmed().toStdString();
  };
}

GnomeCompositor::GnomeCompositor(InputInjector* injector, GSettingsReader settings,
                                 std::unique_ptr<AtSpiFrontApp> front_app,
                                 std::string front_app_why_not)
    : injector_(injector),
      settings_(std::move(settings)),
      front_app_(std::move(front_app)),
      front_app_why_not_(std::move(front_app_why_not)) {
  keys_readable_ = !settings_(kKeyBindings, "switch-to-workspace-1").empty();
}

GnomeCompositor::~GnomeCompositor() = default;

CompositorBackends GnomeCompositor::Backends() const {
  CompositorBackends backends;
  if (injector_ && keys_readable_) backends.workspaces = "gnome-keys";
  if (front_app_) backends.front_app = "at-spi";
  return backends;
}

CompositorBackends GnomeCompositor::WhyNot() const {
  CompositorBackends why;
  if (!injector_)
    why.workspaces = kNoInjectorWhy;
  else if (!keys_readable_)
    why.workspaces = kNoKeysWhy;
  if (!front_app_) why.front_app = front_app_why_not_;
  why.windows = kWindowsWhy;
  return why;
}

CompositorBackends GnomeCompositor::Remedies() const {
  CompositorBackends remedies;
  if (!injector_)
    remedies.workspaces = kNoInjectorRemedy;
  else if (!keys_readable_)
    remedies.workspaces = kNoKeysRemedy;
  if (!front_app_) remedies.front_app = kFrontAppRemedy;
  remedies.windows = kWindowsRemedy;
  return remedies;
}

std::optional<CompositorWindow> GnomeCompositor::FocusedWindow() {
  if (!front_app_) return std::nullopt;
  return front_app_->ActiveWindow();
}

int32_t GnomeCompositor::CountWorkspaces() {
  if (settings_("org.gnome.mutter", "dynamic-workspaces") == "true") return kDynamicWorkspaceCount;
  std::string text = settings_("org.gnome.desktop.wm.preferences", "num-workspaces");
  int32_t count = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
  if (error != std::errc() || end != text.data() + text.size() || count < 1) return 1;
  return count;
}

std::vector<uint16_t> GnomeCompositor::Binding(const std::string& name) const {
  for (const std::string& accelerator : ParseGVariantStringList(settings_(kKeyBindings, name))) {
    std::vector<uint16_t> keys = ParseGtkAccelerator(accelerator);
    if (!keys.empty()) return keys;
  }
  return {};
}

status_t GnomeCompositor::Press(const std::vector<uint16_t>& keys, int32_t times) {
  for (int32_t i = 0; i < times; ++i) {
    status_t status = injector_->Stroke(keys);
    if (status != kOk) return status;
  }
  return kOk;
}

status_t GnomeCompositor::ActivateWorkspace(int32_t index) {
  if (!injector_ || !keys_readable_) return kUnsupported;
  int32_t count = CountWorkspaces();
  if (index < 0 || index >= count) return kBadIndex;
  if (index < kNumberedBindings) {
    std::vector<uint16_t> direct = Binding("switch-to-workspace-" + std::to_string(index + 1));
    if (!direct.empty()) return Press(direct, 1);
  }
  // GNOME binds only the first workspace and the steps by default. Older GNOMEs lay workspaces
  // out from top to bottom and step with up/down.
  std::vector<uint16_t> next = Binding("switch-to-workspace-right");
  if (next.empty()) next = Binding("switch-to-workspace-down");
  std::vector<uint16_t> first = Binding("switch-to-workspace-1");
  int32_t first_presses = 1;
  if (first.empty()) {
    first = Binding("switch-to-workspace-left");
    if (first.empty()) first = Binding("switch-to-workspace-up");
    first_presses = count - 1;
  }
  if (first.empty() || (index > 0 && next.empty())) {
    Trace("desktop: GNOME has no keys bound to reach workspace %d\n", index + 1);
    return kUnsupported;
  }
  status_t status = Press(first, first_presses);
  if (status != kOk) return status;
  return Press(next, index);
}

std::unique_ptr<GnomeCompositor> OpenGnomeCompositor(InputInjector* injector,
                                                     std::string* why_not) {
  std::string front_app_why_not;
  std::unique_ptr<AtSpiFrontApp> front_app = AtSpiFrontApp::Open(&front_app_why_not);
  auto compositor = std::make_unique<GnomeCompositor>(
      injector, GSettingsCommand(), std::move(front_app), std::move(front_app_why_not));
  if (why_not) {
    CompositorBackends why = compositor->WhyNot();
    why_not->clear();
    for (const std::string* reason : {&why.workspaces, &why.front_app}) {
      if (reason->empty()) continue;
      if (!why_not->empty()) *why_not += "; ";
      *why_not += *reason;
    }
  }
  return compositor;
}

}  // namespace koru
