#include "receiver/pulse_analysis.h"

#include <gtest/gtest.h>

#include "platform/messaging/trace.h"
#include "table_builder.h"

namespace {

struct CountCase {
  const char* name;
  TableBuilder table;
  int32_t valid_bits;
};

TEST(CountValidBits, LongestRunOfShortPairs) {
  const CountCase cases[] = {
      // The closing pair of zeros counts like a short pair.
      {"all zero", TableBuilder(), 1},
      {"header counts, long period ends the run",
       TableBuilder().Add({2400, 600}).Pairs("11111111111", {600, 600}, {600, 600}).Add({20000}),
       12},
      {"eight pairs then the end of data", TableBuilder().Pairs("00000000", {}, {560, 560}), 9},
      {"longer frame wins, counts are not added",
       TableBuilder()
           .Pairs("000000000000", {}, {560, 560})
           .Add({25000})
           .Pairs("00000000", {}, {560, 560}),
       12},
      // (3000, 3500) is short period-wise but its sum is too long: no count, no break.
      {"long sum neither counts nor breaks",
       TableBuilder().Pairs("0000", {}, {500, 500}).Add({3000, 3500}).Pairs("00", {}, {500, 500}),
       7},
      // A first period of exactly 4000 shifts the scan by one entry and keeps the run.
      {"first period 4000 steps one entry",
       TableBuilder().Pairs("000", {}, {500, 500}).Add({4000, 500, 500}).Add({20000}), 4},
      {"zero in one half of a pair counts", TableBuilder().Add({500, 0, 500, 500, 9000}), 2},
  };
  for (const auto& c : cases) {
    TraceCapture trace;
    EXPECT_EQ(CountValidBits(c.table.data(), false), c.valid_bits) << c.name;
    EXPECT_FALSE(trace.Contains(" hoppala ")) << c.name;
  }
}

TEST(CountValidBits, NoShortPairAnywhereIsTraced) {
  TableBuilder table;
  for (int i = 0; i < 90; ++i) table.Add({5000});
  TraceCapture trace;
  EXPECT_EQ(CountValidBits(table.data(), false), 0);
  EXPECT_TRUE(trace.Contains(" hoppala "));
}

TEST(CountValidBits, HugePeriodsDoNotOverflowTheSum) {
  TableBuilder table;
  table.Add({2147483647, 2147483647}).Pairs("000", {}, {500, 500});
  EXPECT_EQ(CountValidBits(table.data(), false), 4);
}

TEST(ScanHighLowBits, MeanOfPairsInRange) {
  struct Case {
    const char* name;
    TableBuilder table;
    int32_t mean;
  } cases[] = {
      {"truncated mean", TableBuilder().Add({500, 500, 500, 501}), 1000},
      // 12000 is skipped alone, so the pairs after it stay aligned.
      {"long period skipped", TableBuilder().Add({12000, 100, 200, 300, 400}), 500},
      {"upper bound 10000 included", TableBuilder().Add({10000, 10000}), 20000},
      {"zero is not in range", TableBuilder().Add({0, 500, 700, 0}), 1200},
  };
  for (const auto& c : cases) EXPECT_EQ(ScanHighLowBits(c.table.data()), c.mean) << c.name;
}

TEST(ScanHighLowBits, NoUsablePairGivesZeroAndTraces) {
  TraceCapture trace;
  EXPECT_EQ(ScanHighLowBits(TableBuilder().data()), 0);
  EXPECT_TRUE(trace.Contains(" [DIV.ERR]"));
}

}  // namespace
