#pragma once
// Runs `work` in a child process that dies at its Nth safe-file rename (counting from 1), the
// way a kill or power cut would stop KORU at that moment: before the rename or just after it.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

#include "platform/files/safe_file.h"

namespace koru {

enum class DieAt { kBeforeRename, kAfterRename };

// True when the child died where it was told to (exit status 0 from inside the rename).
inline bool CrashAtRename(int nth, DieAt when, const std::function<void()>& work) {
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    int count = 0;
    SetRenameFunctionForTests([&](const char* from, const char* to) {
      if (++count < nth) return std::rename(from, to);
      if (when == DieAt::kAfterRename) std::rename(from, to);
      _exit(0);
      return 0;
    });
    work();
    _exit(1);  // it never reached the Nth rename
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace koru
