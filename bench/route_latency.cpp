// Time from a receiver report leaving the receiver thread to the first call of the desktop
// service: the report goes through the application's queue to the main window, is matched and
// routed, the action is posted to the action thread, and there its first desktop call (any of
// them) is stamped by a recording desktop.
// Usage: route_latency [REPORTS]   (offscreen; prints p50/p99/max in microseconds)
#include <QApplication>
#include <algorithm>
#include <atomic>
#include <bitset>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/desktop/desktop_messages.h"
#include "platform/desktop/fake_desktop.h"
#include "platform/files/paths.h"
#include "platform/media/fake_media_players.h"
#include "platform/messaging/qt_looper.h"
#include "receiver/posted_report_sink.h"
#include "settings/prefs.h"
#include "shell/koru_application.h"
#include "shell/main_window.h"

namespace koru {

namespace {

// Stamps the first desktop call after each report and wakes the sender.
class FirstCall {
 public:
  void Arm() {
    std::lock_guard lock(mutex_);
    stamp_ = 0;
  }
  void Stamp() {
    const bigtime_t now = system_time();
    std::lock_guard lock(mutex_);
    if (stamp_ != 0) return;
    stamp_ = now;
    cv_.notify_all();
  }
  // The stamp, or 0 when no call came within a second.
  bigtime_t Wait() {
    std::unique_lock lock(mutex_);
    cv_.wait_for(lock, std::chrono::seconds(1), [&] { return stamp_ != 0; });
    return stamp_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bigtime_t stamp_ = -1;  // not armed
};

FirstCall g_first_call;

class TimedDesktop : public FakeDesktop {
 public:
  using FakeDesktop::Activate;
  std::vector<AppInfo> RunningApps() override {
    g_first_call.Stamp();
    return FakeDesktop::RunningApps();
  }
  bool ActiveApp(AppInfo* info) override {
    g_first_call.Stamp();
    return FakeDesktop::ActiveApp(info);
  }
  status_t Activate(int32_t team) override {
    g_first_call.Stamp();
    return FakeDesktop::Activate(team);
  }
  status_t Launch(const std::string& signature) override {
    g_first_call.Stamp();
    return FakeDesktop::Launch(signature);
  }
  status_t SendMessage(const MessageTarget& target, const Message& message) override {
    g_first_call.Stamp();
    return FakeDesktop::SendMessage(target, message);
  }
  std::vector<std::string> FileManagerWindows() override {
    g_first_call.Stamp();
    return FakeDesktop::FileManagerWindows();
  }
  status_t ActivateFileManagerWindow(const std::string& title) override {
    g_first_call.Stamp();
    return FakeDesktop::ActivateFileManagerWindow(title);
  }
  int32_t CountWorkspaces() override {
    g_first_call.Stamp();
    return FakeDesktop::CountWorkspaces();
  }
  int32_t CurrentWorkspace() override {
    g_first_call.Stamp();
    return FakeDesktop::CurrentWorkspace();
  }
  void ActivateWorkspace(int32_t index) override {
    g_first_call.Stamp();
    FakeDesktop::ActivateWorkspace(index);
  }
  ScreenPoint PointerPosition() override {
    g_first_call.Stamp();
    return FakeDesktop::PointerPosition();
  }
  void SetPointerPosition(ScreenPoint point) override {
    g_first_call.Stamp();
    FakeDesktop::SetPointerPosition(point);
  }
  void SetFocusFollowsMouse(bool on) override {
    g_first_call.Stamp();
    FakeDesktop::SetFocusFollowsMouse(on);
  }
};

std::string VolumeUpCode() {  // "Vol+" of the built-in one-byte remote LR-SAT (253128, 205)
  return "-" + std::bitset<8>(253).to_string() + std::bitset<8>(128).to_string() + "-" +
         std::bitset<8>(205).to_string() + std::bitset<8>(0).to_string() + "-1x";
}

}  // namespace

}  // namespace koru

using namespace koru;

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
  setup.remote_folder = ProgramFolder() / "_Remotes_";
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
  std::unique_ptr<Prefs> settings = Prefs::OpenSettingsFile();
  setup.settings = settings.get();
  {
    KoruApplication app(setup);
    // The receiver thread's way to the window: posted to the GUI thread's looper.
    class ToWindow : public ReceiverReportSink {
     public:
      explicit ToWindow(MainWindow* window) : window_(window) {}
      void Report(const ReceiverReport& report) override { window_->ReceiverReported(report); }
      void PortMissing() override {}
      void AlreadyScanning() override {}

     private:
      MainWindow* window_;
    } to_window(app.GetMainWindow());
    PostedReportSink posted(&looper, &to_window);
    std::thread sender([&] {
      const ReceiverReport report = MakeReceiverReport(VolumeUpCode(), 1, 33, false);
      for (int i = 0; i < reports; ++i) {
        g_first_call.Arm();
        const bigtime_t sent = system_time();
        posted.Report(report);
        const bigtime_t called = g_first_call.Wait();
        if (called != 0) latencies.push_back(called - sent);
        snooze(2000);  // the rest of the action, and the window settles
      }
      AppMessenger().SendMessage(kQuitRequested);
    });
    qt.exec();
    sender.join();
  }
  settings.reset();
  std::filesystem::remove_all(home);
  if (latencies.empty()) {
    std::printf("no action ran\n");
    return 1;
  }
  std::sort(latencies.begin(), latencies.end());
  auto at = [&](double q) {
    return latencies[std::min(latencies.size() - 1, size_t(q * latencies.size()))];
  };
  std::printf(
      "report -> first desktop call over %zu reports: p50 %lld us, p99 %lld us, max %lld us\n",
      latencies.size(), static_cast<long long>(at(0.5)), static_cast<long long>(at(0.99)),
      static_cast<long long>(latencies.back()));
  return 0;
}
