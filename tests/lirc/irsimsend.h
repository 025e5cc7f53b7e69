#pragma once
// Recordings made by LIRC's irsimsend from a configuration, for comparing KORU's signals with
// LIRC's own. irsimsend writes "simsend.out" into its working folder; each call runs in a folder
// of its own. Tests skip when irsimsend is not installed.
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "lirc/lirc_config.h"
#include "platform/lines/mode2_recording.h"
#include "temp_dir.h"

inline bool IrsimsendInstalled() {
  return !QStandardPaths::findExecutable("irsimsend").isEmpty();
}

// The periods irsimsend sends for `key` (every key of the file when empty), each `count` times,
// or for the presses of `keys` one after the other; nothing when irsimsend refuses the
// configuration or writes anything but periods.
inline std::optional<std::vector<int32_t>> IrsimsendPeriods(
    const std::string& config_text, const std::string& key, int32_t count,
    const std::vector<std::string>& keys = {}) {
  TempDir dir;
  const std::filesystem::path config = dir.Path() / "remote.conf";
  std::ofstream(config) << config_text;
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_CACHE_HOME", QString::fromStdString(dir.Path().string()));
  process.setProcessEnvironment(env);
  process.setWorkingDirectory(QString::fromStdString(dir.Path().string()));
  QStringList arguments{"-c", QString::number(count)};
  if (!keys.empty()) {
    std::ofstream list(dir.Path() / "keys");
    for (const std::string& name : keys) list << name << "\n";
    arguments << "-l" << QString::fromStdString((dir.Path() / "keys").string());
  } else if (!key.empty()) {
    arguments << "-k" << QString::fromStdString(key);
  }
  arguments << QString::fromStdString(config.string());
  process.start("irsimsend", arguments);
  if (!process.waitForFinished(60000) || process.exitCode() != 0) return std::nullopt;
  std::ifstream in(dir.Path() / "simsend.out");
  std::stringstream text;
  text << in.rdbuf();
  Mode2Recording recording;
  if (ParseMode2(text.str(), "simsend.out", &recording, nullptr) != kOk || recording.empty() ||
      !recording.front().pulse)
    return std::nullopt;
  std::vector<int32_t> periods;
  for (const Mode2Entry& entry : recording)
    periods.push_back(static_cast<int32_t>(entry.microseconds));
  return periods;
}

// The text of one remote of a configuration file, so irsimsend sends only its keys.
inline std::string OneRemoteText(const std::string& file_text, const LircRemote& remote) {
  std::istringstream in(file_text);
  std::string line, text;
  for (int32_t n = 1; std::getline(in, line); ++n)
    if (n >= remote.line && n <= remote.end_line) text += line + "\n";
  return text;
}

// LIRC loses a level when a bit has a period of 0 (its signal slips by one period); KORU sends
// such a bit as the light it stands for, so irsimsend's recordings of these remotes differ.
inline bool IrsimsendSlipsPeriods(const LircRemote& remote) {
  return !remote.Raw() && (remote.one.pulse == 0 || remote.one.space == 0 ||
                           remote.zero.pulse == 0 || remote.zero.space == 0);
}
