#include "platform/lines/lirc_scancodes.h"

#include "platform/lines/lirc_wait.h"
#include "platform/messaging/trace.h"

namespace koru {

status_t LircScancodeReader::WaitForScancode(LircScancodeSource& source, bigtime_t since,
                                             bigtime_t deadline, KernelScancode* scancode) {
  for (;;) {
    LircScancodeRecord record;
    const status_t got = source.ReadRecord(&record);
    if (got == kInterrupted) continue;
    if (got == kResourceUnavailable) {
      const status_t waited = AwaitLircRecord(source, deadline);
      if (waited == kTimedOut || waited == kNoDevice) return waited;
      continue;
    }
    if (got == kEdgesLost) {
      Trace("** lirc scancode record cut short **\n");
      return kEdgesLost;
    }
    if (got != kOk) return kNoDevice;
    // The kernel's clock is the monotonic one the threads run on; a thread on a clock of its
    // own (a test's) never sees a record from the future.
    const bigtime_t now = system_time();
    bigtime_t time = static_cast<bigtime_t>(record.timestamp_ns / 1000);
    if (time > now) time = now;
    if (time <= since) continue;  // it came while no thread listened
    scancode->time = time;
    scancode->protocol = record.rc_proto;
    scancode->scancode = record.scancode;
    scancode->repeat = (record.flags & kLircScancodeRepeat) != 0;
    scancode->toggle = (record.flags & kLircScancodeToggle) != 0;
    return kOk;
  }
}

}  // namespace koru
