#include "receiver/sampling_thread.h"

#include <cstring>
#include <limits>
#include <memory>
#include <optional>

#include "platform/messaging/threads.h"
#include "platform/messaging/trace.h"
#include "receiver/burst_evaluation.h"
#include "receiver/classic_evaluation.h"
#include "receiver/duration_table.h"
#include "receiver/receiver_flags.h"
#include "receiver/scancode_evaluation.h"

namespace koru {

namespace {

constexpr bigtime_t kReportPause = 10000;
// The receiver view resumes the thread at its next pulse, at most this long after the pause
// that follows a report. A thread that runs later than that (a busy machine: it may also be
// behind with the changes of the line) still listens from then on, so a press that came
// meanwhile is reported late rather than lost.
constexpr bigtime_t kResumeDue = 250000;
// At most this much of what came before a resume is taken: when receiving was switched off,
// older presses are not for the receiver.
constexpr bigtime_t kMostBehind = 10000000;

// Keeping only the lower 32 bits would turn a long idle time into a negative period; a long
// period stays the longest one the table can hold.
int32_t TablePeriod(bigtime_t period) {
  if (period < 0) return 0;
  if (period > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(period);
}

// What led to a report is kept on the trace even if the process dies after it.
void Send(ReceiverReportSink& sink, const ReceiverReport& report) {
  FlushTrace();
  sink.Report(report);
}

// A thread that leaves its sampling loop (killed, or its port gone) no longer scans: the flag
// must not keep the next receiver thread from starting.
struct LeavingLoopClearsFlag {
  ReceiverFlags& flags;
  ~LeavingLoopClearsFlag() {
    flags.scanning.store(0);
    flags.resume_wanted.store(false);
  }
};

// After a decoded report: the pause, then the thread waits until the view resumes it. Gives
// the time from which the thread listens again. `reported` is the line's time of the report.
bigtime_t ReportAndSuspend(ReceiverFlags& flags, ReceiverReportSink& sink,
                           const ReceiverReport& report, bigtime_t reported) {
  flags.slow_down.store(false);
  // Before the report: the view plans its pulse when the report arrives.
  flags.resume_wanted.store(true);
  Send(sink, report);
  snooze(kReportPause);
  flags.scanning.store(0);
  suspend_thread(find_thread(nullptr));
  flags.resume_wanted.store(false);
  const bigtime_t resumed = system_time();
  const bigtime_t due = reported + kReportPause + kResumeDue;
  if (resumed <= due) return resumed;
  const bigtime_t from = resumed - due > kMostBehind ? resumed - kMostBehind : due;
  Trace(" resumed %ld ms late, listening from %ld ms before\n",
        static_cast<long>((resumed - due) / 1000), static_cast<long>((resumed - from) / 1000));
  return from;
}

// Ends the thread when the device has gone: a port without device is reported.
int32_t PortGone(ReceiverFlags& flags, ReceiverReportSink& sink, status_t status) {
  Trace("** snif_thread: %s **\n", StatusText(status).c_str());
  flags.scanning.store(0);
  FlushTrace();
  sink.PortMissing();
  return kPortMissing;
}

int32_t RunClassic(ReceiverFlags& flags, ReceiverPort* port, ReceiverReportSink& sink,
                   ClassicEvaluation& classic) {
  bigtime_t t0 = system_time();
  for (;;) {
    flags.scanning.store(1);
    LevelChange change;
    const status_t status = port->WaitForChange(t0, kNoDeadline, &change);
    if (status == kLineEnded) return 0;
    if (status == kEdgesLost) {
      classic.DropBurst();
      t0 = change.time;
      continue;
    }
    if (status != kOk) return PortGone(flags, sink, status);
    const int32_t period = TablePeriod(change.time - t0);
    t0 = change.time;
    switch (classic.Add(period)) {
      case ClassicEvaluation::Outcome::kCollecting:
        break;
      case ClassicEvaluation::Outcome::kNoCode:
        Send(sink, MakeReceiverReport(classic.Code(), 0, 0, flags.slow_down.load()));
        break;
      case ClassicEvaluation::Outcome::kDecoded:
        // The next period counts from the resume.
        t0 = ReportAndSuspend(
            flags, sink,
            MakeReceiverReport(classic.Code(), classic.Family(), classic.ValidBits(), false),
            change.time);
        break;
    }
    classic.FinishCycle();
  }
}

int32_t RunBursts(ReceiverFlags& flags, ReceiverPort* port, ReceiverReportSink& sink,
                  BurstEvaluation& burst) {
  using Outcome = BurstEvaluation::Outcome;
  bigtime_t t0 = system_time();
  // Returns true when the thread suspended (the next period counts from the resume).
  const auto handle = [&](Outcome outcome, bigtime_t now) {
    if (outcome == Outcome::kNoCode) {
      Send(sink, MakeReceiverReport(burst.Code(), 0, 0, flags.slow_down.load()));
    } else if (outcome == Outcome::kDecoded) {
      t0 = ReportAndSuspend(
          flags, sink,
          MakeReceiverReport(burst.Code(), burst.Family(), burst.ValidBits(), false, burst.Exact()),
          now);
      return true;
    }
    return false;
  };
  for (;;) {
    flags.scanning.store(1);
    const bigtime_t deadline = burst.ReadyToEnd() ? t0 + burst.QuietToEnd() + 1 : kNoDeadline;
    LevelChange change;
    const status_t status = port->WaitForChange(t0, deadline, &change);
    if (status == kLineEnded) return 0;
    if (status == kTimedOut && deadline != kNoDeadline) {
      // The period still counts from t0 when the burst gave nothing.
      handle(burst.EndBurst(deadline), deadline);
      continue;
    }
    if (status == kEdgesLost) {
      burst.DropBurst();
      t0 = change.time;
      continue;
    }
    if (status != kOk) return PortGone(flags, sink, status);
    // A line that sees a change only after the deadline (a late poll) ends the burst first.
    if (change.time > deadline && handle(burst.EndBurst(deadline), deadline)) continue;
    const int32_t period = TablePeriod(change.time - t0);
    t0 = change.time;
    handle(burst.Add(period, change.pulse, change.time), change.time);
  }
}

// A receiver that decodes itself: each press the kernel decoded is one report; a held key's
// repeats are reports of the key again, as a held key's frames are on the periods.
int32_t RunScancodes(ReceiverFlags& flags, ReceiverPort* port, ReceiverReportSink& sink,
                     ScancodeEvaluation& evaluation) {
  bigtime_t since = system_time();
  for (;;) {
    flags.scanning.store(1);
    KernelScancode scancode;
    const status_t status = port->WaitForScancode(since, kNoDeadline, &scancode);
    if (status == kLineEnded) return 0;
    if (status == kEdgesLost || status == kTimedOut) continue;
    if (status != kOk) return PortGone(flags, sink, status);
    Trace(" kernel scancode: protocol %u, 0x%llx%s\n", static_cast<unsigned>(scancode.protocol),
          static_cast<unsigned long long>(scancode.scancode), scancode.repeat ? ", held" : "");
    evaluation.Evaluate(scancode);
    since = ReportAndSuspend(flags, sink,
                             MakeReceiverReport(evaluation.Code(), evaluation.Family(),
                                                evaluation.ValidBits(), false, evaluation.Exact()),
                             scancode.time);
  }
}

}  // namespace

void ClearDataField(int32_t* table, ReceiverPort* port, ReceiverFlags* flags) {
  if (flags != nullptr) flags->scanning.store(0);
  std::memset(table, 0, sizeof(int32_t) * kDurationTableSize);
  if (port != nullptr) {
    port->ClearInput();
    port->ClearOutput();
  }
}

int32_t ReceiverThreadMain(void* data) {
  const auto* start = static_cast<const ReceiverThreadStart*>(data);
  if (start == nullptr || start->flags == nullptr || start->sink == nullptr) {
    Trace("BAD DATA-MESSAGE \n");
    Trace("idat==NULL\n");
    return 0;
  }
  ReceiverFlags& flags = *start->flags;
  ReceiverReportSink& sink = *start->sink;
  if (flags.scanning.load() != 0) {
    FlushTrace();
    sink.AlreadyScanning();
    return kAlreadyScanning;
  }
  ReceiverPort* port = start->port;
  if (port == nullptr) {
    Trace("** STH_scan_M_infrared no device **\n");
    FlushTrace();
    sink.PortMissing();
    return kPortMissing;
  }

  flags.scanning.store(1);
  const LeavingLoopClearsFlag clear_on_exit{flags};
  // Created once: the loop itself never allocates for a period.
  auto classic = std::make_unique<ClassicEvaluation>(port, &flags, true);
  auto burst = std::make_unique<BurstEvaluation>(true);
  std::unique_ptr<ScancodeEvaluation> scancodes;
  if (port->GivesScancodes()) scancodes = std::make_unique<ScancodeEvaluation>();
  classic->Start();
  burst->Start();

  port->SetDTR(true);
  port->SetTimeout(250000);

  // The thread listens: a report without a code.
  Send(sink, MakeReceiverReport("-------- -------- ", 0, 0, false));
  snooze(kReportPause);

  if (scancodes) return RunScancodes(flags, port, sink, *scancodes);
  return start->classic_timing ? RunClassic(flags, port, sink, *classic)
                               : RunBursts(flags, port, sink, *burst);
}

}  // namespace koru
