#include "receiver/protocol_decoders.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/messaging/trace.h"
#include "table_builder.h"

namespace {

using Decoder = ProtocolDecoder;

std::string Decode(Decoder decoder, const TableBuilder& table, DecoderWork& work) {
  char code[kCodeTextSize] = "-empty-";
  decoder(work, table.data(), code);
  return code;
}

class Decoders : public ::testing::Test {
 protected:
  std::string Decode(Decoder decoder, const TableBuilder& table) {
    return ::Decode(decoder, table, work_);
  }
  DecoderWork work_;
  TraceCapture trace_;  // keeps the decoders' trace out of the test output
};

constexpr std::array<int32_t, 2> kNecOne{560, 560};
constexpr std::array<int32_t, 2> kNecZero{560, 1690};

TEST_F(Decoders, MeanDecodersWithoutUsablePairLeaveTheCodeText) {
  for (Decoder decoder : {DecodeLongCode, DecodeSixBitCode, DecodeTwelveBitCode}) {
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
  const std::string nec = "10100000010111111100100000110111";
  constexpr std::array<int32_t, 2> p9b1{500, 1500}, p9b0{500, 500}, den1{300, 1800}, den0{300, 700},
      t1{600, 1800}, t0{600, 600};
  const FrameCase cases[] = {
      // Header '1', then groups of 2, 5, 8, 8, 8 bits; the stop pulse and the end of data.
      {"allgemein", DecodeLongCode,
       TableBuilder().Add({9000, 4500}).Pairs(nec, kNecOne, kNecZero).Add({560}),
       "-1" + nec.substr(0, 2) + "-" + nec.substr(2, 5) + "-" + nec.substr(7, 8) + "-" +
           nec.substr(15, 8) + "-" + nec.substr(23, 8) + "-" + nec.substr(31, 1) + "1x"},
      // Without header: starts at position 0; ones are the short pairs.
      {"allgemein bare", DecodeLongCode, TableBuilder().Pairs("0110", kNecOne, kNecZero), "0110-x"},
      {"burns", DecodeBurnsCode,
       TableBuilder().Add({20000}).Pairs("10110011101", {8000, 600}, {1000, 600}),
       "-10011110-10011110-*00110011101**00111_burns"},
      // Fewer than ten positions give the bare '*'.
      {"burns short", DecodeBurnsCode,
       TableBuilder().Add({20000}).Pairs("10110", {8000, 600}, {1000, 600}), "*_burns"},
      {"saba", DecodeSabaCode,
       TableBuilder().Add({12000}).Pairs("101101100111", {1000, 2500}, {1000, 1000}),
       "-10001001-10010001-*1011-110011100000_saba"},
      {"h9x", DecodeH9xCode, TableBuilder().Add({500, 40000}).Periods("1011001110001", 1000, 400),
       "-00010101-10111011-*0011001110001*000000000000_H9X"},
      {"6b", DecodeSixBitCode, TableBuilder().Add({12000}).Pairs("101100", p9b1, p9b0),
       "-00000111-01101011-*101100**00_6b"},
      {"9b", DecodeNineBitCode, TableBuilder().Add({7000}).Pairs(b18, p9b1, p9b0),
       "-00001001-00001011-*" + b18 + "*"},
      // The last complete frame wins: a reset starts the bit positions again.
      {"9b two frames", DecodeNineBitCode,
       TableBuilder()
           .Add({7000})
           .Pairs("11111", p9b1, p9b0)
           .Add({30000})
           .Pairs("000000000000000001", p9b1, p9b0),
       "-00001001-00001011-*000000000000000001*"},
      {"12b", DecodeTwelveBitCode,
       TableBuilder().Add({12000}).Pairs("10111001101", {600, 1200}, t0),
       "-11010010-01001110-*11011001101*111001100*_elevenBit"},
      // Denon and 12-bit restart after a long pair.
      {"12b restart", DecodeTwelveBitCode,
       TableBuilder()
           .Add({12000})
           .Pairs("11", t1, t0)
           .Add({3000, 3500})
           .Pairs("00110011001", t1, t0),
       "-11010010-01001110-*01010011001*111001100*_elevenBit"},
      {"denon", DecodeDenonCode,
       TableBuilder().Add({400, 50000}).Pairs("101100111000101", den1, den0),
       "-11011110-01001110-*1011001110001011_denon"},
      {"denon restart", DecodeDenonCode,
       TableBuilder()
           .Pairs("111", den1, den0)
           .Add({300, 4500})
           .Pairs("000011110000111", den1, den0),
       "-11011110-01001110-*0000111100001111_denon"},
      {"16b", DecodeSixteenBitCode, TableBuilder().Add({400, 50000}).Pairs(b18, den1, den0),
       "-01000111-01101100-*" + b18.substr(0, 15) + "1_16B"},
  };
  for (const auto& c : cases) {
    DecoderWork fresh;
    EXPECT_EQ(::Decode(c.decoder, c.table, fresh), c.expected) << c.name;
  }
}

TEST_F(Decoders, ShortFramesKeepLeftoverCharacters) {
  // H9X without a long period: only the '0' at position 1 is written over what the last call
  // left, so a fresh buffer gives the bare signature and a used one repeats the last frame.
  const std::string fresh = Decode(DecodeH9xCode, TableBuilder().Periods("1111", 1000, 400));
  EXPECT_EQ(fresh, "-00010101-10111011-*0*000000000000_H9X");
  const std::string full =
      Decode(DecodeH9xCode, TableBuilder().Add({40000}).Periods("1011001110001", 1000, 400));
  EXPECT_EQ(Decode(DecodeH9xCode, TableBuilder().Periods("1111", 1000, 400)), full);
  // The leftovers belong to one set of work buffers: another evaluation's set is still fresh.
  DecoderWork other;
  EXPECT_EQ(::Decode(DecodeH9xCode, TableBuilder().Periods("1111", 1000, 400), other), fresh);

  // 9B writes no terminator: a short frame keeps the tail of the previous one.
  Decode(DecodeNineBitCode,
         TableBuilder().Add({7000}).Pairs("111111111111111111", {500, 1500}, {500, 500}));
  EXPECT_EQ(
      Decode(DecodeNineBitCode, TableBuilder().Add({7000}).Pairs("00000", {500, 1500}, {500, 500})),
      "-00001001-00001011-*000000111111111111*");
}

}  // namespace
