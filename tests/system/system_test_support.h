#pragma once
// What the system tests share: the private stack's folders (from run_system_tests.sh), a shell
// command's output, waiting for a condition with a bound, and the fake services.
#include <QProcess>
#include <QStringList>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "temp_dir.h"
#include "test_files.h"

namespace koru {

namespace system_test {

inline std::filesystem::path Work() {
  return std::getenv("KORU_SYSTEM_WORK");
}

inline std::filesystem::path Scripts() {
  return std::getenv("KORU_SYSTEM_SCRIPTS");
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

inline size_t Occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
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

// True once `line` is a whole line of the file at `path`.
inline bool LogGets(const std::filesystem::path& path, const std::string& line) {
  return Eventually(
      [&] { return ("\n" + ReadAll(path)).find("\n" + line + "\n") != std::string::npos; });
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
    ready_ = WaitFor(ready);
  }
  ~FakeService() {
    process_.closeWriteChannel();
    process_.terminate();
    if (!process_.waitForFinished(5000)) process_.kill();
    process_.waitForFinished(5000);
  }
  bool Ready() const { return ready_; }
  bool Logged(const std::string& line) const {
    return ("\n" + Log()).find("\n" + line + "\n") != std::string::npos;
  }
  bool WaitFor(const std::string& line) const { return LogGets(log_, line); }
  std::string Log() const { return ReadAll(log_); }
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
