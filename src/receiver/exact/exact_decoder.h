#pragma once
// The receiver's one entry to exact codes: every burst becomes the code of a named protocol,
// of a generic pulse-distance or bi-phase frame, or the hash of its pattern. Repeat frames
// report the last code again while they follow it closely.
#include <cstdint>
#include <optional>

#include "receiver/exact/exact_code.h"
#include "receiver/exact/exact_frames.h"

namespace koru {

class ExactDecoder {
 public:
  // A repeat frame this long (microseconds) after the last code still belongs to its key.
  static constexpr int64_t kRepeatWindow = 250000;
  // Shorter bursts are noise (repeat frames and short serial frames excepted).
  static constexpr size_t kMinimumPeriods = 6;

  // The code of a burst that ended at `end_time_us`; nothing for noise, for a frame that opens
  // as a named protocol but does not read as one (named_lead_in.h), and for repeat frames
  // without a recent code.
  std::optional<ExactCode> Burst(BurstPeriods burst, int64_t end_time_us);
  // Forgets the last code, so the next repeat frame reports nothing.
  void Reset();

 private:
  std::optional<ExactCode> last_;
  int64_t last_time_us_ = 0;
};

}  // namespace koru
