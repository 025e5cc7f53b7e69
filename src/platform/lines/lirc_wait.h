#pragma once
// The step both readers of a lirc device take when nothing is queued: wait for more until the
// deadline, with suspension and kill taking effect on the way.
#include "platform/lines/receiver_line.h"
#include "platform/messaging/status.h"
#include "platform/messaging/threads.h"

namespace koru {

// kOk when something came, kInterrupted after a suspension (read again), kTimedOut, or
// kNoDevice for a device that went away. `Source` has `status_t Wait(bigtime_t deadline)`.
template <class Source>
status_t AwaitLircRecord(Source& source, bigtime_t deadline) {
  if (system_time() >= deadline) return kTimedOut;
  const status_t waited = source.Wait(deadline);
  if (waited == kTimedOut) return kTimedOut;
  if (waited == kInterrupted) {
    thread_checkpoint();  // suspends here, or ends the thread on a kill
    return kInterrupted;
  }
  return waited == kOk ? kOk : kNoDevice;
}

}  // namespace koru
