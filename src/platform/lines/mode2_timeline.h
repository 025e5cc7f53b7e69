#pragma once
// The level changes of a recording played from `start`: before it and after its last entry the
// line is at the space level. Times saturate far in the future instead of overflowing. The
// entries are read from the source as the play goes on and changes already passed are
// forgotten, so memory stays the same whatever the recording's length: the times asked of
// NextChange must not go back. Not thread-safe.
#include <cstdint>
#include <deque>
#include <memory>

#include "platform/lines/mode2_source.h"

namespace koru {

class Mode2Timeline {
 public:
  Mode2Timeline(std::unique_ptr<Mode2Source> source, int64_t start);

  // The first change strictly after `time` and the level it sets, or false when none comes.
  bool NextChange(int64_t time, int64_t* change, bool* pulse = nullptr);
  // True while a pulse is on the line at `time`. A time before the last change NextChange gave
  // counts as that change's time.
  bool PulseAt(int64_t time);
  // Why the recording ended early (a file that could not be read on), else kOk.
  const Mode2Source& Source() const { return *source_; }

 private:
  bool ReadEntry();
  void Toggle(int64_t time);

  std::unique_ptr<Mode2Source> source_;
  std::deque<int64_t> changes_;  // the changes not yet passed, strictly increasing
  bool passed_pulse_ = false;    // the level after the passed changes
  bool read_pulse_ = false;      // the level at the end of what was read
  int64_t read_time_;            // the time at the end of what was read
  bool ended_ = false;
};

}  // namespace koru
