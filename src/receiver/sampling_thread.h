#pragma once
// The receiver thread: times the level periods of the receiver port, decides when a burst is
// complete, decodes it and hands a typed ReceiverReport to the sink it was started with.
//
// Driving it (the receiver session does this):
//   ReceiverThreadStart start{&flags, port, &sink};  // keep it alive while the thread runs
//   start.classic_timing = true;                     // optional: the classic evaluation
//   thread_id t = spawn_thread(ReceiverThreadMain, "snif_thread", priority, &start);
//   resume_thread(t);
// After each decoded report the thread suspends itself (the scanning flag drops to 0); resume it
// with resume_thread. suspend_thread(t) from outside takes effect in the line wait. To stop
// it or change the port: kill_thread(t), then wait_for_thread(t) BEFORE close_multi(port) --
// the thread reads the port until it has ended.
// The thread takes each period from the times the line gives for its changes, so a thread that
// wakes late measures the same periods; only a period that begins at a resume is measured from
// the resume.
// Exit statuses: 0 (no start, flags or sink, or a recording on a virtual clock played to its
// end), kAlreadyScanning (a receiver thread was already scanning: AlreadyScanning), kPortMissing
// (no port, or the port went away: PortMissing), kInterrupted when killed. Leaving the sampling
// loop in any way clears the scanning flag, so a thread started after a kill is not turned away.
#include <cstdint>

#include "platform/lines/receiver_port.h"
#include "receiver/receiver_flags.h"
#include "receiver/receiver_report_sink.h"

namespace koru {

// What a receiver thread is started with; all of it outlives the thread.
struct ReceiverThreadStart {
  ReceiverFlags* flags = nullptr;
  ReceiverPort* port = nullptr;  // from open_multi, or nullptr
  ReceiverReportSink* sink = nullptr;
  bool classic_timing = false;  // the classic evaluation (BurstEvaluation otherwise)
};

constexpr int32_t kAlreadyScanning = 190;
constexpr int32_t kPortMissing = 200;

int32_t ReceiverThreadMain(void* data);

// `scanning` := 0 (with flags); all 256 entries := 0; with a port, its input and output
// queues cleared.
void ClearDataField(int32_t* table, ReceiverPort* port, ReceiverFlags* flags);

}  // namespace koru
