// What a key costs on sway: the front application (one GET_TREE and its parsing), the current
// workspace, and a workspace switch, against the sway named by $SWAYSOCK. Run it inside a sway
// session (a headless one will do, see tests/system/run_sway_tests.sh), with a few windows open:
//   SWAYSOCK=... build/default/bench/sway_actions
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/desktop/sway_compositor.h"

namespace koru {

namespace {

std::unique_ptr<SwayCompositor> Open(benchmark::State& state) {
  const char* socket = std::getenv("SWAYSOCK");
  std::string why;
  auto sway = SwayCompositor::Open(socket ? socket : "", "sway", &why);
  if (!sway) state.SkipWithError(("no sway: " + why).c_str());
  return sway;
}

void FrontApplication(benchmark::State& state) {
  auto sway = Open(state);
  if (!sway) return;
  for (auto _ : state) benchmark::DoNotOptimize(sway->FocusedWindow());
}
BENCHMARK(FrontApplication)->UseRealTime();

void CurrentWorkspace(benchmark::State& state) {
  auto sway = Open(state);
  if (!sway) return;
  for (auto _ : state) benchmark::DoNotOptimize(sway->CurrentWorkspace());
}
BENCHMARK(CurrentWorkspace)->UseRealTime();

void SwitchWorkspace(benchmark::State& state) {
  auto sway = Open(state);
  if (!sway) return;
  int32_t next = 0;
  for (auto _ : state) {
    sway->ActivateWorkspace(next);
    next = (next + 1) % 2;
  }
}
BENCHMARK(SwitchWorkspace)->UseRealTime();

}  // namespace

}  // namespace koru

using namespace koru;

BENCHMARK_MAIN();
