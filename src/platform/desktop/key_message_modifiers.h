#pragma once
// The modifier bits of the key message's "modifiers" field that the desktops press as keys
// (either side, or the generic bit); lock and menu bits are not pressed.
#include <cstdint>

namespace koru {

inline constexpr int32_t kShiftBits = 0x1 | 0x100 | 0x200;
inline constexpr int32_t kCommandBits = 0x2 | 0x400 | 0x800;  // Command is Alt here
inline constexpr int32_t kControlBits = 0x4 | 0x1000 | 0x2000;

}  // namespace koru
