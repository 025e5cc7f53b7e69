#pragma once
// Runs the program as a user starts it, in a test folder of its own: no display (offscreen),
// settings and home inside the folder, the recording fakes behind the actions unless asked not
// to. The test target defines KORU_PROGRAM, the program's path.
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace koru {

struct KoruRun {
  int exit_code = -1;  // -1: crashed or killed after a minute
  std::string out;     // standard output and standard error, merged
};

inline QProcessEnvironment KoruEnvironment(const TempDir& dir, bool fake_desktop = true) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  env.insert("XDG_CONFIG_HOME", QString::fromStdString((dir.Path() / "config").string()));
  env.insert("HOME", QString::fromStdString(dir.Path().string()));
  if (fake_desktop) env.insert("KORU_FAKE_DESKTOP", "1");
  return env;
}

// Any program (the shell, for a pipe) in that environment, waited for at most a minute.
inline KoruRun RunInTestFolder(const QString& program, const QStringList& arguments,
                               const QProcessEnvironment& env) {
  QProcess process;
  process.setProcessEnvironment(env);
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  if (!process.waitForFinished(60000)) {
    process.kill();
    process.waitForFinished();
  }
  KoruRun run;
  run.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.out = process.readAll().toStdString();
  return run;
}

inline QString KoruHome(const TempDir& dir) {
  return QString::fromStdString((dir.Path() / "koru").string());
}

// koru --home <dir>/koru ARGUMENTS...
inline KoruRun RunKoru(const QStringList& arguments, const TempDir& dir, bool fake_desktop = true) {
  return RunInTestFolder(KORU_PROGRAM, QStringList{"--home", KoruHome(dir)} + arguments,
                         KoruEnvironment(dir, fake_desktop));
}

// The presses of data/demo.mode2 in order, each as "REMOTE KEY".
inline const std::vector<std::string> kDemoKeys = {
    "LR-SAT N1",       "LR-SAT N2",        "LR-SAT N3",   "Samsung312 up", "Samsung312 down",
    "Samsung312 left", "Samsung312 right", "DENON Vol+",  "DENON Vol-",    "Sony618 Mute",
    "Tokai_TV051 N5",  "Crown0301 N9",     "Burns158 OK", "MC5_CD Vol+",   "Sharp044 N7"};

inline const std::string kDemoRecording = std::string(KORU_SOURCE_DIR) + "/data/demo.mode2";

}  // namespace koru
