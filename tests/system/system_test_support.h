#pragma once
// What the system tests share: the private stack's folders (from run_system_tests.sh), reading
// a file whole, a shell command's output, waiting for a condition with a bound, and the fake
// services.
#include <QProcess>
#include <QStringList>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace koru {

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

// A fake service process (a script of this folder) that logs its requests, one per line, and
// `ready` once it owns its bus names.
class FakeService {
 public:
  FakeService(const std::string& script, const std::string& log_name, QStringList arguments = {},
              const std::string& ready = "ready")
      : log_(Work() / log_name) {
    std::filesystem::remove(log_);
    process_.start("/usr/bin/python3",
                   QStringList{QString::fromStdString((Scripts() / script).string()),
                               QString::fromStdString(log_.string())} +
                       arguments);
    ready_ = Eventually([&] { return Logged(ready); });
  }
  ~FakeService() {
    process_.closeWriteChannel();
    process_.terminate();
    if (!process_.waitForFinished(5000)) process_.kill();
    process_.waitForFinished(5000);
  }
  bool Ready() const { return ready_; }
  bool Logged(const std::string& line) const {
    return ("\n" + ReadFile(log_)).find("\n" + line + "\n") != std::string::npos;
  }
  bool WaitFor(const std::string& line) const {
    return Eventually([&] { return Logged(line); });
  }
  std::string Log() const { return ReadFile(log_); }
  void Tell(const std::string& line) {
    process_.write((line + "\n").c_str());
    process_.waitForBytesWritten(5000);
  }
  bool Finished() { return process_.waitForFinished(5000); }
  int32_t Pid() const { return static_cast<int32_t>(process_.processId()); }

 private:
  std::filesystem::path log_;
  QProcess process_;
  bool ready_ = false;
};

}  // namespace system_test

}  // namespace koru
