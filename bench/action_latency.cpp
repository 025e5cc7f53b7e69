// Latency from posting an action to its effect on the real desktop stack: the key stroke seen
// by an X client, and the MPRIS call received by a player. Run it on the test stack:
//   tests/system/run_system_tests.sh build/default/bench/koru_action_latency [calls]
#include <QCoreApplication>
#include <QProcess>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "actions/action_messages.h"
#include "actions/action_thread.h"
#include "actions/actions.h"
#include "platform/desktop/x11_probe_window.h"
#include "platform/desktop_services.h"
#include "platform/messaging/four_cc.h"

namespace koru {

namespace {

using Steady = std::chrono::steady_clock;
namespace fs = std::filesystem;

void Report(const char* what, std::vector<double> micros) {
  if (micros.empty()) {
    std::printf("%-34s no samples\n", what);
    return;
  }
  std::sort(micros.begin(), micros.end());
  auto at = [&](double q) { return micros[static_cast<size_t>(q * (micros.size() - 1))]; };
  std::printf("%-34s n=%zu  p50 %8.0f us  p99 %8.0f us  max %8.0f us\n", what, micros.size(),
              at(0.5), at(0.99), micros.back());
}

size_t CountLines(const fs::path& path) {
  std::ifstream file(path);
  return static_cast<size_t>(
      std::count(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>(), '\n'));
}

}  // namespace

}  // namespace koru

using namespace koru;

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  int calls = argc > 1 ? std::atoi(argv[1]) : 100;
  const char* work = std::getenv("KORU_SYSTEM_WORK");
  const char* scripts = std::getenv("KORU_SYSTEM_SCRIPTS");
  if (!work || !scripts) {
    std::fprintf(stderr, "run through tests/system/run_system_tests.sh\n");
    return 1;
  }
  DesktopServices stack = CreateDesktopServices();
  ActionThread actions(ActionServicesFor(stack));

  // Key stroke: post IKeypress2App("up") and wait for the key press at the X client.
  auto probe = X11ProbeWindow::Open("KORU latency");
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  probe->Drain();
  std::vector<double> key_latency;
  for (int i = 0; i < calls; ++i) {
    auto start = Steady::now();
    actions.Post([](ActionServices& s) { IKeypress2App(s, 61); });
    while (auto key = probe->WaitForKey(2000)) {
      if (key->press) {
        key_latency.push_back(
            std::chrono::duration<double, std::micro>(Steady::now() - start).count());
        break;
      }
    }
    actions.WaitIdle();
    probe->Drain();
  }
  Report("key stroke (IKeypress2App)", key_latency);

  // MPRIS: post DoCommand('next') and wait for the player's log line.
  fs::path log = fs::path(work) / "latency-player.log";
  fs::remove(log);
  QProcess player;
  player.start("/usr/bin/python3", {QString(scripts) + "/mpris_test_player.py",
                                    QString::fromStdString(log.string()), "korutest"});
  auto deadline = Steady::now() + std::chrono::seconds(5);
  while (CountLines(log) < 1 && Steady::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::vector<double> mpris_latency;
  for (int i = 0; i < calls; ++i) {
    size_t before = CountLines(log);
    auto start = Steady::now();
    actions.Post([](ActionServices& s) { DoCommand(s, kPlayerNext); });
    auto limit = start + std::chrono::seconds(2);
    while (CountLines(log) == before && Steady::now() < limit) {
      std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    if (CountLines(log) > before) {
      mpris_latency.push_back(
          std::chrono::duration<double, std::micro>(Steady::now() - start).count());
    }
    actions.WaitIdle();
  }
  Report("MPRIS Next (DoCommand 'next')", mpris_latency);
  player.terminate();
  player.waitForFinished(2000);
  return 0;
}
