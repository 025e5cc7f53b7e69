// A press of every named protocol through the receiver thread on the replay's virtual clock:
// reported with its own exact code as soon as its first frame is whole (within 2 ms of the
// frame's last edge), a shorter form never taken for a longer one's start, with and without
// jitter; generic frames keep the burst end.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/lines/mode2_recording.h"
#include "platform/messaging/trace.h"
#include "receiver/burst_evaluation.h"
#include "receiver/exact/exact_decoder.h"
#include "receiver/exact/exact_encoder.h"
#include "receiver/exact/pulse_distance_timing.h"
#include "receiver/replay_session.h"

namespace {

constexpr int32_t kQuietBefore = 300000;

// Samsung's shape: a 4.5 ms + 4.5 ms lead-in, 32 bits, a final mark (a generic code).
std::vector<int32_t> SamsungPress() {
  std::vector<int32_t> periods = {4500, 4500};
  for (int bit = 0; bit < 32; ++bit) periods.insert(periods.end(), {560, bit % 3 ? 560 : 1690});
  periods.insert(periods.end(), {560, 100000});
  return periods;
}

struct FirstReport {
  bigtime_t after_last_edge = -1;  // of the first frame, microseconds
  std::string exact;
  std::string whole;  // what the exact decoder reads from the press's first burst, whole
};

FirstReport ReportOf(std::vector<int32_t> periods, int32_t jitter, uint32_t seed, bool halves) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int32_t> shift(-jitter, jitter);
  for (int32_t& period : periods) period = std::max(1, period + shift(rng));
  // The first frame ends at its first gap (an XMP frame at its second: between its halves).
  bigtime_t last_edge = kReplayLeadIn + kQuietBefore;
  int gaps = halves ? 2 : 1;
  for (size_t i = 0; i < periods.size(); ++i) {
    if (i % 2 == 1 && periods[i] > kFrameGap && --gaps == 0) break;
    last_edge += periods[i];
  }
  FirstReport first;
  const auto burst_end = std::find_if(periods.begin() + 1, periods.end(),
                                      [](int32_t p) { return p > BurstEvaluation::kBurstEnd; });
  const std::vector<int32_t> burst(periods.begin(), burst_end);
  if (const std::optional<ExactCode> whole = ExactDecoder().Burst(burst, 0))
    first.whole = ExactField(*whole);
  Mode2Recording recording;
  AppendMode2(&recording, false, kQuietBefore);
  for (size_t i = 0; i < periods.size(); ++i) AppendMode2(&recording, i % 2 == 0, periods[i]);
  AppendMode2(&recording, false, 1000000);
  TraceCapture quiet;
  ReplayThroughReceiver(recording, [&](bigtime_t time, const ReceiverReport& report) {
    if (first.after_last_edge < 0 && report.exact) {
      first.after_last_edge = time - last_edge;
      first.exact = ExactField(*report.exact);
    }
  });
  return first;
}

TEST(FrameCompletion, ANamedFrameIsReportedWhenWholeAGenericOneAtTheBurstEnd) {
  // (RC-5 0x0C and 0x0D: a last bit of 0 and of 1.)
  const char* kPresses[] = {
      "NECx:0x1234:0x56",    "NEC32:0x1234:0x5678",
      "Sanyo:0x123:0x45",    "Kaseikyo:0x20020100:0x3D",
      "JVC:0x03:0x17",       "Sharp:0x01:0x02",
      "Denon:0x02:0x0E",     "Sony12:0x01:0x15",
      "Sony15:0x1A:0x15",    "Sony20:0x1F05:0x15",
      "RC-5:0x1E:0x0C",      "RC-5:0x1E:0x0D",
      "RC-5:0xA3:0x01",      "RC-5X:0x05:0x4C",
      "RC-6:0x04:0x0C",      "RC-6A:0x123:0x45",
      "RC-6A:0x1234:0x45",   "RC-6A:0x800F12:0x34",
      "RCMM:0x5:0x12",       "RCMM:0x123:0x456",
      "RCMM:0x1234:0x5678",  "RCMM:0xFFFF:0xFFFF",
      "XMP:0x123456:0x1234", "PDist:0x10:0x1234",
  };
  for (const auto& press : kPresses) {
    const std::optional<ExactCode> code = ParseExactField(press);
    ASSERT_TRUE(code) << press;
    std::vector<int32_t> periods;
    ASSERT_TRUE(EncodeExactPress(*code, 0, &periods)) << press;
    for (const int32_t jitter : {0, 200}) {
      for (uint32_t seed = 1; seed <= (jitter ? 4u : 1u); ++seed) {
        const FirstReport first =
            ReportOf(periods, jitter, seed, code->protocol == ExactProtocol::kXmp);
        const std::string what = std::string(press) + " jitter " + std::to_string(jitter) +
                                 " seed " + std::to_string(seed);
        // The code the burst end would have read; without jitter, the one sent.
        EXPECT_EQ(first.exact, first.whole) << what;
        if (jitter == 0) {
          EXPECT_EQ(first.whole, ExactField(*code)) << what;
        }
        // Jitter may damage a frame past reading: then it has no code at all.
        if (jitter != 0 && first.whole.empty()) continue;
        // A named protocol's frame when whole (jitter may make it another key's), any other at
        // the burst end.
        const std::optional<ExactCode> read = ParseExactField(first.exact);
        ASSERT_TRUE(read) << what;
        if (read->protocol != ExactProtocol::kPulseDistance &&
            read->protocol != ExactProtocol::kBiphase && read->protocol != ExactProtocol::kHash &&
            read->protocol != ExactProtocol::kTimingHash) {
          EXPECT_GE(first.after_last_edge, -1000) << what;  // (a NEC frame before its stop pulse)
          EXPECT_LE(first.after_last_edge, 2000) << what;
        } else {
          EXPECT_GT(first.after_last_edge, BurstEvaluation::kBurstEnd) << what;
        }
      }
    }
  }
  // Samsung's length is known although its code is a generic one.
  const FirstReport samsung = ReportOf(SamsungPress(), 0, 1, false);
  EXPECT_EQ(samsung.exact.rfind("PDist:0x20:", 0), 0u) << samsung.exact;
  EXPECT_LE(samsung.after_last_edge, 2000);
}

}  // namespace
