#include "platform/desktop/process_executable.h"

#include <filesystem>
#include <fstream>

namespace koru {

std::string ProcessExecutableName(int32_t pid) {
  if (pid <= 0) return {};
  std::error_code error;
  auto exe = std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", error);
  if (!error) return exe.filename().string();
  // Another user's process: its name is still readable.
  std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
  std::string name;
  std::getline(comm, name);
  return name;
}

}  // namespace koru
