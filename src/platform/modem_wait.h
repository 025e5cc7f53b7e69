#pragma once
// Waiting for the DCD line of a tty to change. With modem-status interrupts (TIOCMIWAIT) a wait
// can miss an edge that falls between two waits, and it also wakes for other modem lines; so
// after each wake-up the DCD edge counter (TIOCGICOUNT) and the level are read again, and a
// change of either is a change. A driver that refuses the interrupt wait is polled from then on.
#include <cstdint>

#include "platform/clock.h"
#include "platform/status.h"

// The modem-status calls of one open tty.
class ModemLine {
 public:
  virtual ~ModemLine() = default;
  virtual status_t ReadDcd(bool* level) = 0;
  virtual status_t DcdEdgeCount(uint64_t* count) = 0;
  // Blocks until a modem line changes: kOk; kInterrupted when woken for suspend or kill;
  // kUnsupported when the driver cannot wait; any other status ends the wait.
  virtual status_t WaitForModemChange() = 0;
};

// `*interrupts` says whether to use WaitForModemChange; it is cleared when the driver refuses.
status_t WaitForDcdChange(ModemLine& line, bool* interrupts, bigtime_t since, bigtime_t* period);
