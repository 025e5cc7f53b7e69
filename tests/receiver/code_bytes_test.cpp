#include "receiver/code_bytes.h"

#include <gtest/gtest.h>

namespace {

// The report's bytes are read once where the report is made; they must read as the text did.
TEST(CodeByteValue, ReadsBytesAfterRemovingSeparatorsAsTheReportsBytesDo) {
  struct Case {
    const char* code;
    int32_t index;
    int32_t value;
    const char* text;
  } cases[] = {
      {"-00000111-01101011-*101100**00_6b", 0, 7, "007"},
      {"-00000111-01101011-*101100**00_6b", 1, 107, "107"},
      // "1011000" + '_' : the last character of a group reads as 0.
      {"-00000111-01101011-*101100**00_6b", 2, 0b10110000, "176"},
      // "_6b" has three characters left: no fourth byte.
      {"-00000111-01101011-*101100**00_6b", 3, 0, "--- "},
      // Other characters repeat the resolved bit to their right.
      {"x1xx0xx1", 0, 0b11000111, "199"},
      {"1xxxxxxx", 0, 0b10000000, "128"},
      {"0000000", 0, 0, "--- "},
      {"11111111", -1, 0, "--- "},
  };
  for (const auto& c : cases) {
    std::string text;
    EXPECT_EQ(CodeByteValue(c.code, c.index, &text), c.value) << c.code << " " << c.index;
    EXPECT_EQ(text, c.text) << c.code << " " << c.index;
    const CodeBytes bytes = ReadCodeBytes(c.code);
    std::string shown;
    bytes.AppendByte(c.index, &shown);
    EXPECT_EQ(bytes.Byte(c.index), c.value) << c.code << " " << c.index;
    EXPECT_EQ(shown, c.text) << c.code << " " << c.index;
  }
  // Matched only with more than 12 characters without separators.
  EXPECT_FALSE(ReadCodeBytes("-0101-0101-0101-").Classic());
  EXPECT_TRUE(ReadCodeBytes("-0101-0101-0101-0").Classic());
  EXPECT_EQ(ReadCodeBytes("-00000001-00000010-").Header(), 1002);
}

}  // namespace
