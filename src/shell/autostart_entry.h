#pragma once
// "Start at login": the XDG autostart entry $XDG_CONFIG_HOME/autostart/<id>.desktop, which
// desktop sessions start at login. It is KORU's desktop entry with the program's own path, so
// that a KORU that is not on the PATH starts too.
#include <filesystem>
#include <string>
#include <vector>

namespace koru {

class AutostartEntry {
 public:
  // `config` is the settings folder ($XDG_CONFIG_HOME); `program` the path to start, with
  // `arguments` (the run's --home: the KORU started at login uses the same program folder).
  AutostartEntry(std::filesystem::path config, std::string program,
                 std::vector<std::string> arguments = {});

  std::filesystem::path Path() const;
  bool Enabled() const;
  // Writes or removes the entry; false (and a trace line) when that fails.
  bool SetEnabled(bool enabled);

  // The entry's text.
  std::string Text() const;

 private:
  std::filesystem::path config_;
  std::string program_;
  std::vector<std::string> arguments_;
};

inline constexpr const char* kDesktopId = "org.koru.KORU";

}  // namespace koru
