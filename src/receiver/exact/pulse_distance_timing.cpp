#include "receiver/exact/pulse_distance_timing.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

bool NearPeriod(int32_t measured, int32_t nominal) {
  const int32_t tolerance = std::max(nominal / 4, 200);
  return std::abs(measured - nominal) <= tolerance;
}

bool ReadFrameBits(BurstPeriods burst, size_t start, const PulseTiming& timing,
                   std::vector<uint8_t>* bits, size_t* end) {
  bits->clear();
  const int32_t longest_bit_space = std::max(timing.space0, timing.space1);
  // A frame ends at a space clearly longer than any bit space.
  auto ends_frame = [&](int32_t space) {
    return space > longest_bit_space + std::max(longest_bit_space / 4, 200) &&
           space >= longest_bit_space * 2;
  };
  size_t i = start;
  while (i < burst.size()) {
    const int32_t mark = burst[i];
    if (timing.pulse_width) {
      if (NearPeriod(mark, timing.mark0))
        bits->push_back(0);
      else if (NearPeriod(mark, timing.mark1))
        bits->push_back(1);
      else
        return false;
      if (i + 1 == burst.size() || ends_frame(burst[i + 1])) {
        *end = i + 1;
        return true;
      }
      if (!NearPeriod(burst[i + 1], timing.space0)) return false;
    } else {
      if (!NearPeriod(mark, timing.mark0)) return false;
      if (i + 1 == burst.size() || ends_frame(burst[i + 1])) {
        *end = i + 1;  // the final mark
        return true;
      }
      if (NearPeriod(burst[i + 1], timing.space0))
        bits->push_back(0);
      else if (NearPeriod(burst[i + 1], timing.space1))
        bits->push_back(1);
      else
        return false;
    }
    i += 2;
  }
  return false;  // a burst ends with a mark, never with a space
}

uint64_t BitsValue(const std::vector<uint8_t>& bits, size_t first, size_t count) {
  uint64_t value = 0;
  for (size_t n = 0; n < count && first + n < bits.size(); ++n)
    value |= static_cast<uint64_t>(bits[first + n] & 1) << n;
  return value;
}

void AppendBits(uint64_t value, int count, std::vector<uint8_t>* bits) {
  for (int n = 0; n < count; ++n) bits->push_back(static_cast<uint8_t>((value >> n) & 1));
}

void WriteFrameBits(const PulseTiming& timing, const std::vector<uint8_t>& bits, int32_t period,
                    int32_t gap, std::vector<int32_t>* periods) {
  const size_t first = periods->size();
  if (timing.lead_mark > 0) {
    periods->push_back(timing.lead_mark);
    periods->push_back(timing.lead_space);
  }
  for (size_t n = 0; n < bits.size(); ++n) {
    if (timing.pulse_width) {
      periods->push_back(bits[n] ? timing.mark1 : timing.mark0);
      if (n + 1 < bits.size()) periods->push_back(timing.space0);
    } else {
      periods->push_back(timing.mark0);
      periods->push_back(bits[n] ? timing.space1 : timing.space0);
    }
  }
  if (!timing.pulse_width) periods->push_back(timing.mark0);
  if (period > 0) {
    const int64_t used = std::accumulate(periods->begin() + static_cast<std::ptrdiff_t>(first),
                                         periods->end(), int64_t{0});
    gap = static_cast<int32_t>(std::max<int64_t>(period - used, gap));
  }
  periods->push_back(gap);
}
