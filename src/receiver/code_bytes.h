#pragma once
// Reading a code text as bytes: separators (' ', '-', '*') are removed and the remaining
// characters are read in groups of eight, most significant bit first.
#include <cstdint>
#include <string>
#include <string_view>

// The code text without ' ', '-' and '*'.
std::string StripCodeSeparators(std::string_view code);

// Byte `index` of `code` (separators are removed first). A character other than '0' and '1'
// repeats the bit of the character to its right (0 for the last of its group). When the text
// holds fewer than 8 * index + 8 characters the value is 0. When `text` is given, the value is
// appended as three digits, or "--- " for a missing byte.
int32_t IrStr4Value(std::string_view code, int32_t index, std::string* text = nullptr);
