#pragma once
// One open receiver line: the serial line settings the receiver needs, the DCD level, and a
// wait for the next level change. Backends: serial ports (termios), kernel receivers
// (/dev/lircN), recordings played in real time or on a virtual clock, and a line driven by
// another thread for tests.
#include <cstdint>

#include "platform/clock.h"
#include "platform/status.h"

// Parity modes and the flow control flag of the line settings.
constexpr int32_t kNoParity = 0;
constexpr int32_t kEvenParity = 1;
constexpr int32_t kOddParity = 2;
constexpr uint32_t kHardwareFlowControl = 1;

// Open failures of receiver devices that have no general status of their own.
constexpr status_t kResourceUnavailable = -101;  // e.g. EAGAIN from the driver
constexpr status_t kDevResourceConflict = -102;
constexpr status_t kModemBusy = -103;

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

  // Waits until the line leaves the level it has when called and gives the period that ended:
  // from `since` (the caller's system_time() when its cycle began) to the change, or the
  // kernel's own duration on lines that deliver durations. Called by one thread at a time; the
  // wait is a wait point of that thread (suspend_thread and kill_thread take effect in it).
  // kOk; kNoDevice when the device has gone; kTimedOut when no change will ever come (the end
  // of a recording on a virtual clock).
  virtual status_t WaitForChange(bigtime_t since, bigtime_t* period) = 0;
};
