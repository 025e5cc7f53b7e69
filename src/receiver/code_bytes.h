#pragma once
// Reading a code text as bytes: separators (' ', '-', '*') are removed and the remaining
// characters are read in groups of eight, most significant bit first.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace koru {

// The code text without ' ', '-' and '*'.
std::string StripCodeSeparators(std::string_view code);

// Byte `index` of `code` (separators are removed first). A character other than '0' and '1'
// repeats the bit of the character to its right (0 for the last of its group). When the text
// holds fewer than 8 * index + 8 characters the value is 0. When `text` is given, the value is
// appended as three digits, or "--- " for a missing byte.
int32_t CodeByteValue(std::string_view code, int32_t index, std::string* text = nullptr);

// A code text read once, where it is made: what the matching needs of it.
struct CodeBytes {
  static constexpr int32_t kRead = 5;  // the bytes anyone looks at
  int32_t length = 0;                  // characters without separators
  std::array<int32_t, kRead> values{};

  // Byte `index` as CodeByteValue gives it (0 when the text is too short).
  int32_t Byte(int32_t index) const;
  // Appends byte `index` as CodeByteValue does: three digits, or "--- " for a missing byte.
  void AppendByte(int32_t index, std::string* text) const;
  // header = byte 0 * 1000 + byte 1, as remotes store it.
  int32_t Header() const { return Byte(0) * 1000 + Byte(1); }
  // More than 12 characters: a classic code that can be matched.
  bool Classic() const { return length > 12; }

  bool operator==(const CodeBytes&) const = default;
};

CodeBytes ReadCodeBytes(std::string_view code);

}  // namespace koru
