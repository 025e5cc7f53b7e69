#include "platform/launcher/desktop_entry.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/files/paths.h"

namespace koru {

namespace {

std::vector<std::filesystem::path> DataFolders() {
  std::vector<std::filesystem::path> folders;
  const char* home = std::getenv("XDG_DATA_HOME");
  folders.push_back(home && *home ? std::filesystem::path(home)
                                  : HomeFolder() / ".local" / "share");
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  std::string list = dirs && *dirs ? dirs : "/usr/local/share:/usr/share";
  std::stringstream stream(list);
  std::string folder;
  while (std::getline(stream, folder, ':')) {
    if (!folder.empty()) folders.emplace_back(folder);
  }
  return folders;
}

}  // namespace

std::optional<std::filesystem::path> FindDesktopEntry(std::string_view id) {
  if (id.empty() || id.find('/') != std::string_view::npos || id.starts_with(".")) {
    return std::nullopt;
  }
  std::string nested(id);
  for (char& c : nested) {
    if (c == '-') c = '/';
  }
  for (const auto& folder : DataFolders()) {
    for (const std::string& name : {std::string(id), nested}) {
      std::filesystem::path file = folder / "applications" / name;
      std::error_code error;
      if (std::filesystem::is_regular_file(file, error)) return file;
    }
  }
  return std::nullopt;
}

std::optional<std::string> ReadDesktopExec(const std::filesystem::path& file) {
  std::ifstream stream(file);
  std::string line;
  bool in_entry = false;
  while (std::getline(stream, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with("[")) {
      in_entry = line == "[Desktop Entry]";
      continue;
    }
    if (in_entry && line.starts_with("Exec=")) return line.substr(5);
  }
  return std::nullopt;
}

std::vector<std::string> ExpandDesktopExec(std::string_view exec,
                                           const std::vector<std::string>& files) {
  std::vector<std::string> args;
  bool used_files = false;
  size_t i = 0;
  while (i < exec.size()) {
    while (i < exec.size() && (exec[i] == ' ' || exec[i] == '\t')) ++i;
    if (i >= exec.size()) break;
    std::string arg;
    bool quoted_or_text = false;
    bool list_code = false;  // %F or %U standing alone
    while (i < exec.size() && exec[i] != ' ' && exec[i] != '\t') {
      char c = exec[i];
      if (c == '"') {
        quoted_or_text = true;
        ++i;
        while (i < exec.size() && exec[i] != '"') {
          if (exec[i] == '\\' && i + 1 < exec.size()) ++i;
          arg += exec[i++];
        }
        if (i >= exec.size()) return {};
        ++i;
        continue;
      }
      if (c == '%' && i + 1 < exec.size()) {
        char code = exec[i + 1];
        i += 2;
        if (code == '%') {
          arg += '%';
          quoted_or_text = true;
        } else if (code == 'f' || code == 'u') {
          used_files = true;
          if (!files.empty()) arg += files.front(), quoted_or_text = true;
        } else if (code == 'F' || code == 'U') {
          used_files = true;
          list_code = true;
        }
        continue;
      }
      arg += c;
      quoted_or_text = true;
      ++i;
    }
    if (list_code && arg.empty()) {
      args.insert(args.end(), files.begin(), files.end());
    } else if (quoted_or_text) {
      args.push_back(arg);
    }
  }
  if (!used_files) args.insert(args.end(), files.begin(), files.end());
  return args;
}

}  // namespace koru
