#pragma once
// Recordings made by LIRC's irsimsend from a configuration, for comparing KORU's signals with
// LIRC's own. irsimsend writes "simsend.out" into its working folder; each call runs in a folder
// of its own. Tests skip when irsimsend is not installed.
#include <QStandardPaths>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "lirc/lirc_config.h"
#include "platform/lines/mode2_recording.h"
#include "temp_dir.h"
#include "test_files.h"

namespace koru {

inline bool IrsimsendInstalled() {
  return !QStandardPaths::findExecutable("irsimsend").isEmpty();
}

// `text` as one word of a shell command.
inline std::string ShellWord(const std::string& text) {
  std::string word = "'";
  for (const char c : text) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return word + "'";
}

// The periods irsimsend sends for `remote` of the configuration file `file_text`: every key
// `count` times, or the presses of `keys` one after the other; nothing when irsimsend refuses
// the configuration or writes anything but periods.
inline std::optional<std::vector<int32_t>> IrsimsendPeriods(
    const std::string& file_text, const LircRemote& remote, int32_t count,
    const std::vector<std::string>& keys = {}) {
  TempDir dir;
  const std::filesystem::path config = dir.Path() / "remote.conf";
  {
    // Only the remote's lines, so irsimsend sends only its keys.
    std::istringstream in(file_text);
    std::ofstream out(config);
    std::string line;
    for (int32_t n = 1; std::getline(in, line); ++n)
      if (n >= remote.line && n <= remote.end_line) out << line << "\n";
  }
  // Through the shell rather than QProcess: QProcess starts children in a way the thread
  // sanitizer cannot follow, and its reports on the receiver threads that run next are false.
  const std::string folder = ShellWord(dir.Path().string());
  std::string command =
      "cd " + folder + " && XDG_CACHE_HOME=" + folder + " irsimsend -c " + std::to_string(count);
  if (!keys.empty()) {
    std::ofstream list(dir.Path() / "keys");
    for (const std::string& name : keys) list << name << "\n";
    command += " -l " + ShellWord((dir.Path() / "keys").string());
  }
  command += " " + ShellWord(config.string()) + " >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return std::nullopt;
  Mode2Recording recording;
  if (ParseMode2(ReadAll(dir.Path() / "simsend.out"), "simsend.out", &recording, nullptr) != kOk ||
      recording.empty() || !recording.front().pulse)
    return std::nullopt;
  std::vector<int32_t> periods;
  for (const Mode2Entry& entry : recording)
    periods.push_back(static_cast<int32_t>(entry.microseconds));
  return periods;
}

// Every remote of LIRC's remote database with its file, in a stable order (none when the
// database is not installed); the errors of files that cannot be read go to `refused`.
inline std::vector<std::pair<std::string, LircRemote>> LircDatabaseRemotes(
    std::vector<std::string>* refused = nullptr) {
  std::vector<std::string> files;
  const char* database = "/usr/share/lirc/remotes";
  if (std::filesystem::is_directory(database))
    for (const auto& entry : std::filesystem::recursive_directory_iterator(database)) {
      const std::string leaf = entry.path().filename().string();
      if (entry.is_regular_file() && !leaf.starts_with("lircmd") && !leaf.starts_with("lircrc") &&
          leaf != "README")
        files.push_back(entry.path().string());
    }
  std::sort(files.begin(), files.end());
  std::vector<std::pair<std::string, LircRemote>> all;
  for (const std::string& file : files) {
    std::vector<LircRemote> remotes;
    std::string error;
    if (ParseLircConfig(ReadAll(file), file, &remotes, nullptr, &error) != kOk && refused)
      refused->push_back(error);
    for (LircRemote& remote : remotes) all.emplace_back(file, std::move(remote));
  }
  return all;
}

// LIRC loses a level when a bit has a period of 0 (its signal slips by one period); KORU sends
// such a bit as the light it stands for, so irsimsend's recordings of these remotes differ.
inline bool IrsimsendSlipsPeriods(const LircRemote& remote) {
  return !remote.Raw() && (remote.one.pulse == 0 || remote.one.space == 0 ||
                           remote.zero.pulse == 0 || remote.zero.space == 0);
}

}  // namespace koru
