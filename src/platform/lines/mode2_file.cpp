#include "platform/lines/mode2_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/lines/mode2_file_reader.h"

namespace koru {

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

// Reads `reader` to its end; its status tells whether every line was good.
status_t ReadThrough(Mode2FileReader& reader, std::string* error) {
  Mode2Entry entry;
  while (reader.Next(&entry)) {
  }
  if (reader.Status() != kOk && error) *error = reader.Error();
  return reader.Status();
}

}  // namespace

status_t Mode2File::Open(const std::string& path, std::shared_ptr<const Mode2File>* file,
                         std::string* error) {
  int fd = -1;
  const status_t opened = Mode2FileReader::OpenPath(path, &fd, error);
  if (opened != kOk) return opened;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    // A file is opened again for each pass: many files never hold as many descriptors.
    Mode2FileReader check(fd, path, 0);
    const status_t status = ReadThrough(check, error);
    ::close(fd);
    if (status != kOk) return status;
    file->reset(new Mode2File(path, -1));
    return kOk;
  }
  const int copy = AnonymousFile();
  if (copy < 0) {
    const int saved = errno;
    ::close(fd);
    if (error) *error = path + ": no room for a copy: " + std::strerror(saved);
    return StatusFromErrno(saved);
  }
  Mode2FileReader check(fd, path);
  check.CopyTo(copy);
  const status_t status = ReadThrough(check, error);
  ::close(fd);
  if (status != kOk) {
    ::close(copy);
    return status;
  }
  file->reset(new Mode2File(path, copy));
  return kOk;
}

Mode2File::~Mode2File() {
  if (copy_fd_ >= 0) ::close(copy_fd_);
}

std::unique_ptr<Mode2Source> Mode2File::Play() const {
  if (copy_fd_ < 0) return Mode2FileReader::Open(path_);
  return std::make_unique<Mode2FileReader>(copy_fd_, path_, 0, shared_from_this());
}

}  // namespace koru
