#include "platform/files/process_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

ProcessLock::Result ProcessLock::TryLock() {
  if (fd_ >= 0) return kLocked;
  // Never through a link: a link planted in a shared temporary folder must not make us
  // create or hold someone else's file.
  const int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    error_ = errno;
    return kNoAccess;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    error_ = errno;
    close(fd);
    return error_ == EWOULDBLOCK ? kTaken : kNoAccess;
  }
  fd_ = fd;
  error_ = 0;
  return kLocked;
}

void ProcessLock::Unlock() {
  if (fd_ < 0) return;
  close(fd_);  // drops the lock
  fd_ = -1;
}
