#pragma once
// One open receiver line: the serial line settings the receiver needs, the DCD level, and a
// wait for the next level change. Backends: serial ports (termios), kernel receivers
// (/dev/lircN), recordings played in real time or on a virtual clock, and a line driven by
// another thread for tests.
#include <cstdint>
#include <limits>

#include "platform/lines/kernel_scancode.h"
#include "platform/messaging/clock.h"
#include "platform/messaging/status.h"

namespace koru {

// Parity modes and the flow control flag of the line settings.
constexpr int32_t kNoParity = 0;
constexpr int32_t kEvenParity = 1;
constexpr int32_t kOddParity = 2;
constexpr uint32_t kHardwareFlowControl = 1;

// Open failures of receiver devices that have no general status of their own.
constexpr status_t kResourceUnavailable = -101;  // e.g. EAGAIN from the driver
constexpr status_t kDevResourceConflict = -102;
constexpr status_t kModemBusy = -103;

constexpr status_t kEdgesLost = -104;
constexpr status_t kLineEnded = -105;

constexpr bigtime_t kNoDeadline = std::numeric_limits<bigtime_t>::max();

struct LevelChange {
  bigtime_t time = 0;
  bool pulse = false;  // the level after the change: a pulse began (a space ended)
};

class ReceiverLine {
 public:
  virtual ~ReceiverLine() = default;

  // Serial settings; lines without a UART accept and ignore them.
  virtual status_t SetFlowControl(uint32_t) { return kOk; }
  virtual status_t SetDataRate(int32_t) { return kOk; }
  virtual status_t SetDataBits(int32_t) { return kOk; }
  virtual status_t SetParityMode(int32_t) { return kOk; }
  virtual status_t SetStopBits(int32_t) { return kOk; }
  virtual status_t SetDTR(bool) { return kOk; }
  virtual status_t SetRTS(bool) { return kOk; }
  virtual status_t SetBlocking(bool) { return kOk; }
  virtual status_t SetTimeout(bigtime_t) { return kOk; }
  virtual status_t ClearInput() { return kOk; }
  virtual status_t ClearOutput() { return kOk; }

  virtual bool IsDCD() = 0;

  // Waits for the first level change after `since` and gives the time it happened (on the
  // waiting thread's clock) and the level it led to. Lines take the time from where it is
  // known best (the recording, the kernel's durations, the moment of the wake-up), so a thread
  // that comes back late still gets each change with its own time. Called by one thread at a
  // time; the wait is a wait point of that thread (suspend_thread and kill_thread take effect
  // in it).
  //   kOk          the change
  //   kTimedOut    no change up to `deadline` (kNoDeadline: wait for ever)
  //   kEdgesLost   changes were lost (a kernel overflow, an odd number of missed edges): the
  //                burst in progress is damaged; `change` holds the last change seen
  //   kLineEnded   no change will ever come (a recording on a virtual clock has ended)
  //   kNoDevice    the device has gone
  virtual status_t WaitForChange(bigtime_t since, bigtime_t deadline, LevelChange* change) = 0;

  // A line whose device decodes the presses itself (a kernel receiver in scancode mode) gives
  // scancodes instead of level changes; WaitForScancode then answers as WaitForChange does.
  virtual bool GivesScancodes() const { return false; }
  virtual status_t WaitForScancode(bigtime_t since, bigtime_t deadline, KernelScancode* scancode) {
    (void)since;
    (void)deadline;
    (void)scancode;
    return kUnsupported;
  }
};

}  // namespace koru
