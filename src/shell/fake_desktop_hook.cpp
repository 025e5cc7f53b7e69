#include "shell/fake_desktop_hook.h"

#include <memory>
#include <mutex>

#include "platform/desktop/fake_desktop.h"
#include "platform/media/fake_media_players.h"
#include "platform/messaging/trace.h"
#include "shell/window_setup.h"

namespace koru {

namespace {

// The fakes of one window and how many of their calls are already on the trace. The services
// are made on the GUI thread and the calls traced on the action thread.
struct Fakes {
  std::mutex mutex;
  FakeDesktop* desktop = nullptr;
  FakeMediaPlayers* players = nullptr;
  FakeMixer* mixer = nullptr;
  FakeLauncher* launcher = nullptr;
  size_t desktop_calls = 0, sent = 0, player_calls = 0, launcher_calls = 0;
  int32_t mixer_writes = 0;
};

void TraceNewCalls(Fakes& f) {
  std::lock_guard lock(f.mutex);
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
  auto fakes = std::make_shared<Fakes>();
  setup->services = [fakes] {
    DesktopServices services;
    auto desktop = std::make_unique<FakeDesktop>();
    desktop->Activate("application/x-vnd.linux-gedit");
    auto players = std::make_unique<FakeMediaPlayers>();
    auto mixer = std::make_unique<FakeMixer>();
    auto launcher = std::make_unique<FakeLauncher>();
    {
      std::lock_guard lock(fakes->mutex);
      fakes->desktop = desktop.get();
      fakes->players = players.get();
      fakes->mixer = mixer.get();
      fakes->launcher = launcher.get();
      fakes->desktop_calls = fakes->sent = fakes->player_calls = fakes->launcher_calls = 0;
      fakes->mixer_writes = 0;
    }
    services.desktop = std::move(desktop);
    services.players = std::move(players);
    services.mixer = std::move(mixer);
    services.launcher = std::move(launcher);
    return services;
  };
  setup->after_action = [fakes] { TraceNewCalls(*fakes); };
  Trace("fake desktop: actions act on recording fakes\n");
}

}  // namespace koru
