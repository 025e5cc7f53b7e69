#pragma once
// Runs the real receiver thread over a recording on a virtual clock: the thread starts at time
// 0, the recording's first entry starts at 100000 us, a self-suspension after a report is
// resumed at the next multiple of 250000 us (the receiver view's pulse), and the run ends when
// the thread waits for a change that never comes. Every report of the thread is handed to
// `on_report` with its virtual time, on the replay's thread.
// The replay stands for a fresh receiver thread, with flags and a sink of its own: replays may
// run side by side, and nothing of the application is touched.
#include <functional>
#include <memory>

#include "platform/lines/mode2_source.h"
#include "platform/messaging/clock.h"
#include "receiver/receiver_report.h"

namespace koru {

constexpr bigtime_t kReplayLeadIn = 100000;
constexpr bigtime_t kReplayPulse = 250000;

using ReplayListener = std::function<void(bigtime_t time, const ReceiverReport& report)>;

// The thread's exit status, or a negative status when it could not be run.
// `evaluation` chooses the thread's bookkeeping (see sampling_thread.h).
enum class Evaluation { kBurst, kClassic };
int32_t ReplayThroughReceiver(const Mode2Recording& recording, const ReplayListener& on_report,
                              Evaluation evaluation = Evaluation::kBurst);
// The same for a recording read as it plays (a file of any length).
int32_t ReplayThroughReceiver(std::unique_ptr<Mode2Source> source, const ReplayListener& on_report,
                              Evaluation evaluation = Evaluation::kBurst);

}  // namespace koru
