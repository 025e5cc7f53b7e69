#include "receiver/exact/pulse_distance_timing.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

namespace koru {

// Each may move 25 % or 250 us (jitter), and up to 300 us the way receivers move them.
bool NearMark(int32_t measured, int32_t nominal) {
  const int32_t tolerance = std::max(nominal / 4, 250);
  return measured >= nominal - tolerance && measured <= nominal + std::max(tolerance, 300);
}

bool NearSpace(int32_t measured, int32_t nominal) {
  const int32_t tolerance = std::max(nominal / 4, 250);
  return measured >= nominal - std::max(tolerance, 300) && measured <= nominal + tolerance;
}

bool ReadFrameBits(BurstPeriods burst, size_t start, const PulseTiming& timing,
                   std::vector<uint8_t>* bits) {
  bits->clear();
  // Receivers lengthen marks and shorten spaces by a good part of a unit, and jitter comes on
  // top: so the two bit lengths are told apart at their midpoint, not by a window around each.
  const int32_t long_space = std::max(timing.space0, timing.space1);
  const int32_t long_mark = std::max(timing.mark0, timing.mark1);
  // Pulse-width spaces are all alike: no longer than jitter makes them.
  const int32_t space_limit = timing.pulse_width ? long_space + std::max(long_space / 4, 250)
                                                 : long_space + std::max(long_space / 2, 400);
  const int32_t mark_limit = timing.pulse_width ? long_mark + std::max(long_mark / 2, 400)
                                                : (timing.mark0 + timing.space1) / 2;
  const int32_t space_split = (timing.space0 + timing.space1) / 2;
  const int32_t mark_split = (timing.mark0 + timing.mark1) / 2;
  // Without a lead-in to vouch for the protocol, short spaces must not be far too short.
  const int32_t shortest_space =
      timing.lead_mark > 0 ? 0 : timing.space0 - std::max(timing.space0 / 2, 300);
  auto ends_frame = [&](int32_t space) { return space > std::max(space_limit, 2 * long_space); };
  for (size_t i = start; i < burst.size(); i += 2) {
    const int32_t mark = burst[i];
    if (mark > mark_limit) return false;
    if (timing.pulse_width) bits->push_back(mark > mark_split ? 1 : 0);
    // (A pulse-distance frame's final mark carries no bit.)
    if (i + 1 == burst.size() || ends_frame(burst[i + 1])) return true;
    const int32_t space = burst[i + 1];
    if (space > space_limit || space < shortest_space) return false;
    if (!timing.pulse_width) bits->push_back(space > space_split ? 1 : 0);
    // What a receiver adds to a mark it takes from the space, so mark and space together keep
    // the bit's length: a frame of other timing fails here.
    const int32_t bit_length =
        bits->back() ? timing.mark1 + timing.space1 : timing.mark0 + timing.space0;
    if (std::abs(mark + space - bit_length) > std::max(bit_length / 4, 550)) return false;
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

}  // namespace koru
