// LIRC's own irw reads the keys of the demo recording from the program's lircd socket.
#include <gtest/gtest.h>

#include <QStandardPaths>
#include <QThread>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "koru_process.h"

TEST(KoruProgram, IrwPrintsEveryKeyOfTheDemoWithItsRemoteAndKeyName) {
  const QString irw = QStandardPaths::findExecutable("irw");
  if (irw.isEmpty()) GTEST_SKIP() << "irw is not installed";
  TempDir dir;
  // Two quiet seconds first, so irw is surely connected before the first key.
  const std::filesystem::path recording = dir.Path() / "demo.mode2";
  {
    std::ifstream demo(kDemoRecording);
    std::ofstream(recording) << "space 2000000\n" << demo.rdbuf();
  }
  const std::filesystem::path socket = dir.Path() / "run" / "lircd";
  QProcess koru;
  koru.setProcessEnvironment(KoruEnvironment(dir));
  koru.setProcessChannelMode(QProcess::MergedChannels);
  koru.start(
      KORU_PROGRAM,
      {"--home", KoruHome(dir), "--port", QString::fromStdString("replay:" + recording.string()),
       "--exit-after-replay", "--lircd-socket", QString::fromStdString(socket.string())});
  for (int i = 0; i < 3000 && !std::filesystem::exists(socket); ++i) QThread::msleep(10);
  ASSERT_TRUE(std::filesystem::exists(socket));
  QProcess client;
  client.start(irw, {QString::fromStdString(socket.string())});
  ASSERT_TRUE(koru.waitForFinished(60000));
  const std::string out = koru.readAll().toStdString();
  EXPECT_EQ(koru.exitCode(), 0) << out;
  EXPECT_NE(out.find("lircd socket: serving LIRC clients on '" + socket.string() + "'"),
            std::string::npos)
      << out;
  // The socket closes with the program, and irw ends with it.
  ASSERT_TRUE(client.waitForFinished(10000));
  EXPECT_FALSE(std::filesystem::exists(socket));

  // A press whose frames go on after the receiver resumed is a held key: its repeats count up
  // (a busy machine may resume the receiver late, and the key then starts again at 00).
  const std::regex line("([0-9a-f]{16}) ([0-9a-f]{2}) (\\S+) (\\S+)");
  std::vector<std::string> keys;
  std::istringstream printed(client.readAllStandardOutput().toStdString());
  for (std::string text; std::getline(printed, text);) {
    std::smatch field;
    ASSERT_TRUE(std::regex_match(text, field, line)) << text;
    const std::string key = field[4].str() + " " + field[3].str();
    if (field[2] != "00") {
      ASSERT_FALSE(keys.empty());
      EXPECT_EQ(keys.back(), key) << "a repeat of another key";
    }
    if (keys.empty() || keys.back() != key) keys.push_back(key);
  }
  EXPECT_EQ(keys, kDemoKeys) << out;
}

TEST(KoruProgram, ASocketThatCannotBeServedIsSaidAndTheProgramRunsOn) {
  TempDir dir;
  const std::filesystem::path taken = dir.Path() / "taken";
  std::ofstream(taken) << "a file, not a socket";
  const std::string recording = std::string(KORU_SOURCE_DIR) + "/data/nec_leadtek_key1.mode2";
  const KoruRun run =
      RunKoru({"--port", QString::fromStdString("replay:" + recording), "--exit-after-replay",
               "--lircd-socket", QString::fromStdString(taken.string())},
              dir);
  EXPECT_EQ(run.exit_code, 0) << run.out;
  EXPECT_NE(run.out.find("LIRC clients cannot be served: '" + taken.string() +
                         "' exists and is not a socket"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("replay finished"), std::string::npos) << run.out;
  EXPECT_NE(RunKoru({"--help"}, dir).out.find("--lircd-socket PATH"), std::string::npos);
}
