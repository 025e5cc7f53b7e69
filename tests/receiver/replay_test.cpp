// The receiver thread end to end on a virtual clock: recordings in, receiver reports out.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/lines/mode2_recording.h"
#include "platform/messaging/four_cc.h"
#include "platform/messaging/trace.h"
#include "receiver/receiver_flags.h"
#include "receiver/replay_session.h"
#include "receiver/report_line.h"
#include "temp_dir.h"

namespace {

struct Replay {
  std::vector<std::string> lines;
  std::vector<ReceiverReport> reports;
  int32_t status = 0;
  std::string trace;
};

Replay Replayed(const Mode2Recording& recording, Evaluation evaluation = Evaluation::kClassic) {
  Replay replay;
  TraceCapture trace;
  replay.status = ReplayThroughReceiver(
      recording,
      [&](bigtime_t time, const ReceiverReport& report) {
        replay.reports.push_back(report);
        replay.lines.push_back(ReceiverReportLine(time, report));
      },
      evaluation);
  replay.trace = trace.Text();
  return replay;
}

// Alternating pulse/space durations, starting with a pulse.
Mode2Recording Alternating(const std::vector<uint64_t>& durations) {
  Mode2Recording recording;
  bool pulse = true;
  for (uint64_t d : durations) {
    AppendMode2(&recording, pulse, d);
    pulse = !pulse;
  }
  return recording;
}

class ReceiverReplay : public ::testing::Test {
 protected:
  // One recorded key press of a long-code remote.
  static Mode2Recording NecKey() {
    Mode2Recording recording;
    std::string error;
    EXPECT_EQ(ReadMode2File(KORU_SOURCE_DIR "/data/nec_leadtek_key1.mode2", &recording, &error),
              kOk)
        << error;
    return recording;
  }
};

TEST_F(ReceiverReplay, StartReportHasNoCode) {
  const Replay replay = Replayed({});
  EXPECT_EQ(replay.status, 0);
  ASSERT_EQ(replay.reports.size(), 1u);
  const ReceiverReport& start = replay.reports[0];
  EXPECT_EQ(start.bytes.length, 0);
  EXPECT_FALSE(start.slowdown);
  EXPECT_FALSE(start.exact.has_value());
  // Without separators the start text is empty: no bytes are shown.
  EXPECT_EQ(replay.lines[0], "0.000 irCE type=0 bits=0 blink=\"-------- -------- \"");
}

TEST_F(ReceiverReplay, LongFrameIsDecodedAtTheSixtySeventhPeriod) {
  const Replay replay = Replayed(NecKey());
  ASSERT_EQ(replay.lines.size(), 2u);
  // Idle wall + header + 32 bit pairs = 67 periods, ending 167.5 ms into the replay.
  EXPECT_EQ(replay.lines[1],
            "167.500 irCE type=1 bits=33 blink=\"-100-11111-11100000-00101111-11010000-1x\" "
            "header=159224 byte2=47 byte3=208 byte4=0");
  EXPECT_TRUE(replay.trace.find("** erzwingen-DNr ") != std::string::npos);
  EXPECT_FALSE(replay.reports[1].slowdown);
}

TEST_F(ReceiverReplay, UndecodableBurstIsDroppedWithATrace) {
  // Idle wall, 20 short pairs, a 4500 break, then short periods up to the 67th period: the
  // longest run is 20 bits, which no decoder takes.
  std::vector<uint64_t> durations(40, 500);
  durations.push_back(4500);
  durations.insert(durations.end(), 26, 500);
  const Replay replay = Replayed(Alternating(durations));
  EXPECT_EQ(replay.lines.size(), 1u);  // the start report only
  EXPECT_NE(replay.trace.find(" ##ShowTiming (71)"), std::string::npos);
  EXPECT_NE(replay.trace.find(" GREATWALL 1 "), std::string::npos);
}

TEST_F(ReceiverReplay, WallCountStaysAfterAnEmptyEvaluation) {
  // Walls 1 (idle) to 4 clear the table; 40 short periods and walls 5 to 7 give a 20-bit run
  // that decodes nothing. The wall count stays at 7, so the next period is evaluated at once:
  // a single short period counts 2 and goes to the Saba decoder.
  std::vector<uint64_t> durations = {500, 20000, 500, 20000, 500, 20000};
  durations.insert(durations.end(), 40, 500);
  durations.insert(durations.end(), {20000, 500, 20000, 500, 20000, 500, 500});
  const Replay replay = Replayed(Alternating(durations));
  ASSERT_EQ(replay.lines.size(), 2u);
  EXPECT_EQ(replay.lines[1],
            "243.000 irCE type=5 bits=2 blink=\"-10001001-10010001-*0_saba\" "
            "header=137145 byte2=0 byte3=0 byte4=0");
  EXPECT_NE(replay.trace.find("** erzwingen-VB "), std::string::npos);
}

TEST_F(ReceiverReplay, HugeIdlePeriodStaysPositive) {
  // Two hours of idle before a key: the period is kept at the largest table value.
  Mode2Recording recording;
  AppendMode2(&recording, false, 7200ull * 1000 * 1000);
  AppendMode2(&recording, NecKey());
  const Replay replay = Replayed(recording);
  ASSERT_EQ(replay.lines.size(), 2u);
  EXPECT_NE(replay.lines[1].find(" type=1 bits=33 "), std::string::npos);
}

// The trace is buffered, but what the thread traced on the way to a report is written out by
// the time the report arrives: a process that dies after a report keeps it.
TEST_F(ReceiverReplay, TraceIsWrittenOutAtEachReport) {
  TempDir dir;
  const std::string path = (dir.Path() / "trace").string();
  FILE* stream = std::fopen(path.c_str(), "w");
  ASSERT_NE(stream, nullptr);
  std::setvbuf(stream, nullptr, _IOFBF, 1 << 16);
  SetTraceStream(stream);
  std::string at_report;
  ReplayThroughReceiver(
      NecKey(),
      [&](bigtime_t, const ReceiverReport& report) {
        if (report.valid_bits > 0) {
          std::ifstream written(path);
          at_report.assign(std::istreambuf_iterator<char>(written), {});
        }
      },
      Evaluation::kClassic);
  SetTraceStream(nullptr);
  std::fclose(stream);
  EXPECT_NE(at_report.find(" GWall 1 ValidBits 33 \n"), std::string::npos) << at_report;
}

}  // namespace
