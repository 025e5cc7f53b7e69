#pragma once
// The KORU key function of a LIRC button name: the names of the Linux input layer that LIRC
// uses (KEY_VOLUMEUP, KEY_0 ...) and the spellings common in LIRC's remote database ("vol+",
// "VOL_UP", "ch-", "Play" ...). Case, a leading "KEY_", and the characters '_', '-' (except a
// final one), '.' and ' ' do not count, so "KEY_VOLUMEUP", "VolumeUp" and "vol-up" are one name.
#include <cstdint>
#include <string>
#include <string_view>

namespace koru {

// The key function 51..100 (51 "N0" ... 97 "Rec."), or 0 for a name without a KORU
// key function.
int32_t KeyFunctionOfLircName(std::string_view name);

// The name as it is compared: upper case, without "KEY_" and separators.
std::string NormalLircName(std::string_view name);

}  // namespace koru
