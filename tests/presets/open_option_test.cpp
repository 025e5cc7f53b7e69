// `koru --open preset-editor` as a user starts it (offscreen): the editor opens beside the main
// window and, with no preset file yet, writes the current one.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "temp_dir.h"
#include "test_files.h"

namespace {

struct KoruRun {
  int exit_code = -1;
  std::string out;
};

KoruRun RunKoru(const TempDir& dir, const QStringList& arguments) {
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
      QStringList{"--home", QString::fromStdString((dir.Path() / "koru").string())} + arguments);
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

TEST(OpenOption, OpensThePresetEditorAtStartUp) {
  TempDir dir;
  const QString recording = QString("replay:") + KORU_SOURCE_DIR + "/data/nec_leadtek_key1.mode2";
  const KoruRun run =
      RunKoru(dir, {"--port", recording, "--exit-after-replay", "--open", "preset-editor"});
  ASSERT_EQ(run.exit_code, 0) << run.out;
  EXPECT_NE(ReadAll(dir.Path() / "koru" / "_Remotes_" / "_preset_").find("[N0]: 'Workspace'  \n"),
            std::string::npos)
      << run.out;
}
