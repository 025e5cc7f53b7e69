#include "platform/lines/mode2_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/lines/mode2_file_reader.h"

namespace {

// An unlinked file in the temporary folder: it vanishes with its last descriptor.
int AnonymousFile() {
  const char* folder = std::getenv("TMPDIR");
  if (folder == nullptr || *folder == '\0') folder = "/tmp";
  int fd = ::open(folder, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0) return fd;
  std::string name = std::string(folder) + "/koru-recording-XXXXXX";
  fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd >= 0) ::unlink(name.c_str());
  return fd;
}

}  // namespace

status_t Mode2File::Open(const std::string& path, std::shared_ptr<const Mode2File>* file,
                         std::string* error) {
  int fd = -1;
  const status_t opened = Mode2FileReader::OpenPath(path, &fd, error);
  if (opened != kOk) return opened;
  int played = fd;
  Mode2FileReader check(fd, path, 0);
  struct stat info {};
  if (::fstat(fd, &info) == 0 && !S_ISREG(info.st_mode)) {
    played = AnonymousFile();
    if (played < 0) {
      const int saved = errno;
      ::close(fd);
      if (error) *error = path + ": no room for a copy: " + std::strerror(saved);
      return StatusFromErrno(saved);
    }
    check = Mode2FileReader(fd, path);
    check.CopyTo(played);
  }
  Mode2Entry entry;
  while (check.Next(&entry)) {
  }
  if (played != fd) ::close(fd);
  if (check.Status() != kOk) {
    ::close(played);
    if (error) *error = check.Error();
    return check.Status();
  }
  file->reset(new Mode2File(path, played));
  return kOk;
}

Mode2File::~Mode2File() {
  ::close(fd_);
}

std::unique_ptr<Mode2Source> Mode2File::Play() const {
  return std::make_unique<Mode2FileReader>(fd_, path_, 0, shared_from_this());
}
