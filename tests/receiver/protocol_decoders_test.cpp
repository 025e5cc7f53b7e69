#include "receiver/protocol_decoders.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/trace.h"
#include "table_builder.h"

namespace {

using Decoder = void (*)(const int32_t*, char*);

std::string Decode(Decoder decoder, const TableBuilder& table) {
  char code[kCodeTextSize] = "-empty-";
  decoder(table.data(), code);
  return code;
}

class Decoders : public ::testing::Test {
 protected:
  void SetUp() override { ResetDecoderWorkBuffers(); }
  TraceCapture trace_;  // keeps the decoders' trace out of the test output
};

constexpr std::array<int32_t, 2> kNecOne{560, 560};
constexpr std::array<int32_t, 2> kNecZero{560, 1690};

TEST_F(Decoders, AllgemeinLongFrameWithHeader) {
  const std::string bits = "10100000010111111100100000110111";
  TableBuilder table;
  table.Add({9000, 4500}).Pairs(bits, kNecOne, kNecZero).Add({560});
  // Header '1', then groups of 2, 5, 8, 8, 8 bits; the stop pulse and the end of data follow.
  const std::string expected = "-1" + bits.substr(0, 2) + "-" + bits.substr(2, 5) + "-" +
                               bits.substr(7, 8) + "-" + bits.substr(15, 8) + "-" +
                               bits.substr(23, 8) + "-" + bits.substr(31, 1) + "1x";
  EXPECT_EQ(Decode(CheckAllgemein, table), expected);
}

TEST_F(Decoders, AllgemeinWithoutHeaderStartsAtPositionZero) {
  TableBuilder table;
  table.Pairs("0110", kNecOne, kNecZero);
  // Mean of (560,1690) and (560,560) pairs is 1685: ones are short pairs.
  EXPECT_EQ(Decode(CheckAllgemein, table), "0110-x");
}

TEST_F(Decoders, MeanDecodersWithoutUsablePairLeaveTheCodeText) {
  for (Decoder decoder : {CheckAllgemein, Check6B, Check12B}) {
    TraceCapture trace;
    EXPECT_EQ(Decode(decoder, TableBuilder()), "-empty-");
    EXPECT_TRUE(trace.Contains("[VeryBAD]"));
  }
}

struct FrameCase {
  const char* name;
  Decoder decoder;
  TableBuilder table;
  std::string expected;
};

TEST_F(Decoders, CompleteFramesOfEveryFamily) {
  const std::string b18 = "101100111000101101";
  const FrameCase cases[] = {
      {"burns", CheckBurns,
       TableBuilder().Add({20000}).Pairs("10110011101", {8000, 600}, {1000, 600}),
       "-10011110-10011110-*00" + std::string("110011101") + "**00111_burns"},
      {"saba", Check2Saba,
       TableBuilder().Add({12000}).Pairs("101101100111", {1000, 2500}, {1000, 1000}),
       "-10001001-10010001-*1011-1100111"
       "00000_saba"},
      {"h9x", CheckH9X, TableBuilder().Add({500, 40000}).Periods("1011001110001", 1000, 400),
       "-00010101-10111011-*0" + std::string("011001110001") + "*000000000000_H9X"},
      {"6b", Check6B, TableBuilder().Add({12000}).Pairs("101100", {500, 1500}, {500, 500}),
       "-00000111-01101011-*101100**00_6b"},
      {"9b", Check9B, TableBuilder().Add({7000}).Pairs(b18, {500, 1500}, {500, 500}),
       "-00001001-00001011-*" + b18 + "*"},
      {"12b", Check12B, TableBuilder().Add({12000}).Pairs("10111001101", {600, 1200}, {600, 600}),
       "-11010010-01001110-*1"
       "10"
       "11001101"
       "*111001100*_elevenBit"},
      {"denon", CheckDenon,
       TableBuilder().Add({400, 50000}).Pairs("101100111000101", {300, 1800}, {300, 700}),
       "-11011110-01001110-*101100111000101"
       "1_denon"},
      {"16b", Check16B, TableBuilder().Add({400, 50000}).Pairs(b18, {300, 1800}, {300, 700}),
       "-01000111-01101100-*" + b18.substr(0, 15) + "1_16B"},
  };
  for (const auto& c : cases) {
    ResetDecoderWorkBuffers();
    EXPECT_EQ(Decode(c.decoder, c.table), c.expected) << c.name;
  }
}

// The last complete frame wins: a reset starts the bit positions again.
TEST_F(Decoders, TwoFramesSeparatedByAGapGiveTheLastFrame) {
  TableBuilder table;
  table.Add({7000}).Pairs("11111", {500, 1500}, {500, 500});
  table.Add({30000}).Pairs("000000000000000001", {500, 1500}, {500, 500});
  EXPECT_EQ(Decode(Check9B, table), "-00001001-00001011-*000000000000000001*");
}

TEST_F(Decoders, DenonAndTwelveBitRestartAfterALongPair) {
  TableBuilder denon;
  denon.Pairs("111", {300, 1800}, {300, 700}).Add({300, 4500});
  denon.Pairs("000011110000111", {300, 1800}, {300, 700});
  EXPECT_EQ(Decode(CheckDenon, denon),
            "-11011110-01001110-*000011110000111"
            "1_denon");

  TableBuilder twelve;
  twelve.Add({12000}).Pairs("11", {600, 1800}, {600, 600}).Add({3000, 3500});
  twelve.Pairs("00110011001", {600, 1800}, {600, 600});
  EXPECT_EQ(Decode(Check12B, twelve),
            "-11010010-01001110-*0"
            "10"
            "10011001"
            "*111001100*_elevenBit");
}

TEST_F(Decoders, ShortFramesAndLeftoverCharacters) {
  // Burns: fewer than ten positions give the bare '*'.
  EXPECT_EQ(
      Decode(CheckBurns, TableBuilder().Add({20000}).Pairs("10110", {8000, 600}, {1000, 600})),
      "*_burns");

  // H9X without a long period: only the '0' at position 1 is written over what the last call
  // left, so a fresh buffer gives the bare signature and a used one repeats the last frame.
  const std::string fresh = Decode(CheckH9X, TableBuilder().Periods("1111", 1000, 400));
  EXPECT_EQ(fresh, "-00010101-10111011-*0*000000000000_H9X");
  const std::string full =
      Decode(CheckH9X, TableBuilder().Add({40000}).Periods("1011001110001", 1000, 400));
  EXPECT_EQ(Decode(CheckH9X, TableBuilder().Periods("1111", 1000, 400)), full);

  // 9B writes no terminator: a short frame keeps the tail of the previous one.
  Decode(Check9B, TableBuilder().Add({7000}).Pairs("111111111111111111", {500, 1500}, {500, 500}));
  EXPECT_EQ(Decode(Check9B, TableBuilder().Add({7000}).Pairs("00000", {500, 1500}, {500, 500})),
            "-00001001-00001011-*00000"
            "0"
            "111111111111"
            "*");

  // Saba and 6B end the text where the frame ended.
  EXPECT_EQ(Decode(Check2Saba, TableBuilder().Add({12000}).Pairs("11", {1000, 2500}, {1000, 1000})),
            "-10001001-10010001-*11_saba");
  EXPECT_EQ(Decode(Check6B, TableBuilder().Add({12000}).Pairs("1100", {500, 1500}, {500, 500})),
            "-00000111-01101011-*1100_6b");
}

}  // namespace

namespace {

TEST(DecoderForValidBits, DispatchTable) {
  struct Row {
    int32_t low, high;
    ProtocolDecoder decoder;
    int32_t family;
  } rows[] = {
      {0, 0, nullptr, 0},     {1, 1, CheckBurns, 10}, {2, 4, Check2Saba, 5},
      {5, 5, CheckH9X, 9},    {6, 7, Check6B, 8},     {8, 9, Check9B, 7},
      {10, 12, Check12B, 6},  {13, 14, nullptr, 0},   {15, 15, CheckDenon, 3},
      {16, 18, Check16B, 10}, {19, 30, nullptr, 0},   {31, 34, CheckAllgemein, 1},
      {35, 41, nullptr, 0},
  };
  for (const Row& row : rows) {
    for (int32_t count = row.low; count <= row.high; ++count) {
      int32_t family = -1;
      EXPECT_EQ(DecoderForValidBits(count, &family), row.decoder) << count;
      EXPECT_EQ(family, row.family) << count;
    }
  }
}

}  // namespace
