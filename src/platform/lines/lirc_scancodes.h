#pragma once
// Reading a kernel receiver in scancode mode: each record is one press (or one repeat of a held
// key) the kernel decoded. Records are never thrown away but those the kernel decoded before
// the caller's `since` (while no thread listened); a held key's repeats come as records of
// their own, so a thread that was away finds the key again in the next one.
#include <cstdint>

#include "platform/lines/kernel_scancode.h"
#include "platform/lines/receiver_line.h"
#include "platform/messaging/status.h"

namespace koru {

// The record flags of the kernel's scancode mode (its ABI).
constexpr uint16_t kLircScancodeToggle = 1;
constexpr uint16_t kLircScancodeRepeat = 2;

// One record as the kernel writes it (struct lirc_scancode).
struct LircScancodeRecord {
  uint64_t timestamp_ns = 0;  // CLOCK_MONOTONIC
  uint16_t flags = 0;
  uint16_t rc_proto = 0;
  uint32_t keycode = 0;
  uint64_t scancode = 0;
};

// The system calls of an open /dev/lircN in scancode mode (the seam tests replace).
class LircScancodeSource {
 public:
  virtual ~LircScancodeSource() = default;
  // kOk and one record; kResourceUnavailable when none is queued; kInterrupted (EINTR);
  // kEdgesLost for a record read short; any other status: the device has gone.
  virtual status_t ReadRecord(LircScancodeRecord* record) = 0;
  // As LircSource::Wait.
  virtual status_t Wait(bigtime_t deadline) = 0;
};

class LircScancodeReader {
 public:
  // The next press decoded after `since`: kOk; kTimedOut at `deadline`; kEdgesLost when a
  // record was lost; kNoDevice when the device has gone.
  status_t WaitForScancode(LircScancodeSource& source, bigtime_t since, bigtime_t deadline,
                           KernelScancode* scancode);
};

}  // namespace koru
