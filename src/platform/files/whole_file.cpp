#include "platform/files/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace koru {

status_t ReadWholeFile(const std::string& path, size_t limit, std::string* text) {
  text->clear();
  // Without O_NONBLOCK the open of a FIFO waits for a writer, possibly for ever.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return StatusFromErrno(errno);
  struct stat info {};
  if (fstat(fd, &info) != 0 || !(S_ISREG(info.st_mode) || S_ISFIFO(info.st_mode))) {
    close(fd);
    return kBadType;
  }
  // A writer that is there may still be writing: wait for its data from here on.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  status_t status = kOk;
  char buffer[65536];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      status = StatusFromErrno(errno);
      break;
    }
    if (got == 0) break;
    text->append(buffer, static_cast<size_t>(got));
    if (text->size() > limit) {
      status = kBadValue;
      break;
    }
  }
  close(fd);
  if (status != kOk) text->clear();
  return status;
}

}  // namespace koru
