#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "remotes/frame_encoder.h"

namespace {

// Splits a key press into frames at the spaces longer than 10 ms (the receiver's walls).
std::vector<std::vector<int32_t>> Frames(const KeyPress& press) {
  std::vector<std::vector<int32_t>> frames(1);
  for (size_t i = 0; i < press.periods.size(); ++i) {
    if (i % 2 == 1 && press.periods[i] > 10000) {
      frames.emplace_back();
      continue;
    }
    frames.back().push_back(press.periods[i]);
  }
  frames.pop_back();  // after the last frame's gap
  return frames;
}

// Reads the spaces of a pulse-distance frame as bits ('1' for a space longer than `split`).
std::string SpaceBits(const std::vector<int32_t>& frame, size_t first, int32_t split) {
  std::string bits;
  for (size_t i = first + 1; i < frame.size(); i += 2) bits += frame[i] > split ? '1' : '0';
  return bits;
}

TEST(FrameEncoder, LongCodeSendsHeaderAndCodeBitsWithShortSpacesForOnes) {
  KeyPress press;
  ASSERT_EQ(EncodeKeyPress(255108, 2, 191, 0, &press, nullptr), kOk);
  const auto frames = Frames(press);
  ASSERT_EQ(frames.size(), 1u);
  const auto& f = frames[0];
  ASSERT_EQ(f.size(), 2u + 64u + 1u);
  EXPECT_EQ(f[0], 9000);
  EXPECT_EQ(f[1], 4500);
  for (size_t i = 2; i < f.size(); i += 2) EXPECT_EQ(f[i], 560);
  // Short space = '1': the lead-in's '1' and then the bits of 255, 108, 191 and the filler
  // byte3 = 128 + (~191 & 127).
  std::string bits;
  for (size_t i = 3; i < f.size(); i += 2) bits += f[i] == 560 ? '1' : '0';
  EXPECT_EQ(bits, "11111110110110010111111110000001");
  // One frame every 108 ms.
  int64_t total = 0;
  for (const int32_t p : press.periods) total += p;
  EXPECT_EQ(total, 108000);
  ASSERT_EQ(EncodeKeyPress(255108, 23, 191064, 2, &press, nullptr), kOk);
  EXPECT_EQ(Frames(press).size(), 3u);
}

TEST(FrameEncoder, FamilyFrameShapes) {
  struct Case {
    int32_t header, mode, code;
    int32_t frames;
    size_t periods_per_frame;
    int32_t repeat_us;
  };
  const Case cases[] = {
      {222078, 23, 68001, 3, 31, 65000},   // Denon: 15 bits and a stop mark
      {210078, 23, 210028, 3, 23, 45000},  // 12-bit: 12 marks, 11 spaces
      {9011, 23, 212064, 2, 37, 80000},    // 9-bit: 18 bits and a stop mark
      {71108, 23, 5011, 2, 33, 70000},     // 16-bit
      {7107, 2, 8, 7, 15, 45000},          // 6-bit: 6 bits, check bit, stop mark
      {158158, 23, 24039, 3, 23, 121500},  // Burns: 11 bits and a stop mark
  };
  for (const Case& c : cases) {
    KeyPress press;
    std::string why;
    ASSERT_EQ(EncodeKeyPress(c.header, c.mode, c.code, 1, &press, &why), kOk) << why;
    const auto frames = Frames(press);
    EXPECT_EQ(static_cast<int32_t>(frames.size()), c.frames + 1) << c.header;
    EXPECT_EQ(press.frames, c.frames + 1);
    for (const auto& frame : frames) EXPECT_EQ(frame.size(), c.periods_per_frame) << c.header;
    int64_t total = 0;
    for (const int32_t p : press.periods) total += p;
    EXPECT_EQ(total, int64_t{c.repeat_us} * (c.frames + 1)) << c.header;
    for (const int32_t p : press.periods) EXPECT_GT(p, 0);
  }
}

TEST(FrameEncoder, FamilyBitOrders) {
  EXPECT_EQ(DenonCode(2, 1), 68001);
  struct Case {
    int32_t header, mode, code;
    size_t frame;
    int32_t split;
    const char* bits;
  };
  const Case cases[] = {
      // Denon address 2, command 1, inverted from bit 6 in every second frame.
      {222078, 23, 68001, 0, 1500, "010001000000000"},
      {222078, 23, 68001, 1, 1500, "010000111111111"},
      {222078, 23, 68001, 2, 1500, "010001000000000"},
      // 9-bit: byte2, byte3 with the tenth space as the separator, two zero bits.
      {9011, 23, 212064, 0, 1000, "110101000100000000"},
      // 16-bit: byte2, the upper seven bits of byte3, a zero.
      {71108, 23, 129011, 0, 1000, "1000000100001010"},
      // 6-bit: byte2's upper six bits and the inverse of the first.
      {7107, 2, 132, 0, 1000, "1000010"},
      // Burns: start bit, toggle bit, byte2's six bits, byte3's upper three bits.
      {158158, 23, 25071, 0, 6700, "10011001010"},
  };
  KeyPress press;
  for (const Case& c : cases) {
    ASSERT_EQ(EncodeKeyPress(c.header, c.mode, c.code, 0, &press, nullptr), kOk);
    const auto frames = Frames(press);
    EXPECT_EQ(SpaceBits(frames[c.frame], 0, c.split), c.bits) << c.header << "/" << c.frame;
    if (c.header == 9011) {
      EXPECT_EQ(frames[0][19], 4500);  // the separator
    }
  }

  // 12-bit: pulse widths; bit 1 and bits 4..8 from byte2, 9..11 from byte3; bits 2 and 3
  // against the majority of the others.
  const std::pair<int32_t, const char*> widths[] = {
      {210092, "111100100100"}, {223252, "100111111110"}, {85028, "011101010000"}};
  for (const auto& [code, bits] : widths) {
    ASSERT_EQ(EncodeKeyPress(210078, 23, code, 0, &press, nullptr), kOk);
    const auto frame = Frames(press)[0];
    std::string got;
    for (size_t i = 0; i < frame.size(); i += 2) got += frame[i] > 900 ? '1' : '0';
    EXPECT_EQ(got, bits) << code;
  }
}

TEST(FrameEncoder, CodesAFamilyCannotSendAreRefused) {
  struct Case {
    int32_t header, mode, code;
  };
  const Case cases[] = {
      {255108, 2, 0},        // no code taught
      {255108, 2, 300},      // not a byte
      {183072, 22, 182201},  // two-byte value in a one-byte remote
      {255108, 23, 191300},  // byte3 above 255
      {222078, 23, 68002},   // Denon: even byte3
      {210078, 23, 146028},  // 12-bit: byte2 bits 6 and 5 not "10"
      {210078, 23, 210029},  // 12-bit: byte3 not 32 d + 28
      {9011, 23, 212128},    // 9-bit: no separator bit
      {71108, 23, 5010},     // 16-bit: even byte3
      {7107, 2, 130},        // 6-bit: not a multiple of 4
      {158158, 23, 64007},   // Burns: byte2 above 63
      {137145, 23, 1001},    // Saba: no encoder
      {127127, 2, 5},        // no family
  };
  for (const Case& c : cases) {
    KeyPress press;
    std::string why;
    EXPECT_EQ(EncodeKeyPress(c.header, c.mode, c.code, 0, &press, &why), kBadValue)
        << c.header << " " << c.code;
    EXPECT_FALSE(why.empty());
  }
}

}  // namespace
