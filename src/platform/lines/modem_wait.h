#pragma once
// Waiting for the DCD line of a tty to change. The wait uses modem-status interrupts
// (TIOCMIWAIT) where the driver has them, else it polls. Either way, after each wake-up the DCD
// edge counter (TIOCGICOUNT) and the level are read: the counter tells changes that came
// between two looks. One change is a change, timed at the wake-up; more than one means that
// periods were lost, and the burst is reported damaged rather than read with merged periods or
// with pulse and space swapped. A driver without a counter is judged by its level alone.
#include <cstdint>

#include "platform/lines/receiver_line.h"
#include "platform/messaging/clock.h"
#include "platform/messaging/status.h"

namespace koru {

// The modem-status calls of one open tty (the seam tests replace).
class ModemLine {
 public:
  virtual ~ModemLine() = default;
  virtual status_t ReadDcd(bool* level) = 0;
  // kUnsupported when the driver keeps no counter.
  virtual status_t DcdEdgeCount(uint64_t* count) = 0;
  // Blocks until a modem line changes or `deadline` passes: kOk; kTimedOut; kInterrupted when
  // woken for suspend or kill; kUnsupported when the driver cannot wait; any other status ends
  // the wait.
  virtual status_t WaitForModemChange(bigtime_t deadline) = 0;
};

// What a wait leaves for the next one.
struct DcdWaitState {
  bool interrupts = true;  // use WaitForModemChange; cleared when the driver refuses
  bool counter = true;     // the driver counts DCD edges
  uint64_t count = 0;      // the counter and level at the last change
  bool level = false;
  bigtime_t last_change = -1;
};

// See ReceiverLine::WaitForChange. A wait whose `since` is not the last change it gave (the
// thread was away) starts from what the line shows now.
status_t WaitForDcdChange(ModemLine& line, DcdWaitState* state, bigtime_t since, bigtime_t deadline,
                          LevelChange* change);

}  // namespace koru
