#pragma once
// The program's desktop services: the X11 desktop when a display can be opened (else one that
// traces that it cannot act), MPRIS players, the PulseAudio mixer and the process launcher,
// all reading the signature table once.
#include <memory>

#include "platform/desktop/desktop.h"
#include "platform/launcher/launcher.h"
#include "platform/media/media_players.h"
#include "platform/media/mixer.h"

namespace koru {

struct DesktopServices {
  std::unique_ptr<Launcher> launcher;
  std::unique_ptr<Desktop> desktop;
  std::unique_ptr<MediaPlayers> players;
  std::unique_ptr<Mixer> mixer;
};

DesktopServices CreateDesktopServices();

}  // namespace koru
