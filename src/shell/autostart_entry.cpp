#include "shell/autostart_entry.h"

#include <system_error>

#include "platform/files/safe_file.h"
#include "platform/messaging/trace.h"

namespace koru {

namespace {

// The program as one argument of Exec: as it is when it needs no quoting, else in double
// quotes with `"`, `` ` ``, `$` and `\` escaped. A literal '%' is "%%" either way, and the
// desktop file's own string escaping doubles every backslash once more.
std::string ExecArgument(const std::string& program) {
  bool plain = !program.empty();
  for (char c : program) {
    const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '/' || c == '.' || c == '_' || c == '-' || c == '+' || c == '%';
    plain = plain && safe;
  }
  std::string argument;
  if (!plain) argument += '"';
  for (char c : program) {
    if (c == '%') {
      argument += "%%";
    } else if (c == '\\') {
      argument += "\\\\\\\\";
    } else if (c == '"' || c == '`' || c == '$') {
      argument += "\\\\";
      argument += c;
    } else {
      argument += c;
    }
  }
  if (!plain) argument += '"';
  return argument;
}

}  // namespace

AutostartEntry::AutostartEntry(std::filesystem::path config, std::string program,
                               std::vector<std::string> arguments)
    : config_(std::move(config)), program_(std::move(program)), arguments_(std::move(arguments)) {}

std::filesystem::path AutostartEntry::Path() const {
  return config_ / "autostart" / (std::string(kDesktopId) + ".desktop");
}

bool AutostartEntry::Enabled() const {
  std::error_code error;
  return std::filesystem::is_regular_file(Path(), error);
}

std::string AutostartEntry::Text() const {
  std::string exec = ExecArgument(program_);
  for (const std::string& argument : arguments_) exec += " " + ExecArgument(argument);
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=KORU\n"
         "GenericName=IR remote control\n"
         "Comment=Use an infrared remote control as an input device for the desktop\n"
         "Exec=" +
         exec +
         "\n"
         "Icon=" +
         kDesktopId +
         "\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

bool AutostartEntry::SetEnabled(bool enabled) {
  std::error_code error;
  if (!enabled) {
    std::filesystem::remove(Path(), error);
    if (error) Trace("autostart: cannot remove %s: %s\n", Path().c_str(), error.message().c_str());
    return !error;
  }
  std::filesystem::create_directories(Path().parent_path(), error);
  const status_t status = WriteFileSafely(Path(), Text());
  if (status != kOk) {
    Trace("autostart: cannot write %s: %s\n", Path().c_str(), StatusText(status).c_str());
    return false;
  }
  return true;
}

}  // namespace koru
