#include "platform/files/private_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace koru {

namespace {

std::string Why(const std::string& what, int error) {
  return what + ": " + std::strerror(error);
}

bool Safe(const struct stat& info) {
  const bool trusted_owner = info.st_uid == getuid() || info.st_uid == 0;
  const bool closed_to_others = (info.st_mode & 022) == 0 || (info.st_mode & S_ISVTX) != 0;
  return S_ISDIR(info.st_mode) && trusted_owner && closed_to_others;
}

// Each folder from the root down to `absolute` (symbolic links on the way followed).
bool ChainIsSafe(const std::filesystem::path& absolute, std::string* error) {
  std::filesystem::path prefix;
  for (const auto& part : absolute) {
    prefix /= part;
    struct stat info {};
    if (stat(prefix.c_str(), &info) != 0) {
      *error = Why("cannot use '" + prefix.string() + "'", errno);
      return false;
    }
    if (!Safe(info)) {
      *error = "'" + prefix.string() + "' may be changed by other users";
      return false;
    }
  }
  return true;
}

}  // namespace

bool FolderChainIsSafe(const std::filesystem::path& folder, std::string* error) {
  std::error_code failed;
  const std::filesystem::path written =
      std::filesystem::absolute(folder.empty() ? "." : folder, failed).lexically_normal();
  if (failed) {
    *error = "cannot use '" + folder.string() + "': " + failed.message();
    return false;
  }
  if (!ChainIsSafe(written, error)) return false;
  const std::filesystem::path resolved = std::filesystem::canonical(written, failed);
  if (failed) {
    *error = "cannot use '" + written.string() + "': " + failed.message();
    return false;
  }
  return resolved == written || ChainIsSafe(resolved, error);
}

bool MakePrivateFolder(const std::filesystem::path& folder, std::string* error) {
  std::filesystem::path prefix;
  for (const auto& part : folder) {
    prefix /= part;
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
      *error = Why("cannot create '" + prefix.string() + "'", errno);
      return false;
    }
  }
  // Made now or found: a folder someone else made first is theirs to read or replace.
  struct stat info {};
  if (lstat(folder.c_str(), &info) != 0) {
    *error = Why("cannot use '" + folder.string() + "'", errno);
    return false;
  }
  if (!S_ISDIR(info.st_mode) || info.st_uid != getuid() || (info.st_mode & 077) != 0) {
    *error = "'" + folder.string() + "' is not a folder of this user's own (mode 0700)";
    return false;
  }
  return FolderChainIsSafe(folder, error);
}

std::filesystem::path UserRuntimeFolder(std::string* error) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime == '/') {
    return FolderChainIsSafe(runtime, error) ? std::filesystem::path(runtime) : "";
  }
  // A fixed name in a folder everyone may write to: only a folder of the user's own is used,
  // so that nobody else can hold the lock or answer on the socket in the user's name.
  const std::filesystem::path folder = "/tmp/koru-" + std::to_string(getuid());
  return MakePrivateFolder(folder, error) ? folder : "";
}

bool IsOwnSocket(const std::filesystem::path& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode) && info.st_uid == getuid();
}

}  // namespace koru
