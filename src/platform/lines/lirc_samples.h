#pragma once
// Reading a kernel receiver's mode2 samples as level changes with their times. The kernel
// measures each pulse and space; the reader turns the durations into times on the thread's
// clock (the last change plus the duration), so a thread that reads late gets the same
// periods. Samples are never thrown away: only those that ended before the caller's `since`
// (while no thread listened) are passed over. An overflow sample (the kernel's queue was full)
// is traced and reported as lost edges.
#include <cstdint>

#include "platform/lines/receiver_line.h"
#include "platform/messaging/clock.h"
#include "platform/messaging/status.h"

namespace koru {

// The sample words of the kernel's mode2 (its ABI).
constexpr uint32_t kLircKindMask = 0xFF000000;
constexpr uint32_t kLircValueMask = 0x00FFFFFF;
constexpr uint32_t kLircSpace = 0x00000000;
constexpr uint32_t kLircPulse = 0x01000000;
constexpr uint32_t kLircFrequency = 0x02000000;
constexpr uint32_t kLircTimeout = 0x03000000;
constexpr uint32_t kLircOverflow = 0x04000000;

// The system calls of an open /dev/lircN (the seam tests replace).
class LircSource {
 public:
  virtual ~LircSource() = default;
  // kOk and one sample; kResourceUnavailable when none is queued; kInterrupted (EINTR); any
  // other status: the device has gone.
  virtual status_t Read(uint32_t* sample) = 0;
  // Until a sample can be read: kOk; kTimedOut at `deadline`; kInterrupted when woken for
  // suspend or kill (or EINTR); any other status: the device has gone.
  virtual status_t Wait(bigtime_t deadline) = 0;
};

class LircSampleReader {
 public:
  // See ReceiverLine::WaitForChange.
  status_t WaitForChange(LircSource& source, bigtime_t since, bigtime_t deadline,
                         LevelChange* change);
  bool Pulse() const { return pulse_; }

 private:
  bigtime_t last_change_ = -1;  // -1: no time base yet
  bool pulse_ = false;
  bool pending_ = false;  // a change read after a deadline, handed out next
  LevelChange pending_change_;
};

}  // namespace koru
