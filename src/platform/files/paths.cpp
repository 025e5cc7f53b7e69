#include "platform/files/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>

namespace koru {

namespace {
std::mutex g_mutex;
std::filesystem::path g_program_folder;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}
}  // namespace

std::filesystem::path HomeFolder() {
  std::string home = Env("HOME");
  if (!home.empty()) return home;
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return "/";
}

std::filesystem::path ProgramFolder() {
  {
    std::lock_guard lock(g_mutex);
    if (!g_program_folder.empty()) return g_program_folder;
  }
  if (std::string home = Env("KORU_HOME"); !home.empty()) return home;
  if (std::string data = Env("XDG_DATA_HOME"); !data.empty()) {
    return std::filesystem::path(data) / "koru";
  }
  return HomeFolder() / ".local" / "share" / "koru";
}

void SetProgramFolder(const std::filesystem::path& folder) {
  std::lock_guard lock(g_mutex);
  g_program_folder = folder;
}

std::filesystem::path SettingsFolder() {
  if (std::string config = Env("XDG_CONFIG_HOME"); !config.empty()) return config;
  return HomeFolder() / ".config";
}

std::string MapStoredPath(std::string_view stored) {
  constexpr std::string_view kBootHome = "/boot/home";
  if (stored.substr(0, kBootHome.size()) == kBootHome &&
      (stored.size() == kBootHome.size() || stored[kBootHome.size()] == '/')) {
    return HomeFolder().string() + std::string(stored.substr(kBootHome.size()));
  }
  return std::string(stored);
}

}  // namespace koru
