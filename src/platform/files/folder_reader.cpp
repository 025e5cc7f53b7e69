#include "platform/files/folder_reader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace koru {

FolderReader::FolderReader(std::filesystem::path folder) : folder_(std::move(folder)) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  listed_at_ns_ = static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
  fd_ = open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) return;
  // The listing gets a descriptor of its own: closedir closes it, fd_ stays for openat.
  const int list_fd = dup(fd_);
  DIR* dir = list_fd >= 0 ? fdopendir(list_fd) : nullptr;
  if (dir == nullptr) {
    if (list_fd >= 0) close(list_fd);
    return;
  }
  while (const dirent* entry = readdir(dir)) {
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    unsigned char type = entry->d_type;
    if (type == DT_UNKNOWN) {
      // Some file systems leave the type to a status call.
      struct stat info {};
      if (fstatat(fd_, name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
      type = S_ISREG(info.st_mode) ? DT_REG : S_ISLNK(info.st_mode) ? DT_LNK : DT_DIR;
    }
    entries_.push_back({name, type == DT_REG   ? EntryType::kRegular
                              : type == DT_LNK ? EntryType::kLink
                                               : EntryType::kOther});
  }
  closedir(dir);
}

FolderReader::~FolderReader() {
  if (fd_ >= 0) close(fd_);
}

bool FolderReader::Has(const std::string& name) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const Entry& entry) { return entry.name == name; });
}

std::optional<FolderReader::Stamp> FolderReader::StampOf(const std::string& name) const {
  struct stat info {};
  if (fd_ < 0 || fstatat(fd_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
  constexpr int64_t kNs = 1000000000;
  return Stamp{static_cast<uint64_t>(info.st_ino), static_cast<int64_t>(info.st_size),
               static_cast<int64_t>(info.st_mtim.tv_sec) * kNs + info.st_mtim.tv_nsec,
               static_cast<int64_t>(info.st_ctim.tv_sec) * kNs + info.st_ctim.tv_nsec};
}

bool FolderReader::Remove(const std::string& name) {
  if (fd_ < 0 || unlinkat(fd_, name.c_str(), 0) != 0) return false;
  std::erase_if(entries_, [&](const Entry& entry) { return entry.name == name; });
  return true;
}

FolderFile::FolderFile(const FolderReader& folder, const std::string& name)
    : node_(folder.Folder() / name) {
  if (folder.fd_ < 0 || name.empty() || name.find('/') != std::string::npos) return;
  // Only a regular file: opening a device may start it, and reading one may never end.
  struct stat info {};
  if (fstatat(folder.fd_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode))
    return;
  fd_ = openat(folder.fd_, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd_ >= 0 && (fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode))) {
    close(fd_);  // replaced in between
    fd_ = -1;
  }
  if (fd_ >= 0) node_.ReadThrough(fd_);
}

FolderFile::~FolderFile() {
  if (fd_ >= 0) close(fd_);
}

bool FolderFile::ReadAll(size_t limit, std::string* out) {
  out->clear();
  if (fd_ < 0) return false;
  // Most files fit the first read; the second one only confirms the end.
  size_t used = 0;
  out->resize(std::min<size_t>(limit + 1, 8192));
  for (;;) {
    if (used == out->size()) {
      if (out->size() > limit) break;
      out->resize(std::min(out->size() * 2, limit + 1));
    }
    const ssize_t got = read(fd_, out->data() + used, out->size() - used);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) break;
    if (got == 0) {
      out->resize(used);
      return true;
    }
    used += static_cast<size_t>(got);
  }
  out->clear();
  return false;
}

}  // namespace koru
