#include "receiver/replay_session.h"

#include <memory>

#include "platform/lines/receiver_port.h"
#include "platform/lines/scripted_line.h"
#include "platform/messaging/threads.h"
#include "receiver/receiver_flags.h"
#include "receiver/receiver_report_sink.h"
#include "receiver/sampling_thread.h"

namespace koru {

namespace {

// Runs on the replay's thread, so the listener sees the virtual time of each report. A
// recording always has its port: the port events cannot come.
class ListenerSink : public ReceiverReportSink {
 public:
  explicit ListenerSink(const ReplayListener& on_report) : on_report_(on_report) {}
  void Report(const ReceiverReport& report) override { on_report_(system_time(), report); }
  void PortMissing() override {}
  void AlreadyScanning() override {}

 private:
  const ReplayListener& on_report_;
};

struct Replay {
  explicit Replay(const ReplayListener& on_report) : sink(on_report) {}
  VirtualClock clock{0};
  std::unique_ptr<ReceiverPort> port;
  ReceiverFlags flags;  // a fresh receiver thread's: not scanning
  ListenerSink sink;
  ReceiverThreadStart start;
};

int32_t RunOnVirtualClock(void* data) {
  auto* replay = static_cast<Replay*>(data);
  SetThreadClock(&replay->clock);
  replay->clock.SetOnSuspend([](VirtualClock& clock) {
    clock.AdvanceTo((clock.Now() / kReplayPulse + 1) * kReplayPulse);
  });
  const int32_t status = ReceiverThreadMain(&replay->start);
  SetThreadClock(nullptr);
  return status;
}

}  // namespace

int32_t ReplayThroughReceiver(const Mode2Recording& recording, const ReplayListener& on_report,
                              Evaluation evaluation) {
  return ReplayThroughReceiver(std::make_unique<Mode2MemorySource>(recording), on_report,
                               evaluation);
}

int32_t ReplayThroughReceiver(std::unique_ptr<Mode2Source> source, const ReplayListener& on_report,
                              Evaluation evaluation) {
  Replay replay(on_report);
  replay.port = std::make_unique<ReceiverPort>(
      std::make_unique<ScriptedLine>(std::move(source), replay.clock, kReplayLeadIn), "replay");
  replay.start = {&replay.flags, replay.port.get(), &replay.sink,
                  evaluation == Evaluation::kClassic};

  int32_t exit_status = kError;
  const thread_id thread = spawn_thread(RunOnVirtualClock, "snif_thread", kNormalPriority, &replay);
  if (thread < 0) return thread;
  resume_thread(thread);
  wait_for_thread(thread, &exit_status);
  return exit_status;
}

}  // namespace koru
