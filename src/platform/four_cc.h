#pragma once
// Four-character codes ('irCE') as 32-bit values, first character in the highest byte.
// Built from a string so that nothing relies on multi-character literals.
#include <cstdint>
#include <string>

using type_code = uint32_t;

constexpr uint32_t FourCC(const char (&text)[5]) {
  return (uint32_t(uint8_t(text[0])) << 24) | (uint32_t(uint8_t(text[1])) << 16) |
         (uint32_t(uint8_t(text[2])) << 8) | uint32_t(uint8_t(text[3]));
}

// "irCE" for 0x69724345; unprintable bytes are shown as '.'.
std::string FourCCText(uint32_t code);
