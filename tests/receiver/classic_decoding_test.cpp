// The classic analysis and decoders on the duration tables of data/classic_tables.tsv, and the
// bytes a report reads from their code texts.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "periods.h"
#include "receiver/code_bytes.h"
#include "receiver/duration_table.h"
#include "receiver/protocol_decoders.h"
#include "receiver/pulse_analysis.h"
#include "test_files.h"

namespace koru {

namespace {

std::string Decode(ProtocolDecoder decoder, DecoderWork& work, const std::string& periods) {
  std::vector<int32_t> table = PeriodsOf(periods);
  table.resize(kDurationTableSize);
  char code[kCodeTextSize] = "-empty-";
  decoder(work, table.data(), code);
  return code;
}

// Each row of the table: the result of the valid-bit count, the mean of the pairs or a decoder,
// and the trace it writes.
TEST(Decoders, CountsMeansAndCompleteFramesOfEveryFamily) {
  static const std::map<std::string, ProtocolDecoder> kFunctions = {
      {"count",
       [](DecoderWork&, const int32_t* table, char* code) {
         snprintf(code, kCodeTextSize, "%d", CountValidBits(table, false));
       }},
      {"mean", [](DecoderWork&, const int32_t* table,
                  char* code) { snprintf(code, kCodeTextSize, "%d", ScanHighLowBits(table)); }},
      {"long", DecodeLongCode},
      {"burns", DecodeBurnsCode},
      {"saba", DecodeSabaCode},
      {"h9x", DecodeH9xCode},
      {"6b", DecodeSixBitCode},
      {"9b", DecodeNineBitCode},
      {"12b", DecodeTwelveBitCode},
      {"denon", DecodeDenonCode},
      {"16b", DecodeSixteenBitCode}};
  for (const auto& row : ReadTable("receiver/data/classic_tables.tsv", 5)) {
    TraceCapture trace;
    DecoderWork fresh;
    EXPECT_EQ(Decode(kFunctions.at(row[0]), fresh, row[3]), row[1]) << row[0] << ": " << row[4];
    const bool never = row[2].starts_with('!');
    EXPECT_TRUE(row[2] == "-" || trace.Contains(row[2].substr(never ? 1 : 0)) != never)
        << row[4] << trace.Text();
  }
}

TEST(Decoders, ShortFramesKeepLeftoverCharacters) {
  // H9X without a long period: only the '0' at position 1 is written over what the last call
  // left, so a fresh buffer gives the bare signature and a used one repeats the last frame.
  TraceCapture quiet;
  DecoderWork work, other;
  const std::string fresh = Decode(DecodeH9xCode, work, "1000*4");
  EXPECT_EQ(fresh, "-00010101-10111011-*0*000000000000_H9X");
  const std::string full =
      Decode(DecodeH9xCode, work, "40000 1000 400 1000*2 400*2 1000*3 400*3 1000");
  EXPECT_EQ(Decode(DecodeH9xCode, work, "1000*4"), full);
  // The leftovers belong to one set of work buffers: another evaluation's set is still fresh.
  EXPECT_EQ(Decode(DecodeH9xCode, other, "1000*4"), fresh);
  // 9B writes no terminator: a short frame keeps the tail of the previous one.
  Decode(DecodeNineBitCode, work, "7000 500,1500*18");
  EXPECT_EQ(Decode(DecodeNineBitCode, work, "7000 500*10"),
            "-00001001-00001011-*000000111111111111*");
}

// The report's bytes are read once where the report is made; they must read as the text did.
TEST(CodeByteValue, ReadsBytesAfterRemovingSeparatorsAsTheReportsBytesDo) {
  for (const auto& row : ReadTable("receiver/data/code_bytes.tsv", 4)) {
    const int32_t index = std::stoi(row[1]);
    std::string text, shown;
    EXPECT_EQ(CodeByteValue(row[0].c_str(), index, &text), std::stoi(row[2])) << row[0] << index;
    const CodeBytes bytes = ReadCodeBytes(row[0]);
    bytes.AppendByte(index, &shown);
    EXPECT_EQ(bytes.Byte(index), std::stoi(row[2])) << row[0] << " " << index;
    EXPECT_EQ(text + "|" + shown, row[3] + "|" + row[3]) << row[0] << " " << index;
  }
  // Matched only with more than 12 characters without separators.
  EXPECT_FALSE(ReadCodeBytes("-0101-0101-0101-").Classic());
  EXPECT_TRUE(ReadCodeBytes("-0101-0101-0101-0").Classic());
  EXPECT_EQ(ReadCodeBytes("-00000001-00000010-").Header(), 1002);
}

}  // namespace

}  // namespace koru
