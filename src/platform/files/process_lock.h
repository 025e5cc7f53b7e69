#pragma once
// An exclusive lock on a file that lasts as long as the process holds it. The system drops it
// when the process ends, however it ends, so a crash never leaves a lock behind that someone
// has to judge stale; and taking it writes nothing to the disk.
#include <string>
#include <utility>

namespace koru {

class ProcessLock {
 public:
  enum Result {
    kLocked,    // this process holds the lock now
    kTaken,     // another process holds it
    kNoAccess,  // the file cannot be opened (errno in Error())
    kLink,      // a symbolic link lies at the path: neither followed nor taken
    kForeign,   // the file belongs to another user: whatever holds it is not to be trusted
  };

  explicit ProcessLock(std::string path) : path_(std::move(path)) {}
  ~ProcessLock() { Unlock(); }
  ProcessLock(const ProcessLock&) = delete;
  ProcessLock& operator=(const ProcessLock&) = delete;

  // Does not wait. The file is made when missing and removed again by Unlock(); a holder that
  // crashed leaves it behind, unlocked.
  Result TryLock();
  void Unlock();
  bool Locked() const { return fd_ >= 0; }
  const std::string& Path() const { return path_; }
  int Error() const { return error_; }

 private:
  std::string path_;
  int fd_ = -1;
  int error_ = 0;
};

}  // namespace koru
