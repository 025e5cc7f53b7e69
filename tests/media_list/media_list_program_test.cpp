// The program started with its media list open, as `koru --open media-list` does it.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <fstream>

#include "temp_dir.h"
#include "test_files.h"

namespace {

struct KoruRun {
  int exit_code = -1;
  std::string out;
};

KoruRun RunKoru(const QStringList& arguments, const TempDir& dir) {
  QProcess koru;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  env.insert("XDG_CONFIG_HOME", QString::fromStdString((dir.Path() / "config").string()));
  env.insert("HOME", QString::fromStdString(dir.Path().string()));
  env.insert("KORU_FAKE_DESKTOP", "1");
  koru.setProcessEnvironment(env);
  koru.setProcessChannelMode(QProcess::MergedChannels);
  koru.start(
      KORU_PROGRAM,
      QStringList{"--home", QString::fromStdString((dir.Path() / "koru").string())} << arguments);
  if (!koru.waitForFinished(60000)) {
    koru.kill();
    koru.waitForFinished();
  }
  KoruRun run;
  run.exit_code = koru.exitStatus() == QProcess::NormalExit ? koru.exitCode() : -1;
  run.out = koru.readAll().toStdString();
  return run;
}

}  // namespace

TEST(MediaListProgram, OpensTheListAtStartAndLeavesAnUnchangedFileAlone) {
  TempDir dir;
  const std::string mine = "# mine\n/m/a.ogg\n/m/b.ogg\n";
  std::ofstream(dir.Path() / "_koru_media_list") << mine;
  const std::string key = std::string(KORU_SOURCE_DIR) + "/data/nec_leadtek_key1.mode2";
  const KoruRun run = RunKoru({"--open", "media-list", "--port",
                               QString::fromStdString("replay:" + key), "--exit-after-replay"},
                              dir);
  ASSERT_EQ(run.exit_code, 0) << run.out;
  EXPECT_NE(run.out.find(" ::CheckFolderImages \n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\n ~MEDIAWin  goodbye \n"), std::string::npos) << run.out;
  EXPECT_EQ(ReadAll(dir.Path() / "_koru_media_list"), mine);
}
