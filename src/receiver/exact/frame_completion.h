#pragma once
// When the frame heard so far is whole: the receiver reports a key as soon as its frame is
// complete instead of waiting for the quiet that ends the burst.
#include <cstdint>
#include <optional>

#include "receiver/exact/exact_frames.h"

namespace koru {

// `frame` is the periods of a burst from its first pulse up to the pulse that just ended. Gives
// how long the line must then stay quiet (microseconds) for the frame to be a whole frame of a
// protocol the exact decoder names: 0 when its last bit is in and its protocol has no longer
// form; the longest space a longer form could still hold here when there is one (Sony 12 or
// 15 bits, RC-5 14, RC-6A 20 or 24, RCMM 12 or 24, NEC32 that could be Sanyo's first half,
// Samsung's 32 bits); nothing when it is no such frame (yet): a generic or hashed frame ends
// with its burst. Frames of Samsung's shape (a 4.5 ms + 4.5 ms lead-in and 32 pulse-distance
// bits) count as named: the decoder gives them a generic code, but their length is known.
std::optional<int32_t> QuietToCompleteFrame(BurstPeriods frame);

}  // namespace koru
