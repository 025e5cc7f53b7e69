// The program as a user runs it: the demo recording through the real receiver thread in real
// time, the remotes, the routing and the actions (on the recording fakes of the test hook).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "koru_process.h"

namespace {

size_t Count(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

// The demo recording played once, to its end.
KoruRun RunDemo(const TempDir& dir, const QStringList& more = {}) {
  return RunKoru(QStringList{"--port", QString::fromStdString("replay:" + kDemoRecording),
                             "--exit-after-replay"} +
                     more,
                 dir);
}

}  // namespace

TEST(KoruProgram, PlaysTheDemoRecordingThroughEveryLayerAndQuits) {
  TempDir dir;
  const KoruRun run = RunDemo(dir);
  ASSERT_EQ(run.exit_code, 0) << run.out;
  const std::string& out = run.out;
  EXPECT_EQ(out.rfind("-KORU begin-\n", 0), 0u);
  EXPECT_NE(out.find("no display: running on the offscreen platform"), std::string::npos);
  EXPECT_NE(out.find(" 'got 35 RemotesFiles'\n"), std::string::npos);
  EXPECT_NE(out.find("Org.:35 Mod.:0 Usr.:0\n"), std::string::npos);
  EXPECT_NE(out.find("..listen on 'replay:" + kDemoRecording + "' \n"), std::string::npos);
  EXPECT_NE(out.find("-- StartUp --\n"), std::string::npos);
  // Fifteen presses, each recognised as its remote's key, in order. A press whose frames go on
  // after the receiver is resumed is reported again, as a held key is; when the view resumes
  // the receiver depends on the machine, so repeats are folded.
  std::vector<std::string> keys;
  size_t volume_keys = 0;
  const std::regex recognised(" => (\\S+) '([^'\n]*)'\n");
  for (std::sregex_iterator it(out.begin(), out.end(), recognised), end; it != end; ++it) {
    const std::string key = (*it)[1].str() + " " + (*it)[2].str();
    if (key.find(" Vol") != std::string::npos) ++volume_keys;
    if (keys.empty() || keys.back() != key) keys.push_back(key);
  }
  EXPECT_EQ(keys, kDemoKeys) << out;
  EXPECT_EQ(Count(out, " ask Remote: "), Count(out, " => ")) << out;
  EXPECT_EQ(Count(out, "'-?-'\n"), 0u) << out;  // no press left unmatched
  // Volume keys reach the front application, "Mute" the mixer.
  EXPECT_EQ(Count(out, "fake: message '_KYD'"), volume_keys) << out;
  EXPECT_NE(out.find("fake: mixer muted=1"), std::string::npos);
  EXPECT_NE(out.find("replay finished\n"), std::string::npos);
  EXPECT_NE(out.find("\n-KORU end-\n"), std::string::npos);
  // The port of this run is not stored.
  EXPECT_EQ(Count(out, "rs232_port"), 0u);
}

TEST(KoruProgram, ADryRunOfTheDemoTracesWhatItWouldDoAndAsksTheDesktopNothing) {
  TempDir dir;
  const KoruRun run = RunDemo(dir, {"--dry-run"});
  ASSERT_EQ(run.exit_code, 0) << run.out;
  const std::string& out = run.out;
  EXPECT_NE(out.find("dry run: actions are traced as \"would ...\" and not done\n"),
            std::string::npos);
  EXPECT_EQ(Count(out, "'-?-'\n"), 0u) << out;  // keys are recognised as usual
  EXPECT_NE(out.find("would send '_KYD'"), std::string::npos) << out;
  EXPECT_NE(out.find("would mute the master output\n"), std::string::npos) << out;
  // The recording fakes stand for the desktop of this run: they were asked to do nothing.
  EXPECT_EQ(Count(out, "fake: "), 0u) << out;
  EXPECT_NE(out.find("\n-KORU end-\n"), std::string::npos);
}

TEST(KoruProgram, OptionsAreCheckedAndExplained) {
  TempDir dir;
  KoruRun run = RunKoru({"--version"}, dir, false);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_TRUE(std::regex_search(run.out, std::regex("^KORU [0-9]+\\.[0-9]+\\.[0-9]+\n")));
  run = RunKoru({"--help"}, dir, false);
  EXPECT_NE(run.out.find("--exit-after-replay"), std::string::npos);
  run = RunKoru({"--exit-after-replay"}, dir, false);
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.out.find("needs --port replay:FILE"), std::string::npos);
  run = RunKoru({"--bogus"}, dir, false);
  EXPECT_EQ(run.exit_code, 2);
  run = RunKoru({"--open", "nowhere"}, dir, false);
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.out.find("no window named 'nowhere'"), std::string::npos) << run.out;
  for (const char* port : {"serial0", "serial5", "usb4", "lirc", "ttyS0", "/dev/lirc0"}) {
    run = RunKoru({"--port", port}, dir, false);
    EXPECT_EQ(run.exit_code, 2) << port;
    EXPECT_NE(run.out.find(std::string("no receiver port named '") + port +
                           "'; valid names: serial1..serial4, usb0..usb3, lirc0.."),
              std::string::npos)
        << run.out;
  }
  run = RunKoru({"--port", "replay:/nonexistent.mode2", "--exit-after-replay"}, dir, false);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.out.find("/nonexistent.mode2"), std::string::npos) << run.out;
}

// A recording from a pipe can be read only once: the program reads it when it starts and plays
// that copy (before, the line read the pipe a second time and played nothing).
TEST(KoruProgram, PlaysARecordingFromAPipe) {
  TempDir dir;
  const std::string recording = std::string(KORU_SOURCE_DIR) + "/data/nec_leadtek_key1.mode2";
  const KoruRun run = RunInTestFolder(
      "bash",
      {"-c", "exec \"$0\" --home \"$1\" --port replay:<(cat \"$2\") --exit-after-replay",
       KORU_PROGRAM, KoruHome(dir), QString::fromStdString(recording)},
      KoruEnvironment(dir));
  EXPECT_EQ(run.exit_code, 0) << run.out;
  EXPECT_NE(run.out.find(" ask Remote: "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("replay finished"), std::string::npos) << run.out;
}

// A FIFO's writer may come only after the program is up (before, the start waited for the
// writer to close it). The script writes the recording once the port listens; a bad recording
// fails the run.
TEST(KoruProgram, PlaysAFifoWhoseWriterComesAfterTheStart) {
  TempDir dir;
  const std::string good = std::string(KORU_SOURCE_DIR) + "/data/nec_leadtek_key1.mode2";
  const char* script =
      "mkfifo \"$2/rec\" && { \"$0\" --home \"$1\" --port replay:\"$2/rec\" --exit-after-replay "
      "> \"$2/out\" 2>&1 & }; "
      "for i in $(seq 600); do grep -q '..listen on' \"$2/out\" && break; sleep 0.1; done; "
      "grep -q '..listen on' \"$2/out\" || { kill $!; cat \"$2/out\"; exit 3; }; "
      "cat \"$3\" > \"$2/rec\"; wait $!; status=$?; cat \"$2/out\"; exit $status";
  for (const bool bad : {false, true}) {
    const std::filesystem::path folder = dir.Path() / (bad ? "bad" : "good");
    std::filesystem::create_directories(folder);
    const std::filesystem::path recording = folder / "key.mode2";
    std::filesystem::copy_file(good, recording);
    if (bad) std::ofstream(recording, std::ios::app) << "square 5\n";
    const KoruRun run = RunInTestFolder(
        "bash",
        {"-c", script, KORU_PROGRAM, KoruHome(dir), QString::fromStdString(folder.string()),
         QString::fromStdString(recording.string())},
        KoruEnvironment(dir));
    EXPECT_EQ(run.exit_code, bad ? 1 : 0) << run.out;
    EXPECT_EQ(run.out.find(" ask Remote: ") != std::string::npos, !bad) << run.out;
    EXPECT_NE(run.out.find(bad ? "unexpected 'square'" : "replay finished"), std::string::npos)
        << run.out;
  }
}
