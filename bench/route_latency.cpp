// Time from a receiver report leaving the receiver thread to its action starting on the action
// thread: the report goes through the application's queue to the main window, is matched and
// routed, and the action's first desktop call is timed on a recording desktop.
// Usage: route_latency [REPORTS]   (offscreen; prints p50/p99/max in microseconds)
#include <QApplication>
#include <algorithm>
#include <atomic>
#include <bitset>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/desktop/fake_desktop.h"
#include "platform/files/paths.h"
#include "platform/media/fake_media_players.h"
#include "platform/messaging/qt_looper.h"
#include "settings/prefs.h"
#include "shell/fb_application.h"
#include "shell/rc_window.h"

namespace {

std::atomic<bigtime_t> g_effect{0};

class TimedDesktop : public FakeDesktop {
 public:
  status_t SendMessage(const MessageTarget& target, const Message& message) override {
    g_effect.store(system_time());
    return FakeDesktop::SendMessage(target, message);
  }
};

std::string VolumeUpCode() {  // "Vol+" of the built-in one-byte remote LR-SAT (253128, 205)
  return "-" + std::bitset<8>(253).to_string() + std::bitset<8>(128).to_string() + "-" +
         std::bitset<8>(205).to_string() + std::bitset<8>(0).to_string() + "-1x";
}

}  // namespace

int main(int argc, char** argv) {
  const int reports = argc > 1 ? std::max(10, std::atoi(argv[1])) : 1000;
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  char home[] = "/tmp/koru-route-XXXXXX";
  if (mkdtemp(home) == nullptr) return 1;
  SetProgramFolder(std::string(home) + "/koru");
  setenv("XDG_CONFIG_HOME", (std::string(home) + "/config").c_str(), 1);
  setenv("KORU_REPLAY", "", 1);

  QApplication qt(argc, argv);
  QtLooper looper;
  SetDefaultLooper(&looper);
  WindowSetup setup;
  setup.services = [] {
    DesktopServices services;
    auto desktop = std::make_unique<TimedDesktop>();
    desktop->Activate("application/x-vnd.linux-gedit");
    services.desktop = std::move(desktop);
    services.players = std::make_unique<FakeMediaPlayers>();
    services.mixer = std::make_unique<FakeMixer>();
    services.launcher = std::make_unique<FakeLauncher>();
    return services;
  };
  std::vector<bigtime_t> latencies;
  {
    FbApplication app(setup);
    std::thread sender([&] {
      const std::string code = VolumeUpCode();
      for (int i = 0; i < reports; ++i) {
        Message report(FourCC("irCE"));
        report.AddString("_blink", code);
        report.AddInt32("_remotetype", 1);
        report.AddInt32("_ValidBits", 33);
        report.AddPointer("_BitDatas", nullptr);
        report.AddBool("_runCont", true);
        report.AddBool("_slowdown", false);
        g_effect.store(0);
        const bigtime_t sent = system_time();
        AppMessenger().SendMessage(report);
        for (int wait = 0; wait < 2000 && g_effect.load() == 0; ++wait) snooze(50);
        if (g_effect.load() != 0) latencies.push_back(g_effect.load() - sent);
        snooze(2000);
      }
      AppMessenger().SendMessage(FourCC("_QRQ"));
    });
    qt.exec();
    sender.join();
  }
  Prefs::getSTPrefs()->DeleteMe();
  std::filesystem::remove_all(home);
  if (latencies.empty()) {
    std::printf("no action ran\n");
    return 1;
  }
  std::sort(latencies.begin(), latencies.end());
  auto at = [&](double q) {
    return latencies[std::min(latencies.size() - 1, size_t(q * latencies.size()))];
  };
  std::printf("report -> action start over %zu reports: p50 %lld us, p99 %lld us, max %lld us\n",
              latencies.size(), static_cast<long long>(at(0.5)), static_cast<long long>(at(0.99)),
              static_cast<long long>(latencies.back()));
  return 0;
}
