// The receiver thread end to end on a virtual clock: recordings in, report lines and trace out,
// in the process and through koru-decode (arguments, exit codes, standard output holding report
// lines only: the recordings of data/ against their lines in expected/).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <tuple>

#include "periods.h"
#include "receiver/report_line.h"
#include "run_tool.h"
#include "table_cells.h"

namespace koru {

namespace {

const std::string kData = KORU_SOURCE_DIR "/data/";
const std::string kExpected = KORU_SOURCE_DIR "/tests/receiver/expected/";

// The classic evaluation's report lines after the start report, and its trace.
std::vector<std::string> ClassicLines(const Mode2Recording& recording, std::string* trace) {
  std::vector<std::string> lines;
  for (const TimedReport& r : Replayed(recording, Evaluation::kClassic, trace))
    lines.push_back(ReceiverReportLine(r.time, r.report));
  EXPECT_EQ(lines.at(0).substr(0, 15), "0.000 irCE type");
  return {lines.begin() + 1, lines.end()};
}

// One recorded key press of a long-code remote.
Mode2Recording NecKey() {
  Mode2Recording recording;
  std::string error;
  EXPECT_EQ(ReadMode2File(kData + "nec_leadtek_key1.mode2", &recording, &error), kOk) << error;
  return recording;
}

// Runs no decoder takes: the first (20 short pairs, a 4500 break, short periods up to the 67th)
// is dropped with a trace. In the second, walls 1 (idle) to 4 clear the table and the 20-bit run
// between walls 5 to 7 decodes nothing; the wall count stays at 7, so the next period is
// evaluated at once: a single short period counts 2 and goes to the Saba decoder.
TEST(ReceiverReplay, UndecodableRunsAreDroppedAndTheWallCountStays) {
  const struct {
    const char* periods;
    std::vector<std::string> lines;
    std::vector<std::string> traced;
  } kCases[] = {
      {"500*40 4500 500*26", {}, {" ##ShowTiming (71)", " GREATWALL 1 "}},
      {"500,20000*3 500*40 20000,500*3 500",
       {"243.000 irCE type=5 bits=2 blink=\"-10001001-10010001-*0_saba\" header=137145 byte2=0 "
        "byte3=0 byte4=0"},
       {"** erzwingen-VB "}},
  };
  for (const auto& c : kCases) {
    std::string trace;
    EXPECT_EQ(ClassicLines(RecordingOf(PeriodsOf(c.periods), 0), &trace), c.lines) << c.periods;
    for (const std::string& part : c.traced) EXPECT_NE(trace.find(part), std::string::npos) << part;
  }
}

TEST(ReceiverReplay, HugeIdlePeriodStaysPositive) {
  // Two hours of idle before a key: the period is kept at the largest table value.
  Mode2Recording recording;
  AppendMode2(&recording, false, 7200ull * 1000 * 1000);
  AppendMode2(&recording, NecKey());
  std::string trace;
  const std::vector<std::string> lines = ClassicLines(recording, &trace);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(" type=1 bits=33 "), std::string::npos);
}

// The trace is buffered, but what the thread traced on the way to a report is written out by
// the time the report arrives: a process that dies after a report keeps it.
TEST(ReceiverReplay, TraceIsWrittenOutAtEachReport) {
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
        if (report.valid_bits > 0) at_report = ReadAll(path);
      },
      Evaluation::kClassic);
  SetTraceStream(nullptr);
  std::fclose(stream);
  EXPECT_NE(at_report.find(" GWall 1 ValidBits 33 \n"), std::string::npos) << at_report;
}

TEST(KoruDecode, OutputOfBothEvaluationsStaysByteForByte) {
  for (const auto& row : ReadTable("receiver/data/koru_decode_outputs.tsv", 3)) {
    std::string args = row[0];
    for (size_t at; (at = args.find("{data}")) != std::string::npos;) args.replace(at, 6, kData);
    const ToolRun result = RunTool("koru-decode", args);
    EXPECT_EQ(result.exit_code, 0) << row[0];
    EXPECT_EQ(result.out, ReadAll(kExpected + row[1])) << row[0];
    EXPECT_TRUE(row[2].empty() ? result.err.empty() : result.err.find(row[2]) != std::string::npos)
        << row[0] << ": " << result.err;
  }
}

// A pipe can be read only once, yet it is checked before anything plays.
TEST(KoruDecode, APipePlaysAsTheFileDoes) {
  const std::string file = kData + "demo.mode2";
  const ToolRun piped = RunTool("koru-decode", "--trace /dev/stdin " + file, "cat " + file);
  const ToolRun read = RunTool("koru-decode", "--trace " + file + " " + file);
  EXPECT_EQ(piped.exit_code, 0);
  EXPECT_NE(piped.out, "");
  EXPECT_EQ(std::tie(piped.out, piped.err), std::tie(read.out, read.err));
  const ToolRun bad = RunTool("koru-decode", file + " /dev/stdin", "printf 'pulse 5\\nspace x'");
  EXPECT_EQ(std::tie(bad.exit_code, bad.out, bad.err),
            std::tuple(1, "", "koru-decode: /dev/stdin:2: bad duration 'x'\n"));
}

TEST(KoruDecode, AnswersHelpAndVersionAndFailsClearlyOnBadInput) {
  TempDir dir;
  std::ofstream(dir.Path() / "bad.mode2") << "pulse 500\nspace 99999999999999999999\n";
  // The table's cells with the folder filled in and "\n" made a line end.
  const auto filled = [&dir](std::string text) {
    for (size_t at; (at = text.find("{dir}")) != std::string::npos;)
      text.replace(at, 5, dir.Path().string());
    return Unescaped(text);
  };
  for (const auto& row : ReadTable("receiver/data/koru_decode_usage.tsv", 4)) {
    const ToolRun result = RunTool("koru-decode", filled(row[0]));
    EXPECT_EQ(result.exit_code, std::stoi(row[1])) << row[0];
    for (const auto& [got, expected] :
         {std::pair{result.out, filled(row[2])}, std::pair{result.err, filled(row[3])}})
      EXPECT_TRUE(expected.empty() ? got.empty() : got.starts_with(expected))
          << row[0] << ": " << got;
  }
  EXPECT_NE(RunTool("koru-decode", "--help").out.find("Exit status: 0"), std::string::npos);
}

}  // namespace

}  // namespace koru
