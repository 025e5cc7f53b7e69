#pragma once
// The periods of one key press sending an exact code, as a real remote sends a short press,
// and of a key held down for `extra_frames` more frames.
#include <cstdint>
#include <vector>

#include "receiver/exact/exact_code.h"

namespace koru {

// Appends the press to `periods` (starting with a pulse; the last entry is the space after the
// last frame); false, with `periods` unchanged, when the code cannot be sent.
bool EncodeExactPress(const ExactCode& code, int32_t extra_frames, std::vector<int32_t>* periods);

}  // namespace koru
