// The program as a user runs it: the demo recording through the real receiver thread in real
// time, the remotes, the routing and the actions (on the recording fakes of the test hook); its
// options; one KORU per program folder; LIRC clients on its lircd socket.
#include <gtest/gtest.h>

#include <QStandardPaths>
#include <QThread>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "koru_process.h"
#include "table_cells.h"
#include "test_files.h"

namespace koru {

namespace {

const QString kKeyRecording = "replay:" KORU_SOURCE_DIR "/data/nec_leadtek_key1.mode2";

size_t Count(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

// A koru on `dir`'s program folder, settings and runtime folder, headless.
void Start(QProcess* koru, const TempDir& dir, const QStringList& arguments) {
  QProcessEnvironment env = KoruEnvironment(dir);
  env.insert("XDG_RUNTIME_DIR", QString::fromStdString(dir.Path().string()));
  koru->setProcessEnvironment(env);
  koru->setProcessChannelMode(QProcess::MergedChannels);
  koru->start(KORU_PROGRAM, QStringList{"--home", KoruHome(dir)} + arguments);
}

// Reads the output until `text` shows (or the program ends, or a minute passes).
bool WaitFor(QProcess* koru, QByteArray* out, const QByteArray& text) {
  for (int i = 0; i < 600 && !out->contains(text); ++i) {
    if (koru->state() == QProcess::NotRunning) break;
    koru->waitForReadyRead(100);
    *out += koru->readAll();
  }
  *out += koru->readAll();
  return out->contains(text);
}

// The demo, then a dry run of it, which traces what it would do: the recording fakes stand for
// the desktop of the run and are asked nothing.
TEST(KoruProgram, PlaysTheDemoRecordingThroughEveryLayerAndQuitsAndADryRunDoesNothing) {
  for (const bool dry : {false, true}) {
    TempDir dir;
    const KoruRun run =
        RunKoru(QStringList{"--port", QString::fromStdString("replay:" + kDemoRecording),
                            "--exit-after-replay"} +
                    (dry ? QStringList{"--dry-run"} : QStringList{}),
                dir);
    ASSERT_EQ(run.exit_code, 0) << run.out;
    const std::string& out = run.out;
    EXPECT_EQ(out.rfind("-KORU begin-\n", 0), 0u);
    for (const auto& row : ReadTable("shell/data/demo_run.tsv", 2))
      EXPECT_TRUE(row[0] != (dry ? "dry" : "real") ||
                  std::regex_search(out, std::regex(Unescaped(row[1]))))
          << row[1];
    // Fifteen presses, each recognised as its remote's key, in order. A press whose frames go
    // on after the receiver is resumed is reported again, as a held key is; when the view
    // resumes the receiver depends on the machine, so repeats are folded.
    std::vector<std::string> keys;
    size_t volume_keys = 0;
    const std::regex recognised(" => (\\S+) '([^'\n]*)'\n");
    for (std::sregex_iterator it(out.begin(), out.end(), recognised), end; it != end; ++it) {
      const std::string key = (*it)[1].str() + " " + (*it)[2].str();
      volume_keys += key.find(" Vol") != std::string::npos;
      if (keys.empty() || keys.back() != key) keys.push_back(key);
    }
    EXPECT_EQ(keys, kDemoKeys) << out;
    EXPECT_EQ(Count(out, " ask Remote: "), Count(out, " => ")) << out;
    EXPECT_EQ(Count(out, "'-?-'\n"), 0u) << out;  // no press left unmatched
    // Volume keys reach the front application ("Mute" the mixer, above).
    EXPECT_EQ(Count(out, dry ? "would send '_KYD'" : "fake: message '_KYD'"), volume_keys) << out;
    EXPECT_EQ(Count(out, "fake: ") == 0, dry) << out;
    EXPECT_EQ(Count(out, "rs232_port"), 0u) << "the port of this run is not stored";
  }
}

TEST(KoruProgram, OptionsAreCheckedAndExplained) {
  TempDir dir;
  for (const auto& row : ReadTable("shell/data/program_options.tsv", 3)) {
    const KoruRun run = RunKoru(QString::fromStdString(row[0]).split(' '), dir, false);
    EXPECT_EQ(run.exit_code, std::stoi(row[1])) << row[0];
    EXPECT_TRUE(std::regex_search(run.out, std::regex(row[2]))) << row[0] << ":\n" << run.out;
  }
}

// A recording from a pipe can be read only once: the program reads it when it starts and plays
// that copy (before, the line read the pipe a second time and played nothing). A FIFO's writer
// may come only after the program is up (before, the start waited for the writer to close it):
// data/fifo_writer.sh writes the recording once the port listens; a bad recording fails the run.
TEST(KoruProgram, PlaysARecordingFromAPipeAndAFifoWhoseWriterComesAfterTheStart) {
  TempDir dir;
  for (const std::string source : {"pipe", "fifo", "bad fifo"}) {
    const bool bad = source == "bad fifo";
    const std::filesystem::path folder = dir.Path() / source;
    std::filesystem::create_directories(folder);
    const std::filesystem::path recording = folder / "key.mode2";
    std::filesystem::copy_file(kKeyRecording.mid(7).toStdString(), recording);
    if (bad) std::ofstream(recording, std::ios::app) << "square 5\n";
    const QStringList pipe = {
        "-c", "exec \"$0\" --home \"$1\" --port replay:<(cat \"$3\") --exit-after-replay"};
    const KoruRun run = RunInTestFolder(
        "bash",
        (source == "pipe" ? pipe
                          : QStringList{KORU_SOURCE_DIR "/tests/shell/data/fifo_writer.sh"}) +
            QStringList{KORU_PROGRAM, KoruHome(dir), QString::fromStdString(folder.string()),
                        QString::fromStdString(recording.string())},
        KoruEnvironment(dir));
    EXPECT_EQ(run.exit_code, bad ? 1 : 0) << source << "\n" << run.out;
    EXPECT_EQ(run.out.find(" ask Remote: ") != std::string::npos, !bad) << run.out;
    EXPECT_NE(run.out.find(bad ? "unexpected 'square'" : "replay finished"), std::string::npos)
        << run.out;
  }
}

// A first start killed hard leaves its lock file and socket behind: the next start runs all the
// same, and a start after that brings it to the front and ends.
TEST(SingleInstance, ACrashedStartBlocksNothingAndASecondStartBringsTheFirstToTheFront) {
  TempDir dir;
  QProcess crashed, first, second;
  QByteArray out, first_out;
  Start(&crashed, dir, {"--port", kKeyRecording});
  ASSERT_TRUE(WaitFor(&crashed, &out, "-- StartUp --")) << out.toStdString();
  crashed.kill();
  crashed.waitForFinished();

  Start(&first, dir, {"--port", kKeyRecording});
  ASSERT_TRUE(WaitFor(&first, &first_out, " ask Remote: ")) << first_out.toStdString();
  Start(&second, dir, {"--port", kKeyRecording});
  ASSERT_TRUE(second.waitForFinished(60000));
  const QByteArray second_out = second.readAll();
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0) << second_out.toStdString();
  EXPECT_TRUE(second_out.contains("KORU runs already: its window comes to the front\n"));
  EXPECT_FALSE(second_out.contains("-- StartUp --")) << "no second window, no second port";

  EXPECT_TRUE(WaitFor(&first, &first_out, "another start of KORU: the window comes to the front"))
      << first_out.toStdString();
  first.terminate();  // SIGTERM ends KORU the ordinary way
  ASSERT_TRUE(first.waitForFinished(60000));
  EXPECT_EQ(first.exitCode(), 0);

  // A program folder of its own is an instance of its own.
  TempDir other;
  QProcess independent;
  Start(&independent, other, {"--port", kKeyRecording, "--exit-after-replay"});
  ASSERT_TRUE(independent.waitForFinished(60000));
  EXPECT_EQ(independent.exitCode(), 0);
  EXPECT_TRUE(independent.readAll().contains("-- StartUp --"));
}

// LIRC's own irw reads the keys of the demo recording from the program's lircd socket.
TEST(KoruProgram, IrwPrintsEveryKeyOfTheDemoWithItsRemoteAndKeyName) {
  const QString irw = QStandardPaths::findExecutable("irw");
  if (irw.isEmpty()) GTEST_SKIP() << "irw is not installed";
  TempDir dir;
  // Two quiet seconds first, so irw is surely connected before the first key.
  const std::filesystem::path recording = dir.Path() / "demo.mode2";
  std::ofstream(recording) << "space 2000000\n" << std::ifstream(kDemoRecording).rdbuf();
  const std::filesystem::path socket = dir.Path() / "run" / "lircd";
  QProcess koru, client;
  Start(&koru, dir,
        {"--port", QString::fromStdString("replay:" + recording.string()), "--exit-after-replay",
         "--lircd-socket", QString::fromStdString(socket.string())});
  for (int i = 0; i < 3000 && !std::filesystem::exists(socket); ++i) QThread::msleep(10);
  ASSERT_TRUE(std::filesystem::exists(socket));
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

// `--open preset-editor --open media-list`: the windows open beside the main window at
// start-up; the editor writes the current preset file when there is none, an unchanged media
// list file is left alone. A socket path that is taken is said, and the program runs on.
TEST(OpenOption, OpensThePresetEditorAndTheMediaListAtStartUpAndRunsOnWithoutItsSocket) {
  TempDir dir;
  const std::string mine = "# mine\n/m/a.ogg\n/m/b.ogg\n";
  std::ofstream(dir.Path() / "_koru_media_list") << mine;
  const std::filesystem::path taken = dir.Path() / "taken";
  std::ofstream(taken) << "a file, not a socket";
  const KoruRun run =
      RunKoru({"--port", kKeyRecording, "--exit-after-replay", "--open", "preset-editor", "--open",
               "media-list", "--lircd-socket", QString::fromStdString(taken.string())},
              dir);
  ASSERT_EQ(run.exit_code, 0) << run.out;
  EXPECT_NE(ReadAll(dir.Path() / "koru" / "_Remotes_" / "_preset_").find("[N0]: 'Workspace'  \n"),
            std::string::npos);
  EXPECT_EQ(ReadAll(dir.Path() / "_koru_media_list"), mine);
  for (const std::string& line : std::vector<std::string>{
           " ::CheckFolderImages \n", "\n ~MEDIAWin  goodbye \n", "replay finished",
           "LIRC clients cannot be served: '" + taken.string() + "' exists and is not a socket"})
    EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
}

}  // namespace

}  // namespace koru
