#pragma once
// Four-character codes ('irCE') as 32-bit values, first character in the highest byte.
// Built from a string so that nothing relies on multi-character literals.
#include <cstdint>
#include <string>
#include <string_view>

namespace koru {

using type_code = uint32_t;

constexpr uint32_t FourCC(const char (&text)[5]) {
  return (uint32_t(uint8_t(text[0])) << 24) | (uint32_t(uint8_t(text[1])) << 16) |
         (uint32_t(uint8_t(text[2])) << 8) | uint32_t(uint8_t(text[3]));
}

// The same for a text known only at run time; missing characters count as zero bytes.
constexpr uint32_t FourCCOf(std::string_view text) {
  uint32_t code = 0;
  for (size_t i = 0; i < 4; ++i) code = (code << 8) | (i < text.size() ? uint8_t(text[i]) : 0u);
  return code;
}

// "irCE" for 0x69724345; unprintable bytes are shown as '.'.
std::string FourCCText(uint32_t code);

}  // namespace koru
