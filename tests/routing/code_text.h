#pragma once
// Receiver reports as the receiver thread sends them, and codes of built-in remotes.
#include <gtest/gtest.h>

#include <bitset>
#include <functional>
#include <string>

#include "platform/lines/mode2_recording.h"
#include "platform/messaging/message.h"
#include "receiver/code_bytes.h"
#include "receiver/replay_session.h"
#include "remotes/frame_encoder.h"

// A code text: signature prefix, the bytes, family suffix.
inline std::string CodeText(int header, int byte2, int byte3) {
  return "-" + std::bitset<8>(header / 1000).to_string() +
         std::bitset<8>(header % 1000).to_string() + "-" + std::bitset<8>(byte2).to_string() +
         std::bitset<8>(byte3).to_string() + "-1x";
}

inline Message ReportOf(const std::string& blink, int32_t type = 1) {
  Message report(FourCC("irCE"));
  report.AddString("_blink", blink);
  report.AddInt32("_remotetype", type);
  report.AddInt32("_ValidBits", 33);
  report.AddPointer("_BitDatas", nullptr);
  report.AddBool("_runCont", true);
  report.AddBool("_slowdown", false);
  return report;
}

// LR-SAT (one byte) and its keys.
constexpr int kLrSat = 253128;
constexpr int kLrSatN1 = 179, kLrSatN2 = 211, kLrSatN3 = 147;
constexpr int kLrSatN0 = 243, kLrSatN4 = 227, kLrSatN5 = 163, kLrSatUp = 221, kLrSatVolUp = 205,
              kLrSatMute = 245;
constexpr int kLrSatOk = 213, kLrSatMenu = 149, kLrSatFav = 197;

// What the real receiver thread reports for a recording, the reports `keep` takes.
inline std::vector<Message> ReceiverReports(const Mode2Recording& recording,
                                            const std::function<bool(const Message&)>& keep) {
  std::vector<Message> reports;
  ReplayThroughReceiver(recording, [&](bigtime_t, const Message& message) {
    if (keep(message)) reports.push_back(message);
  });
  return reports;
}
inline std::vector<Message> ReceiverReports(const std::vector<int32_t>& periods,
                                            const std::function<bool(const Message&)>& keep) {
  Mode2Recording recording;
  std::string error;
  EXPECT_EQ(ParseMode2(Mode2Text(periods), "press", &recording, &error), kOk) << error;
  return ReceiverReports(recording, keep);
}

// A report with a code long enough to be matched with the remotes.
inline bool IsKeyReport(const Message& message) {
  std::string blink;
  return message.FindString("_blink", &blink) == kOk && StripCodeSeparators(blink).size() > 12;
}
