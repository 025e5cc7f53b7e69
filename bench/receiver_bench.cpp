// Receiver measurements:
//  (a) decoding throughput of the receiver thread on a virtual clock (what koru-decode runs);
//  (b) period-measurement error of the polling and the event-driven wait against a line driven
//      in real time by a second thread, with the default timer slack and with 1 ns;
//  (c) CPU time the receiver thread burns per second of an idle line: polled, event-driven,
//      a recording that has ended.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/lines/driven_line.h"
#include "platform/lines/mode2_recording.h"
#include "platform/lines/replay_line.h"
#include "platform/lines/timer_slack.h"
#include "platform/messaging/four_cc.h"
#include "platform/messaging/message.h"
#include "platform/messaging/test_loopers.h"
#include "platform/messaging/threads.h"
#include "platform/messaging/trace.h"
#include "receiver/receiver_flags.h"
#include "receiver/receiver_report_sink.h"
#include "receiver/replay_session.h"
#include "receiver/sampling_thread.h"

namespace koru {

namespace {

Mode2Recording LoadData(const char* name) {
  Mode2Recording recording;
  std::string error;
  if (ReadMode2File(std::string(KORU_SOURCE_DIR "/data/") + name, &recording, &error) != kOk)
    std::fprintf(stderr, "%s\n", error.c_str());
  return recording;
}

// (a) Key presses of three recordings, one after another with 200 ms gaps.
void BM_DecodeThroughput(benchmark::State& state) {
  const Mode2Recording keys[] = {LoadData("nec_leadtek_key1.mode2"),
                                 LoadData("rc5_streamzap_key1_held.mode2"),
                                 LoadData("rc5_streamzap_key5_held.mode2")};
  Mode2Recording big;
  for (int64_t i = 0; i < state.range(0); ++i) {
    AppendMode2(&big, false, 200000);
    AppendMode2(&big, keys[i % 3]);
  }
  uint64_t recorded_us = 0;
  for (const Mode2Entry& e : big) recorded_us += e.microseconds;
  FILE* devnull = std::fopen("/dev/null", "w");
  SetTraceStream(devnull);
  int64_t reports = 0;
  for (auto _ : state) {
    reports = 0;
    ReplayThroughReceiver(big, [&](bigtime_t, const ReceiverReport&) { ++reports; });
  }
  SetTraceStream(nullptr);
  std::fclose(devnull);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(big.size()));
  state.counters["reports"] = static_cast<double>(reports);
  state.counters["recorded_s_per_s"] = benchmark::Counter(
      static_cast<double>(recorded_us) / 1e6 * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
}
// The work runs on the replay's thread: rates are per wall-clock second.
BENCHMARK(BM_DecodeThroughput)->Arg(1000)->UseRealTime()->Unit(benchmark::kMillisecond);

// (b) -------------------------------------------------------------------------------------
struct Measure {
  DrivenLine* line = nullptr;
  bool fine_slack = false;
  std::atomic<bool> stop{false};
  std::vector<bigtime_t> detections;  // system_time() at each detected change
};

int32_t MeasureChanges(void* data) {
  auto* m = static_cast<Measure*>(data);
  if (m->fine_slack) SetThreadTimerSlack(1);
  // Each wait goes on from the change before, as the receiver thread's do.
  bigtime_t t0 = system_time();
  while (!m->stop.load()) {
    LevelChange change;
    if (m->line->WaitForChange(t0, kNoDeadline, &change) != kOk) break;
    m->detections.push_back(change.time);
    t0 = change.time;
  }
  return 0;
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1))];
}

void BM_PeriodError(benchmark::State& state) {
  const auto wait = state.range(0) == 0 ? DrivenLine::Wait::kPolling : DrivenLine::Wait::kEvent;
  const bool fine_slack = state.range(1) != 0;
  std::mt19937 random(42);
  std::uniform_int_distribution<int> duration(560, 2000);
  std::vector<double> latency_errors;
  std::vector<double> period_errors;
  int64_t missed = 0;
  for (auto _ : state) {
    DrivenLine line(wait);
    Measure m;
    m.line = &line;
    m.fine_slack = fine_slack;
    m.detections.reserve(4096);
    const thread_id thread = spawn_thread(MeasureChanges, "measure", kNormalPriority, &m);
    resume_thread(thread);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    // The driver sets the level at random intervals and notes the true change times.
    std::vector<bigtime_t> changes;
    bool level = false;
    bigtime_t next = system_time();
    for (int i = 0; i < 2000; ++i) {
      next += duration(random);
      // The driver's own lateness does not matter: the true change time is noted at the change.
      const bigtime_t left = next - system_time();
      if (left > 0) std::this_thread::sleep_for(std::chrono::microseconds(left));
      level = !level;
      // Taken before the change: the woken receiver may run before the driver goes on.
      changes.push_back(system_time());
      line.SetLevel(level);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    m.stop.store(true);
    line.SetLevel(!level);
    kill_thread(thread);
    wait_for_thread(thread, nullptr);
    SetThreadTimerSlack(0);
    // Each detection belongs to the latest true change at or before it.
    bigtime_t previous_latency = -1;
    size_t c = 0;
    for (bigtime_t detected : m.detections) {
      while (c + 1 < changes.size() && changes[c + 1] <= detected) ++c;
      if (c >= changes.size() || changes[c] > detected) continue;
      const bigtime_t latency = detected - changes[c];
      latency_errors.push_back(static_cast<double>(latency));
      if (previous_latency >= 0)
        period_errors.push_back(static_cast<double>(std::abs(latency - previous_latency)));
      previous_latency = latency;
    }
    missed += static_cast<int64_t>(changes.size()) - static_cast<int64_t>(m.detections.size());
  }
  state.counters["latency_p50_us"] = Percentile(latency_errors, 0.5);
  state.counters["latency_p99_us"] = Percentile(latency_errors, 0.99);
  state.counters["period_err_p50_us"] = Percentile(period_errors, 0.5);
  state.counters["period_err_p99_us"] = Percentile(period_errors, 0.99);
  state.counters["missed_changes"] = static_cast<double>(missed);
}
BENCHMARK(BM_PeriodError)
    ->ArgNames({"event", "slack1ns"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// (c) -------------------------------------------------------------------------------------
// line 0: polled (reads 1 ms apart once idle), 1: event-driven (a kernel receiver, a serial
// port with modem-status interrupts), 2: a recording played in real time that has ended.
void BM_IdleCpu(benchmark::State& state) {
  double cpu_per_s = 0;
  for (auto _ : state) {
    class Sink : public ReceiverReportSink {
     public:
      void Report(const ReceiverReport&) override {}
      void PortMissing() override {}
      void AlreadyScanning() override {}
    } sink;
    ReceiverFlags flags;
    std::unique_ptr<ReceiverLine> line;
    if (state.range(0) == 2) {
      line = std::make_unique<ReplayLine>(Mode2Recording{});
    } else {
      line = std::make_unique<DrivenLine>(state.range(0) == 0 ? DrivenLine::Wait::kPolling
                                                              : DrivenLine::Wait::kEvent);
    }
    ReceiverPort port(std::move(line), "idle");
    ReceiverThreadStart start{&flags, &port, &sink};
    const thread_id thread = spawn_thread(ReceiverThreadMain, "snif_thread", 10, &start);
    resume_thread(thread);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::clock_t before = std::clock();
    const auto wall_before = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const std::clock_t after = std::clock();
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_before).count();
    kill_thread(thread);
    wait_for_thread(thread, nullptr);
    SetAppMessenger(Messenger());
    cpu_per_s = static_cast<double>(after - before) / CLOCKS_PER_SEC / wall;
  }
  state.counters["cpu_ms_per_s"] = cpu_per_s * 1000.0;
}
BENCHMARK(BM_IdleCpu)
    ->ArgName("line")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace koru

using namespace koru;

BENCHMARK_MAIN();
