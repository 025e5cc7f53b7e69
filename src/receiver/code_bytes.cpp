#include "receiver/code_bytes.h"

#include <cstdio>

namespace koru {

std::string StripCodeSeparators(std::string_view code) {
  std::string bits;
  bits.reserve(code.size());
  for (char c : code) {
    if (c != ' ' && c != '-' && c != '*') bits.push_back(c);
  }
  return bits;
}

int32_t CodeByteValue(std::string_view code, int32_t index, std::string* text) {
  const std::string bits = StripCodeSeparators(code);
  if (index < 0 || bits.size() < static_cast<size_t>(index) * 8 + 8) {
    if (text) text->append("--- ");
    return 0;
  }
  const size_t first = static_cast<size_t>(index) * 8;
  int32_t value = 0;
  int bit = 0;  // the resolved bit of the character to the right
  for (int k = 7; k >= 0; --k) {
    const char c = bits[first + static_cast<size_t>(k)];
    if (c == '1') {
      bit = 1;
    } else if (c == '0') {
      bit = 0;
    }
    value |= bit << (7 - k);
  }
  if (text) {
    char digits[24];
    std::snprintf(digits, sizeof digits, "%03ld", static_cast<long>(value));
    text->append(digits);
  }
  return value;
}

int32_t CodeBytes::Byte(int32_t index) const {
  return index >= 0 && index < kRead ? values[static_cast<size_t>(index)] : 0;
}

void CodeBytes::AppendByte(int32_t index, std::string* text) const {
  if (index < 0 || length < index * 8 + 8) {
    text->append("--- ");
    return;
  }
  char digits[24];
  std::snprintf(digits, sizeof digits, "%03ld", static_cast<long>(Byte(index)));
  text->append(digits);
}

CodeBytes ReadCodeBytes(std::string_view code) {
  CodeBytes bytes;
  const std::string bits = StripCodeSeparators(code);
  bytes.length = static_cast<int32_t>(bits.size());
  for (int32_t i = 0; i < CodeBytes::kRead; ++i)
    bytes.values[static_cast<size_t>(i)] = CodeByteValue(bits, i);
  return bytes;
}

}  // namespace koru
