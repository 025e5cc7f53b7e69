#pragma once
// Where a receiver thread reports. Called on the receiver thread: an implementation hands the
// report on (to a looper, to a recording) and never blocks for long.
#include "receiver/receiver_report.h"

namespace koru {

class ReceiverReportSink {
 public:
  virtual ~ReceiverReportSink() = default;
  // A report: the first, codeless one when the thread starts listening, then one per burst.
  virtual void Report(const ReceiverReport& report) = 0;
  // The thread has no port, or its port went away.
  virtual void PortMissing() = 0;
  // The thread was started while another one scans with the same flags: it ended at once.
  virtual void AlreadyScanning() = 0;
};

}  // namespace koru
