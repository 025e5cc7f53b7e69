#include "platform/desktop_services.h"

#include "platform/desktop/desktop_session.h"
#include "platform/desktop/gnome_compositor.h"
#include "platform/desktop/kwin_compositor.h"
#include "platform/desktop/no_desktop.h"
#include "platform/desktop/portal_injector.h"
#include "platform/desktop/signature_table.h"
#include "platform/desktop/sway_compositor.h"
#include "platform/desktop/uinput_injector.h"
#include "platform/desktop/wayland_desktop.h"
#include "platform/desktop/x11_desktop.h"
#include "platform/launcher/process_launcher.h"
#include "platform/media/mpris_players.h"
#include "platform/media/pulse_mixer.h"
#include "platform/messaging/trace.h"

namespace koru {

namespace {

// The compositor's adapter for the session's family (input may serve it, as on GNOME).
void OpenCompositor(const DesktopSession& session, WaylandDesktop::Backends* backends) {
  using Family = DesktopSession::Family;
  switch (session.family) {
    case Family::kSway:
    case Family::kI3:
      backends->compositor =
          SwayCompositor::Open(session.ipc_socket, session.name, &backends->compositor_missing);
      if (!backends->compositor) {
        backends->compositor_remedy = "Start KORU from within the " + session.name + " session.";
      }
      return;
    case Family::kKde:
      backends->compositor = OpenKWinCompositor(&backends->compositor_missing);
      if (!backends->compositor) {
        backends->compositor_remedy = "Start KORU from within the KDE Plasma session.";
      }
      return;
    case Family::kGnome:
      // GNOME's workspace keys are pressed through the input backend.
      backends->compositor =
          OpenGnomeCompositor(backends->input.get(), &backends->compositor_missing);
      return;
    case Family::kOther:
      break;
  }
  backends->compositor_missing =
      "KORU knows no way into the windows and workspaces of " + session.name;
  backends->compositor_remedy = "Use sway, KDE Plasma or GNOME, or an X11 session.";
}

std::unique_ptr<Desktop> OpenWaylandDesktop(const DesktopSession& session,
                                            const SignatureTable& table, Launcher* launcher) {
  WaylandDesktop::Backends backends;
  // uinput first: it works everywhere and asks nobody; the portal where it cannot be opened.
  std::string uinput_missing, portal_missing;
  backends.input = OpenUinputInjector(&uinput_missing);
  if (!backends.input) backends.input = OpenPortalInjector(&portal_missing);
  if (!backends.input) {
    backends.input_missing = uinput_missing + "; " + portal_missing;
    backends.input_remedy =
        "Install KORU's package (its udev rule gives you /dev/uinput) or copy "
        "60-koru-uinput.rules to /etc/udev/rules.d, then log in again.";
  }
  OpenCompositor(session, &backends);
  return std::make_unique<WaylandDesktop>(session.Describe(), table, launcher, std::move(backends));
}

}  // namespace

DesktopServices CreateDesktopServices() {
  SignatureTable table = SignatureTable::Load();
  DesktopServices services;
  services.launcher = std::make_unique<ProcessLauncher>();
  DesktopSession session = DetectDesktopSession();
  switch (session.kind) {
    case DesktopSession::Kind::kWayland:
      services.desktop = OpenWaylandDesktop(session, table, services.launcher.get());
      break;
    case DesktopSession::Kind::kX11:
      services.desktop = X11Desktop::Open(table, services.launcher.get());
      if (!services.desktop) session.why_none = "DISPLAY cannot be opened";
      break;
    case DesktopSession::Kind::kNone:
      break;
  }
  if (!services.desktop) {
    Trace("no desktop: %s; desktop actions will only be traced\n", session.why_none.c_str());
    services.desktop = std::make_unique<NoDesktop>(session.why_none);
  }
  Trace("%s\n", services.desktop->Report().TraceLine().c_str());
  services.players = std::make_unique<MprisPlayers>(table);
  services.mixer = std::make_unique<PulseMixer>();
  return services;
}

}  // namespace koru
