#pragma once
// The duration table the receiver thread fills: level periods in microseconds, entry 0 the first
// period after the last clear, unused entries 0. The analysis and the decoders look at entries 0
// to 80 only; a pair of zeros ends the data.
#include <cstdint>

namespace koru {

constexpr int kDurationTableSize = 256;
constexpr int kLastPairIndex = 79;  // a pair is started at this index or lower

using DurationTable = int32_t[kDurationTableSize];

}  // namespace koru
