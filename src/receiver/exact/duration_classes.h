#pragma once
// Groups durations into classes of like length, for readers that do not know a protocol's
// timing. Sorted durations start a new class where the step to the next one is wider than
// 420 us and a quarter of the shorter one: a class spreads over 400 us under 200 us of jitter,
// so jitter never splits one, while the distinct lengths of a frame lie further apart.
#include <cstdint>
#include <span>
#include <vector>

// The class of each value (0 = shortest), in the order of `values`.
std::vector<int32_t> DurationClasses(std::span<const int32_t> values);

// The end of a burst's first frame: the index of the first space that separates frames (one of
// 10 ms or more, or one longer than 5.6 ms and twice the burst's median space), or the burst's
// size. Bit spaces of several milliseconds do not end a frame.
size_t FirstFrameEnd(std::span<const int32_t> burst);
