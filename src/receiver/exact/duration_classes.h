#pragma once
// Groups durations into classes of like length, for readers that do not know a protocol's
// timing. A class holds the durations up to 450 us (or a quarter, when that is more) above its
// shortest one; the next longer duration starts the next class; then each duration moves to
// the class with the nearest mean. Under 200 us of jitter one
// length spreads over 400 us, so jitter never splits a class, and lengths 650 us apart never
// share one.
#include <cstdint>
#include <span>
#include <vector>

namespace koru {

// The class of each value (0 = shortest), in the order of `values`.
std::vector<int32_t> DurationClasses(std::span<const int32_t> values);

// The end of a burst's first frame: the index of the first space that separates frames (one of
// 10 ms or more, or one longer than 5.6 ms and twice the burst's median space), or the burst's
// size. Bit spaces of several milliseconds do not end a frame.
size_t FirstFrameEnd(std::span<const int32_t> burst);

}  // namespace koru
