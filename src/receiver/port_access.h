#pragma once
// Opening and closing the receiver port. Runs on the thread that owns the port (the receiver
// view's); the receiver thread must have ended before its port is closed.
#include "platform/lines/receiver_port.h"
#include "receiver/receiver_flags.h"

namespace koru {

// A configured, open port for the device called `name` (nullptr: the highest-numbered device
// that opens), or nullptr. A busy port posts 'irRB' to the application and clears
// `scanning` and `receiving` of `flags` (when given). The caller owns the result and gives
// it to close_multi.
ReceiverPort* open_multi(const char* name, ReceiverFlags* flags);
// Closes and destroys the port; nothing for nullptr. Returns 0.
int32_t close_multi(ReceiverPort* port);

}  // namespace koru
