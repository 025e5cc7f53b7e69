#include "shell/fake_desktop_hook.h"

#include <mutex>

#include "platform/fake_desktop.h"
#include "platform/fake_media_players.h"
#include "platform/trace.h"
#include "shell/window_setup.h"

namespace {

struct Fakes {
  FakeDesktop* desktop = nullptr;
  FakeMediaPlayers* players = nullptr;
  FakeMixer* mixer = nullptr;
  FakeLauncher* launcher = nullptr;
  size_t desktop_calls = 0, sent = 0, player_calls = 0, launcher_calls = 0;
  int32_t mixer_writes = 0;
};

std::mutex g_mutex;
Fakes g_fakes;

void TraceNewCalls() {
  std::lock_guard lock(g_mutex);
  Fakes& f = g_fakes;
  if (f.desktop == nullptr) return;
  for (; f.desktop_calls < f.desktop->calls.size(); ++f.desktop_calls) {
    Trace("fake: desktop %s\n", f.desktop->calls[f.desktop_calls].c_str());
  }
  for (; f.sent < f.desktop->sent.size(); ++f.sent) {
    const Message& message = f.desktop->sent[f.sent].message;
    Trace("fake: message '%s' key=%ld modifiers=%ld\n", FourCCText(message.what).c_str(),
          static_cast<long>(message.GetInt32("key", 0)),
          static_cast<long>(message.GetInt32("modifiers", 0)));
  }
  for (; f.player_calls < f.players->calls.size(); ++f.player_calls) {
    Trace("fake: player %s\n", f.players->calls[f.player_calls].c_str());
  }
  for (; f.launcher_calls < f.launcher->calls.size(); ++f.launcher_calls) {
    Trace("fake: launcher %s\n", f.launcher->calls[f.launcher_calls].c_str());
  }
  if (f.mixer->writes != f.mixer_writes) {
    f.mixer_writes = f.mixer->writes;
    Trace("fake: mixer muted=%d\n", f.mixer->muted ? 1 : 0);
  }
}

}  // namespace

void UseFakeDesktop(WindowSetup* setup) {
  setup->services = [] {
    DesktopServices services;
    auto desktop = std::make_unique<FakeDesktop>();
    desktop->Activate("application/x-vnd.linux-gedit");
    auto players = std::make_unique<FakeMediaPlayers>();
    auto mixer = std::make_unique<FakeMixer>();
    auto launcher = std::make_unique<FakeLauncher>();
    {
      std::lock_guard lock(g_mutex);
      g_fakes = Fakes{desktop.get(), players.get(), mixer.get(), launcher.get()};
    }
    services.desktop = std::move(desktop);
    services.players = std::move(players);
    services.mixer = std::move(mixer);
    services.launcher = std::move(launcher);
    return services;
  };
  setup->after_action = TraceNewCalls;
  Trace("fake desktop: actions act on recording fakes\n");
}
