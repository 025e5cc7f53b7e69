#pragma once
// Key functions by name. A key function is the number of the label that names the key
// ("Mute" is label 67), as stored in remote, preset and layout files; the numbers never change.
#include <cstdint>

namespace koru {

inline constexpr int32_t kKeyCodeNotFound = 49;
inline constexpr int32_t kKeyUnknownRemote = 50;
inline constexpr int32_t kKeyDigit0 = 51;
inline constexpr int32_t kKeyDigit9 = 60;
inline constexpr int32_t kKeyArrowUp = 61;
inline constexpr int32_t kKeyArrowDown = 62;
inline constexpr int32_t kKeyArrowLeft = 63;
inline constexpr int32_t kKeyArrowRight = 64;
inline constexpr int32_t kKeyVolumeUp = 65;
inline constexpr int32_t kKeyVolumeDown = 66;
inline constexpr int32_t kKeyMute = 67;
inline constexpr int32_t kKeyPower = 68;
inline constexpr int32_t kKeyOk = 69;
inline constexpr int32_t kKeyTab = 70;
inline constexpr int32_t kKeyMenu = 71;
inline constexpr int32_t kKeyExit = 72;
inline constexpr int32_t kKeyLast = 73;
inline constexpr int32_t kKeyText = 74;
inline constexpr int32_t kKeyFavourite = 75;
inline constexpr int32_t kKeyEject = 81;
inline constexpr int32_t kKeyProgramUp = 83;
inline constexpr int32_t kKeyProgramDown = 84;
inline constexpr int32_t kKeyPrevious = 91;
inline constexpr int32_t kKeyBack = 92;
inline constexpr int32_t kKeyPause = 93;
inline constexpr int32_t kKeyPlay = 94;
inline constexpr int32_t kKeyNext = 95;
inline constexpr int32_t kKeyStop = 96;
inline constexpr int32_t kDualProgramUp = 101;
inline constexpr int32_t kDualProgramDown = 102;
inline constexpr int32_t kDualVolumeDown = 103;
inline constexpr int32_t kDualVolumeUp = 104;
inline constexpr int32_t kDualMute = 105;
inline constexpr int32_t kDualMenu = 106;
inline constexpr int32_t kDualExit = 107;
inline constexpr int32_t kDualEnter = 108;
inline constexpr int32_t kDualFavourite = 109;
inline constexpr int32_t kKeyNoFunction = 110;
inline constexpr int32_t kDualTab = 111;
inline constexpr int32_t kDualOk = 112;

// Above this the virtual remote's buttons are its group buttons.
inline constexpr int32_t kLastDualFunction = kDualOk;

// The digit keys N0..N9, in order.
constexpr bool IsDigitKey(int32_t keyfn) {
  return keyfn >= kKeyDigit0 && keyfn <= kKeyDigit9;
}
// The four arrows up, down, left, right.
constexpr bool IsArrowKey(int32_t keyfn) {
  return keyfn >= kKeyArrowUp && keyfn <= kKeyArrowRight;
}
// The player keys |<<, <, ||, >, >>| and [].
constexpr bool IsPlayerKey(int32_t keyfn) {
  return keyfn >= kKeyPrevious && keyfn <= kKeyStop;
}

}  // namespace koru
