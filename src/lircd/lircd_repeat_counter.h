#pragma once
// The repeat count of a broadcast: a held key is reported again and again by the receiver (one
// report per receiver cycle: the main window's pulse resumes it, the next frame is decoded);
// each report of the same key of the same remote within kWindow of the previous one counts one
// more repeat. Another key or a pause longer than the window starts again at 0.
#include <cstdint>
#include <string>

#include "platform/messaging/clock.h"

namespace koru {

class LircdRepeatCounter {
 public:
  // The longest receiver cycle of a held key (250 ms pulse, a 114 ms frame) with room for a
  // busy GUI thread, but shorter than a deliberate second press.
  static constexpr bigtime_t kWindow = 500000;

  // The repeat count of this report of `remote`'s key `keyfn` at `when` (microseconds).
  int Count(const std::string& remote, int32_t keyfn, bigtime_t when);

 private:
  std::string remote_;
  int32_t key_ = 0;
  bigtime_t last_ = 0;
  int count_ = -1;
};

}  // namespace koru
