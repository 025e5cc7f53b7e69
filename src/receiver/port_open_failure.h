#pragma once
// A receiver port that does not open, in words a user can act on: the port, its device, the
// reason and what to do about it. open_multi keeps the failures since the last port that
// opened, so that the "no port" report can say why.
#include <string>

#include "platform/messaging/status.h"

namespace koru {

// `name` is the port ("serial1"), `node` its device ("/dev/ttyS0", may be empty), `status` why
// it did not open and `group` the group that owns the device (may be empty).
struct OpenFailure {
  std::string name;
  std::string reason;    // "Cannot open the receiver port serial1 (/dev/ttyS0): busy."
  std::string advice;    // what to do about it
  bool missing = false;  // no device has that name: nothing a user did wrong
  std::string Text() const { return reason + " " + advice; }
};
OpenFailure ExplainOpenFailure(const std::string& name, const std::string& node, status_t status,
                               const std::string& group);

// Collected by open_multi: the latest failure of each port, in order.
void RecordOpenFailure(const OpenFailure& failure);
void ForgetOpenFailures();
// The recorded reasons, one per line, then each piece of advice once; empty when none.
// `with_missing` false leaves out the ports that have no device.
std::string RecentOpenFailures(bool with_missing = true);
// What the user is told once when no receiver opened: what was wrong with the ports that are
// there, what KORU can use, and how to see it at work without a receiver.
std::string NoReceiverText();

}  // namespace koru
