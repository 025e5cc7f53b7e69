#pragma once
// Where a played recording's entries come from, one at a time, so that a recording of any
// length plays without being held in memory.
#include <cstddef>
#include <string>

#include "platform/lines/mode2_recording.h"

namespace koru {

class Mode2Source {
 public:
  virtual ~Mode2Source() = default;
  // The next entry in order; false at the end of the recording or when it cannot be read on.
  virtual bool Next(Mode2Entry* entry) = 0;
  // kOk, or why the recording ended early (`Error` then says it in words).
  virtual status_t Status() const { return kOk; }
  virtual std::string Error() const { return {}; }
};

// The entries of a recording in memory; the recording must outlive the source.
class Mode2MemorySource : public Mode2Source {
 public:
  explicit Mode2MemorySource(const Mode2Recording& recording) : recording_(recording) {}
  bool Next(Mode2Entry* entry) override {
    if (next_ == recording_.size()) return false;
    *entry = recording_[next_++];
    return true;
  }

 private:
  const Mode2Recording& recording_;
  size_t next_ = 0;
};

}  // namespace koru
