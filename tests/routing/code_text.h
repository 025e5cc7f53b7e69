#pragma once
// Receiver reports as the receiver thread makes them, and codes of built-in remotes.
#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/lines/mode2_recording.h"
#include "receiver/code_bytes.h"
#include "receiver/exact/exact_code.h"
#include "receiver/exact/exact_encoder.h"
#include "receiver/receiver_report.h"
#include "receiver/replay_session.h"
#include "remotes/frame_encoder.h"

namespace koru {

// A code text: signature prefix, the bytes, family suffix.
inline std::string CodeText(int header, int byte2, int byte3) {
  return "-" + std::bitset<8>(header / 1000).to_string() +
         std::bitset<8>(header % 1000).to_string() + "-" + std::bitset<8>(byte2).to_string() +
         std::bitset<8>(byte3).to_string() + "-1x";
}

inline ReceiverReport ReportOf(const std::string& blink, int32_t type = 1) {
  return MakeReceiverReport(blink, type, 33, false);
}

// LR-SAT (one byte) and its keys.
constexpr int kLrSat = 253128;
constexpr int kLrSatN0 = 243, kLrSatN1 = 179, kLrSatN4 = 227, kLrSatVolUp = 205, kLrSatMute = 245;
constexpr int kLrSatOk = 213, kLrSatMenu = 149, kLrSatFav = 197;

using ReportFilter = std::function<bool(const ReceiverReport&)>;

// What the real receiver thread reports for a recording, the reports `keep` takes.
inline std::vector<ReceiverReport> ReceiverReports(const Mode2Recording& recording,
                                                   const ReportFilter& keep) {
  std::vector<ReceiverReport> reports;
  ReplayThroughReceiver(recording, [&](bigtime_t, const ReceiverReport& report) {
    if (keep(report)) reports.push_back(report);
  });
  return reports;
}
inline std::vector<ReceiverReport> ReceiverReports(const std::vector<int32_t>& periods,
                                                   const ReportFilter& keep) {
  Mode2Recording recording;
  std::string error;
  EXPECT_EQ(ParseMode2(Mode2Text(periods), "press", &recording, &error), kOk) << error;
  return ReceiverReports(recording, keep);
}

inline bool IsExactReport(const ReceiverReport& report) {
  return report.exact.has_value();
}

// The reports with an exact code of one press of `field` (`extra` more frames, as a key held
// down), through the real receiver thread, every period moved by up to 200 us.
inline std::vector<ReceiverReport> ExactReportsOf(const std::string& field, uint32_t seed,
                                                  int32_t extra = 0) {
  const std::optional<ExactCode> code = ParseExactField(field);
  EXPECT_TRUE(code) << field;
  std::vector<int32_t> periods;
  EXPECT_TRUE(code && EncodeExactPress(*code, extra, &periods)) << field;
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int32_t> shift(-200, 200);
  for (int32_t& period : periods) period = std::max(1, period + shift(rng));
  std::vector<ReceiverReport> reports = ReceiverReports(periods, IsExactReport);
  EXPECT_FALSE(reports.empty()) << field;
  return reports;
}

// A press of a classic remote's key (one-byte mode) as the receiver reports it, exact code and
// all.
inline ReceiverReport ClassicKeyReportOf(int32_t header, int32_t code) {
  KeyPress press;
  std::string why;
  EXPECT_EQ(EncodeKeyPress(header, 2, code, 0, &press, &why), kOk) << why;
  const std::vector<ReceiverReport> reports = ReceiverReports(press.periods, IsExactReport);
  EXPECT_FALSE(reports.empty()) << header << " " << code;
  return reports.empty() ? ReportOf("-") : reports.front();
}

}  // namespace koru
