#pragma once
// What the system tests share: the private stack's folders (from run_system_tests.sh), reading
// a file whole, a shell command's output, and waiting for a condition with a bound.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace system_test {

inline std::filesystem::path Work() {
  return std::getenv("KORU_SYSTEM_WORK");
}

inline std::filesystem::path Scripts() {
  return std::getenv("KORU_SYSTEM_SCRIPTS");
}

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// What a shell command prints on its standard output.
inline std::string Command(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    pclose(pipe);
  }
  return output;
}

// Polls until `done` holds; false once `limit` is over. The bound only ends a test that would
// otherwise hang: it is far above what a loaded machine needs.
template <typename Done>
bool Eventually(Done done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace system_test
