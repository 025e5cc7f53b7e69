#include "platform/files/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace koru {

namespace {

constexpr std::string_view kTemporaryTag = ".koru-tmp.";
constexpr size_t kUniqueLength = 6;  // the XXXXXX of mkostemp
// Long enough for every name KORU writes, short enough that the temporary's name stays
// below the file system's limit of 255 bytes.
constexpr size_t kNamePartLimit = 200;

constexpr std::array<std::string_view, 4> kFixedNames = {"_Chart.html", "_ChartData.html",
                                                         "_preset_", "_LAYOUT_"};

RenameFunction& RenameSeam() {
  static RenameFunction seam;
  return seam;
}

int RenameIntoPlace(const char* from, const char* to) {
  if (const RenameFunction& seam = RenameSeam()) return seam(from, to);
  return std::rename(from, to);
}

status_t WriteAll(int fd, std::string_view contents) {
  size_t done = 0;
  while (done < contents.size()) {
    const ssize_t wrote = write(fd, contents.data() + done, contents.size() - done);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      return StatusFromErrno(errno);
    }
    done += static_cast<size_t>(wrote);
  }
  return kOk;
}

}  // namespace

status_t WriteFileSafely(const std::filesystem::path& path, std::string_view contents,
                         const BeforeRename& before_rename, WriteSync sync) {
  // Keep the old file's permissions where there is one; a new file gets the usual 0644.
  mode_t mode = 0644;
  struct stat old_stat {};
  if (lstat(path.c_str(), &old_stat) == 0) {
    if (!S_ISREG(old_stat.st_mode)) return kNotAllowed;
    mode = old_stat.st_mode & 07777;
  } else if (errno != ENOENT) {
    return StatusFromErrno(errno);
  }

  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  const std::string leaf = path.filename().string().substr(0, kNamePartLimit);
  std::string temp =
      (folder / ("." + leaf + std::string(kTemporaryTag) + std::string(kUniqueLength, 'X')))
          .string();
  const int fd = mkostemp(temp.data(), O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return StatusFromErrno(errno);
  auto fail = [&](status_t status, bool open) {
    if (open) close(fd);
    unlink(temp.c_str());
    return status;
  };
  if (const status_t status = WriteAll(fd, contents); status != kOk) return fail(status, true);
  fchmod(fd, mode);
  if (sync == WriteSync::kEachFile && fsync(fd) != 0) return fail(StatusFromErrno(errno), true);
  if (close(fd) != 0) return fail(StatusFromErrno(errno), false);
  if (before_rename) {
    if (const status_t status = before_rename(temp); status != kOk) return fail(status, false);
  }
  if (RenameIntoPlace(temp.c_str(), path.c_str()) != 0) return fail(StatusFromErrno(errno), false);
  return kOk;
}

status_t SyncFileSystemOf(const std::filesystem::path& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return StatusFromErrno(errno);
  const int result = syncfs(fd);
  const int error = errno;
  close(fd);
  return result == 0 ? kOk : StatusFromErrno(error);
}

bool IsPlainFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

bool IsSafeFileName(std::string_view name) {
  if (!IsPlainFileName(name) || name.front() == '.') return false;
  for (std::string_view fixed : kFixedNames)
    if (name == fixed) return false;
  return true;
}

bool IsKoruTemporary(std::string_view name) {
  // The attribute sidecar of a temporary (on file systems without extended attributes).
  constexpr std::string_view kSidecarTag = ".koru-attr";
  if (name.size() > kSidecarTag.size() + 1 && name.front() == '.' &&
      name.substr(name.size() - kSidecarTag.size()) == kSidecarTag)
    name = name.substr(1, name.size() - kSidecarTag.size() - 1);
  if (name.size() < 1 + kTemporaryTag.size() + kUniqueLength || name.front() != '.') return false;
  const size_t tag = name.size() - kUniqueLength - kTemporaryTag.size();
  return tag >= 1 && name.substr(tag, kTemporaryTag.size()) == kTemporaryTag;
}

int RemoveLeftoverTemporaries(const std::filesystem::path& folder, std::string_view only_of) {
  int removed = 0;
  std::error_code error;
  std::filesystem::directory_iterator dir(folder, error);
  for (; !error && dir != std::filesystem::directory_iterator(); dir.increment(error)) {
    const std::string leaf = dir->path().filename().string();
    std::error_code status_error;
    // A link or folder of that name is nobody's temporary of ours: left alone.
    if (!IsKoruTemporary(leaf) || leaf.find(only_of) == std::string::npos ||
        !dir->is_regular_file(status_error) || dir->is_symlink(status_error))
      continue;
    if (unlink(dir->path().c_str()) == 0) ++removed;
  }
  return removed;
}

bool ReadSmallRegularFile(const std::filesystem::path& path, size_t limit, std::string* out) {
  out->clear();
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info {};
  const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                       static_cast<unsigned long long>(info.st_size) <= limit;
  bool ok = regular;
  char buffer[4096];
  while (ok) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    out->append(buffer, static_cast<size_t>(got));
    ok = out->size() <= limit;  // it may have grown since fstat
  }
  close(fd);
  if (!ok) out->clear();
  return ok;
}

void SetRenameFunctionForTests(RenameFunction rename_function) {
  RenameSeam() = std::move(rename_function);
}

}  // namespace koru
