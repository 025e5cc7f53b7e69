#include "platform/files/process_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace koru {

namespace {

// The file still is the one at `path`: a holder that gave the lock up removed it in between.
bool StillAtPath(int fd, const std::string& path) {
  struct stat held = {}, named = {};
  return fstat(fd, &held) == 0 && lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
         held.st_ino == named.st_ino;
}

// Process id, program name and host, one a line: what earlier versions wrote into their lock
// and read from it to tell whether its holder still runs.
std::string Holder() {
  char host[256] = {};
  gethostname(host, sizeof host - 1);
  return std::to_string(getpid()) + "\nkoru\n" + host + "\n";
}

}  // namespace

ProcessLock::Result ProcessLock::TryLock() {
  if (fd_ >= 0) return kLocked;
  for (int attempt = 0; attempt < 8; ++attempt) {
    // Never through a link: a link planted in a shared temporary folder must not make us
    // create or hold someone else's file.
    const int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
      error_ = errno;
      struct stat at_path {};
      if (lstat(path_.c_str(), &at_path) == 0 && S_ISLNK(at_path.st_mode)) return kLink;
      return kNoAccess;
    }
    struct stat opened {};
    if (fstat(fd, &opened) != 0 || opened.st_uid != getuid()) {
      error_ = EPERM;
      close(fd);
      return kForeign;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      error_ = errno;
      close(fd);
      return error_ == EWOULDBLOCK ? kTaken : kNoAccess;
    }
    if (!StillAtPath(fd, path_)) {
      close(fd);  // removed by its last holder meanwhile: lock the file that is there now
      continue;
    }
    const std::string holder = Holder();
    if (ftruncate(fd, 0) != 0 || write(fd, holder.data(), holder.size()) < 0) {
      // Only for people and earlier versions; the lock holds without it.
    }
    fd_ = fd;
    error_ = 0;
    return kLocked;
  }
  error_ = EAGAIN;
  return kTaken;
}

void ProcessLock::Unlock() {
  if (fd_ < 0) return;
  // Removed while still held, so whoever locks next makes a new file; earlier versions took a
  // lock file that is there as held.
  unlink(path_.c_str());
  close(fd_);  // drops the lock
  fd_ = -1;
}

}  // namespace koru
