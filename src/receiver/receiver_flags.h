#pragma once
// The flags the receiver thread, the receiver view and the key router share. Atomic: they are
// written and read by several threads without a lock. The main window owns one set and hands it
// to its receiver session (which gives it to each receiver thread it starts and to the port
// opening) and to the router; a replay has a set of its own.
#include <atomic>
#include <cstdint>

namespace koru {

struct ReceiverFlags {
  // 1 while the receiver thread is in its sampling loop; 0 after a clear or a self-suspension.
  std::atomic<int32_t> scanning{0};
  // Receiving switched on (the view resumes the thread and draws the lamp only then).
  std::atomic<int32_t> receiving{1};
  // Set by the key router after a short code; cleared by the thread after each decoded report.
  std::atomic<bool> slow_down{false};
  // Set by the receiver thread from a decoded report until it is resumed after it: while it is
  // set, the view's pulse must run (otherwise the pulse may rest).
  std::atomic<bool> resume_wanted{false};
};

}  // namespace koru
