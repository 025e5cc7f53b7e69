#include "platform/lines/lirc_samples.h"

#include "platform/lines/lirc_wait.h"
#include "platform/messaging/trace.h"

namespace koru {

namespace {

// A fresh sample whose summed time lags the clock by more than this has lost its time base
// (the kernel caps a long space); it is timed at its reading.
constexpr bigtime_t kResyncLag = 1000000;

}  // namespace

status_t LircSampleReader::WaitForChange(LircSource& source, bigtime_t since, bigtime_t deadline,
                                         LevelChange* change) {
  if (pending_) {
    if (pending_change_.time > deadline) return kTimedOut;
    pending_ = false;
    if (pending_change_.time > since) {
      *change = pending_change_;
      return kOk;
    }
  }
  bool fresh = false;  // the queue was empty: the next sample ends about now
  for (;;) {
    uint32_t sample = 0;
    const status_t got = source.Read(&sample);
    if (got == kInterrupted) continue;
    if (got == kResourceUnavailable) {
      const status_t waited = AwaitLircRecord(source, deadline);
      if (waited == kTimedOut || waited == kNoDevice) return waited;
      if (waited == kOk) fresh = true;
      continue;
    }
    if (got != kOk) return kNoDevice;

    const uint32_t kind = sample & kLircKindMask;
    const bigtime_t now = system_time();
    if (kind == kLircOverflow) {
      Trace("** lirc overflow: burst dropped **\n");
      last_change_ = -1;
      change->time = now;
      change->pulse = pulse_;
      return kEdgesLost;
    }
    if (kind != kLircPulse && kind != kLircSpace) continue;  // timeouts, carrier reports
    bigtime_t time = now;
    if (last_change_ >= 0) {
      time = last_change_ + (sample & kLircValueMask);
      if (time > now || (fresh && now - time > kResyncLag)) time = now;
    }
    last_change_ = time;
    pulse_ = kind == kLircSpace;  // a space ended: a pulse has begun, and vice versa
    fresh = false;
    if (time <= since) continue;  // it came while no thread listened
    const LevelChange read{time, pulse_};
    if (time > deadline) {
      pending_ = true;
      pending_change_ = read;
      return kTimedOut;
    }
    *change = read;
    return kOk;
  }
}

}  // namespace koru
