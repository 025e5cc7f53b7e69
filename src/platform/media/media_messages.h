#pragma once
// The commands a video player is sent (MPRIS): the media backend acts on them. 'play' is also an
// audio player's verb.
#include <cstdint>

#include "platform/messaging/four_cc.h"

namespace koru {

// Play: a video player's command, and the audio players' verb (starts the player when none runs)
inline constexpr uint32_t kPlayerPlay = FourCC("play");

// The video player's previous track
inline constexpr uint32_t kVideoPrevious = FourCC("navp");

// The video player's next track
inline constexpr uint32_t kVideoNext = FourCC("navn");

// The video player plays or pauses
inline constexpr uint32_t kVideoPlayPause = FourCC("papl");

// Brings the video player to the front
inline constexpr uint32_t kVideoShow = FourCC("shin");

// Opens the video player (brings it to the front)
inline constexpr uint32_t kVideoOpen = FourCC("oppl");

// The video player's volume one step up
inline constexpr uint32_t kVideoLouder = FourCC("fopl");

// The video player's volume one step down
inline constexpr uint32_t kVideoQuieter = FourCC("qupl");

// The video player's full screen on or off
inline constexpr uint32_t kVideoToggleFullscreen = FourCC("tgfs");

// No command: a player does nothing
inline constexpr uint32_t kNoVideoCommand = FourCC("-NO-");

}  // namespace koru
