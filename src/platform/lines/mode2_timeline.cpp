#include "platform/lines/mode2_timeline.h"

#include <algorithm>
#include <limits>

namespace koru {

namespace {
// Far enough that nothing reaches it, small enough that differences of times never overflow.
constexpr int64_t kFarFuture = std::numeric_limits<int64_t>::max() / 4;
}  // namespace

Mode2Timeline::Mode2Timeline(std::unique_ptr<Mode2Source> source, int64_t start)
    : source_(std::move(source)), read_time_(start) {}

void Mode2Timeline::Toggle(int64_t time) {
  // A saturated time (or an entry of length 0) repeats a time: the toggles at it cancel out.
  if (!changes_.empty() && changes_.back() == time) {
    changes_.pop_back();
  } else {
    changes_.push_back(time);
  }
}

bool Mode2Timeline::ReadEntry() {
  Mode2Entry entry;
  if (!source_->Next(&entry)) {
    ended_ = true;
    if (read_pulse_) Toggle(read_time_);
    read_pulse_ = false;
    return false;
  }
  if (entry.pulse != read_pulse_) {
    Toggle(read_time_);
    read_pulse_ = entry.pulse;
  }
  const uint64_t room = static_cast<uint64_t>(kFarFuture - read_time_);
  read_time_ = entry.microseconds >= room ? kFarFuture
                                          : read_time_ + static_cast<int64_t>(entry.microseconds);
  return true;
}

bool Mode2Timeline::NextChange(int64_t time, int64_t* change, bool* pulse) {
  // The first change after `time` is final once a later one is known: a change can only be
  // taken back by a toggle at the same time.
  while (!ended_ && (changes_.size() < 2 || changes_[changes_.size() - 2] <= time)) ReadEntry();
  while (!changes_.empty() && changes_.front() <= time) {
    changes_.pop_front();
    passed_pulse_ = !passed_pulse_;
  }
  if (changes_.empty()) return false;
  *change = changes_.front();
  if (pulse != nullptr) *pulse = !passed_pulse_;
  return true;
}

bool Mode2Timeline::PulseAt(int64_t time) {
  while (!ended_ && (changes_.empty() || changes_.back() <= time)) ReadEntry();
  const auto toggles = std::upper_bound(changes_.begin(), changes_.end(), time) - changes_.begin();
  return passed_pulse_ != (toggles % 2 == 1);
}

}  // namespace koru
