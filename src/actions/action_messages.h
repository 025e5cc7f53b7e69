#pragma once
// The verbs the media actions give the audio players (DoCommand); 'play' is shared with the video
// players' commands.
#include <cstdint>

#include "platform/messaging/four_cc.h"

namespace koru {

// The audio player's previous track
inline constexpr uint32_t kPlayerPrevious = FourCC("prev");

// The audio player's next track
inline constexpr uint32_t kPlayerNext = FourCC("next");

// The audio player's volume up
inline constexpr uint32_t kPlayerLouder = FourCC("vol+");

// The audio player's volume down
inline constexpr uint32_t kPlayerQuieter = FourCC("vol-");

// The audio player stops
inline constexpr uint32_t kPlayerStop = FourCC("stop");

}  // namespace koru
