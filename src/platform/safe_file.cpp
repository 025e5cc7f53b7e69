#include "platform/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

status_t WriteFileSafely(const std::filesystem::path& path, std::string_view contents) {
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  std::string temp = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
  const int fd = mkstemp(temp.data());
  if (fd < 0) return StatusFromErrno(errno);
  size_t done = 0;
  while (done < contents.size()) {
    const ssize_t wrote = write(fd, contents.data() + done, contents.size() - done);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      const status_t status = StatusFromErrno(errno);
      close(fd);
      unlink(temp.c_str());
      return status;
    }
    done += static_cast<size_t>(wrote);
  }
  // Keep the old file's permissions where there is one; a new file gets the usual 0644.
  struct stat old_stat {};
  const mode_t mode = stat(path.c_str(), &old_stat) == 0 ? (old_stat.st_mode & 07777) : 0644;
  fchmod(fd, mode);
  if (fsync(fd) != 0 || close(fd) != 0) {
    const status_t status = StatusFromErrno(errno);
    unlink(temp.c_str());
    return status;
  }
  if (rename(temp.c_str(), path.c_str()) != 0) {
    const status_t status = StatusFromErrno(errno);
    unlink(temp.c_str());
    return status;
  }
  return kOk;
}

bool IsSafeFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}
