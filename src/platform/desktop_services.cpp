#include "platform/desktop_services.h"

#include <cstdlib>

#include "platform/desktop/no_desktop.h"
#include "platform/desktop/signature_table.h"
#include "platform/desktop/x11_desktop.h"
#include "platform/launcher/process_launcher.h"
#include "platform/media/mpris_players.h"
#include "platform/media/pulse_mixer.h"
#include "platform/messaging/trace.h"

DesktopServices CreateDesktopServices() {
  SignatureTable table = SignatureTable::Load();
  DesktopServices services;
  services.launcher = std::make_unique<ProcessLauncher>();
  const char* display = std::getenv("DISPLAY");
  if (display && *display) services.desktop = X11Desktop::Open(table, services.launcher.get());
  if (!services.desktop) {
    Trace("no desktop: DISPLAY %s; desktop actions will only be traced\n",
          display && *display ? "cannot be opened" : "is not set");
    services.desktop = std::make_unique<NoDesktop>();
  }
  services.players = std::make_unique<MprisPlayers>(table);
  services.mixer = std::make_unique<PulseMixer>();
  return services;
}
