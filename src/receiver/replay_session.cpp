#include "receiver/replay_session.h"

#include <memory>

#include "platform/lines/receiver_port.h"
#include "platform/lines/scripted_line.h"
#include "platform/messaging/four_cc.h"
#include "platform/messaging/messenger.h"
#include "platform/messaging/test_loopers.h"
#include "platform/messaging/threads.h"
#include "receiver/receiver_flags.h"
#include "receiver/sampling_thread.h"

namespace {

class Listener : public Handler {
 public:
  Listener(Looper* looper, const ReplayListener& on_message)
      : Handler(looper), on_message_(on_message) {}
  void MessageReceived(Message* message) override { on_message_(system_time(), *message); }

 private:
  const ReplayListener& on_message_;
};

struct Session {
  VirtualClock clock{0};
  std::unique_ptr<ReceiverPort> port;
  ReceiverFlags flags;  // a fresh receiver thread's: not scanning
  Message start{FourCC("snif")};
};

int32_t RunOnVirtualClock(void* data) {
  auto* session = static_cast<Session*>(data);
  SetThreadClock(&session->clock);
  session->clock.SetOnSuspend([](VirtualClock& clock) {
    clock.AdvanceTo((clock.Now() / kReplayPulse + 1) * kReplayPulse);
  });
  const int32_t status = STH_scan_IR_pulse(&session->start);
  SetThreadClock(nullptr);
  return status;
}

}  // namespace

int32_t ReplayThroughReceiver(const Mode2Recording& recording, const ReplayListener& on_message,
                              Evaluation evaluation) {
  return ReplayThroughReceiver(std::make_unique<Mode2MemorySource>(recording), on_message,
                               evaluation);
}

int32_t ReplayThroughReceiver(std::unique_ptr<Mode2Source> source, const ReplayListener& on_message,
                              Evaluation evaluation) {
  Session session;
  session.port = std::make_unique<ReceiverPort>(
      std::make_unique<ScriptedLine>(std::move(source), session.clock, kReplayLeadIn), "replay");
  session.start.AddPointer(kReceiverFlagsField, &session.flags);
  session.start.AddPointer("_serPtr", session.port.get());
  session.start.AddBool(kClassicTimingField, evaluation == Evaluation::kClassic);

  // Delivered at once on the receiver thread, so the listener sees the virtual send time.
  ImmediateLooper looper;
  Listener listener(&looper, on_message);
  const Messenger previous = AppMessenger();
  SetAppMessenger(listener.GetMessenger());

  int32_t exit_status = kError;
  const thread_id thread =
      spawn_thread(RunOnVirtualClock, "snif_thread", kNormalPriority, &session);
  if (thread < 0) {
    SetAppMessenger(previous);
    return thread;
  }
  resume_thread(thread);
  wait_for_thread(thread, &exit_status);
  SetAppMessenger(previous);
  return exit_status;
}
