// Files, folders and URLs bound to keys, opened without a shell and without waiting.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "actions/actions.h"
#include "platform/files/paths.h"
#include "platform/launcher/launcher.h"
#include "platform/messaging/alert.h"
#include "platform/messaging/clock.h"
#include "platform/messaging/trace.h"

namespace koru {

namespace {

std::string::size_type FindIgnoringCase(const std::string& text, std::string_view word) {
  auto found = std::search(text.begin(), text.end(), word.begin(), word.end(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  });
  return found == text.end() ? std::string::npos : static_cast<size_t>(found - text.begin());
}

// A regular file with an execute bit whose contents are an ELF image.
bool IsExecutable(const std::filesystem::path& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return false;
  fs::perms perms = fs::status(path, error).permissions();
  if ((perms & (fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec)) ==
      fs::perms::none) {
    return false;
  }
  std::ifstream file(path, std::ios::binary);
  char magic[4] = {};
  file.read(magic, sizeof magic);
  return file.gcount() == 4 && magic[0] == 0x7f && magic[1] == 'E' && magic[2] == 'L' &&
         magic[3] == 'F';
}

bool IsReadable(const std::filesystem::path& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return true;
  std::ifstream file(path, std::ios::binary);
  return file.is_open();
}

}  // namespace

std::string CutUrl(const std::string& text) {
  // The schemes a desktop browser or file manager opens; the earliest one in the text wins.
  size_t position = std::string::npos;
  for (std::string_view scheme : {"http:", "https:", "ftp:", "file:/"})
    position = std::min(position, FindIgnoringCase(text, scheme));
  if (position == std::string::npos) return {};
  std::string url = text.substr(position);
  for (char stop : {'\n', '\r', ' '}) {
    size_t at = url.find(stop);
    if (at != std::string::npos && at >= 8) url.resize(at);
  }
  for (size_t at; (at = url.find("\n\r")) != std::string::npos;) url.erase(at, 2);
  return url;
}

void IOpenThisFile(ActionServices& services, const std::string& path, bool alert) {
  FollowMousFocus(services, false);
  std::filesystem::path file = MapStoredPath(path);
  if (!IsReadable(file)) {
    if (alert) AnyAlert(path + "\n ..File not found :(", false);
  } else {
    bool executable = IsExecutable(file);
    status_t result = executable ? services.launcher->StartExecutable(file.string())
                                 : services.launcher->OpenWithPreferredApp(file.string());
    if (result != kOk) {
      Trace(" oops: couldn't execute :\n");
      Trace("[open][%s]\n", file.c_str());
    }
  }
  snooze(120000);
}

void IOpenThisUrl(ActionServices& services, const std::string& text, bool alert) {
  FollowMousFocus(services, false);
  if (text.size() <= 4) {
    if (alert) AnyAlert("URL to Short!", false);
    return;
  }
  std::string url = CutUrl(text);
  if (url.empty()) {
    AnyAlert(text + " \n -- no http or file:/.. ", false);
    return;
  }
  if (services.launcher->OpenUrl(url) != kOk) {
    Trace(" oops: couldn't execute :\n");
    Trace("[open]%s \n", url.c_str());
  }
  snooze(2000000);
}

}  // namespace koru
