#pragma once
// Folders that hold what other users must not replace: the lircd socket (its clients run
// commands on the keys it sends) and the single instance's lock and socket. A folder is safe
// when every folder from the root down to it is owned by root or the user and cannot be
// changed by group or others, unless sticky (there only a file's owner may rename it); with
// any other, someone could swap the folder below it for one of their own.
#include <filesystem>
#include <string>

namespace koru {

// True when `folder` and every folder above it are safe, both as written and with the
// symbolic links resolved; else false and "'<folder>' may be changed by other users" (naming
// the first that fails) or why it cannot be checked, in `error`.
bool FolderChainIsSafe(const std::filesystem::path& folder, std::string* error);

// Makes the missing folders of `folder`, each readable by its owner only (mode 0700), and
// checks the result: `folder` itself must be the user's, with no access for anyone else, and
// its chain safe. False with the reason in `error` otherwise.
bool MakePrivateFolder(const std::filesystem::path& folder, std::string* error);

// Where this user's sockets and locks go: $XDG_RUNTIME_DIR when set (an absolute path), else
// /tmp/koru-<uid> made private, each checked as above. Empty, with the reason in `error`, when
// it is not safe.
std::filesystem::path UserRuntimeFolder(std::string* error);

// True when a socket of this user's own lies at `path` (not a link to one).
bool IsOwnSocket(const std::filesystem::path& path);

}  // namespace koru
