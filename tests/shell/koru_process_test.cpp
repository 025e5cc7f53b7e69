// The program as a user runs it: the demo recording through the real receiver thread in real
// time, the remotes, the routing and the actions (on the recording fakes of the test hook).
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <regex>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace {

struct KoruRun {
  int exit_code = -1;
  std::string out;
};

KoruRun RunKoru(const QStringList& arguments, const TempDir& dir, bool fake_desktop) {
  QProcess koru;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  env.insert("XDG_CONFIG_HOME", QString::fromStdString((dir.Path() / "config").string()));
  env.insert("HOME", QString::fromStdString(dir.Path().string()));
  if (fake_desktop) env.insert("KORU_FAKE_DESKTOP", "1");
  koru.setProcessEnvironment(env);
  koru.setProcessChannelMode(QProcess::MergedChannels);
  QStringList all = {"--home", QString::fromStdString((dir.Path() / "koru").string())};
  all << arguments;
  koru.start(KORU_PROGRAM, all);
  KoruRun run;
  if (!koru.waitForFinished(60000)) {
    koru.kill();
    koru.waitForFinished();
  }
  run.exit_code = koru.exitStatus() == QProcess::NormalExit ? koru.exitCode() : -1;
  run.out = koru.readAll().toStdString();
  return run;
}

size_t Count(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

}  // namespace

TEST(KoruProgram, PlaysTheDemoRecordingThroughEveryLayerAndQuits) {
  TempDir dir;
  const std::string demo = std::string(KORU_SOURCE_DIR) + "/data/demo.mode2";
  const KoruRun run = RunKoru(
      {"--port", QString::fromStdString("replay:" + demo), "--exit-after-replay"}, dir, true);
  ASSERT_EQ(run.exit_code, 0) << run.out;
  const std::string& out = run.out;
  EXPECT_EQ(out.rfind("-KORU begin-\n", 0), 0u);
  EXPECT_NE(out.find("no display: running on the offscreen platform"), std::string::npos);
  EXPECT_NE(out.find(" 'got 35 RemotesFiles'\n"), std::string::npos);
  EXPECT_NE(out.find("Org.:35 Mod.:0 Usr.:0\n"), std::string::npos);
  EXPECT_NE(out.find("..listen on 'replay:" + demo + "' \n"), std::string::npos);
  EXPECT_NE(out.find("-- StartUp --\n"), std::string::npos);
  // Fifteen presses, each recognised as its remote's key, in order. A press whose frames go on
  // after the receiver is resumed is reported again, as a held key is; when the view resumes
  // the receiver depends on the machine, so repeats are folded.
  const std::vector<std::string> expected = {
      "LR-SAT 'N1'",       "LR-SAT 'N2'",       "LR-SAT 'N3'",        "Samsung312 'up'",
      "Samsung312 'down'", "Samsung312 'left'", "Samsung312 'right'", "DENON 'Vol+'",
      "DENON 'Vol-'",      "Sony618 'Mute'",    "Tokai_TV051 'N5'",   "Crown0301 'N9'",
      "Burns158 'OK'",     "MC5_CD 'Vol+'",     "Sharp044 'N7'"};
  std::vector<std::string> keys;
  size_t volume_keys = 0;
  const std::regex recognised(" => ([^\n]*)\n");
  for (std::sregex_iterator it(out.begin(), out.end(), recognised), end; it != end; ++it) {
    const std::string key = (*it)[1];
    if (key.find("'Vol") != std::string::npos) ++volume_keys;
    if (keys.empty() || keys.back() != key) keys.push_back(key);
  }
  EXPECT_EQ(keys, expected) << out;
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
  run = RunKoru({"--port", "replay:/nonexistent.mode2", "--exit-after-replay"}, dir, false);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.out.find("/nonexistent.mode2"), std::string::npos) << run.out;
}
