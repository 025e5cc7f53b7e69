#pragma once
// Writes a whole file through a temporary file in the same folder renamed over the old one, so
// a failed or interrupted write never loses the old file. The temporary has a name of its own
// (".<name>.koru-tmp.XXXXXX"), is created exclusively and never through a link, and the target
// is replaced, never written through: a link planted in the folder cannot redirect a write.
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/messaging/status.h"

namespace koru {

// Runs on the complete temporary before it is renamed into place (to mark it, for instance);
// a failure leaves the old file as it was.
using BeforeRename = std::function<status_t(const std::filesystem::path& temporary)>;

// Whether the new contents reach the disk before the rename. Files that can be made again
// from the program itself (the built-in remotes) skip the sync; whoever writes many of them
// syncs once at the end (SyncFileSystemOf).
enum class WriteSync { kEachFile, kNone };

// Refuses (kNotAllowed) a target that exists and is not a regular file (a link, a folder).
status_t WriteFileSafely(const std::filesystem::path& path, std::string_view contents,
                         const BeforeRename& before_rename = {},
                         WriteSync sync = WriteSync::kEachFile);

// Writes everything the file system that holds `folder` has buffered to the disk.
status_t SyncFileSystemOf(const std::filesystem::path& folder);

// True when `name` names a file inside a folder: not empty, not "." or "..", no '/' and no
// zero byte.
bool IsPlainFileName(std::string_view name);

// True when `name` can name a file of the user's in one of KORU's folders: a plain file name,
// not hidden (KORU's own helper files are), and none of
// KORU's fixed file names ("_Chart.html", "_preset_", ...).
bool IsSafeFileName(std::string_view name);

// True for the name of a temporary that WriteFileSafely makes (and leaves when interrupted),
// and for the attribute sidecar of one.
bool IsKoruTemporary(std::string_view name);

// Removes the temporaries that interrupted writes left in `folder` (only those whose name holds
// `only_of`, when given: for folders KORU shares with other programs); returns how many.
int RemoveLeftoverTemporaries(const std::filesystem::path& folder, std::string_view only_of = {});

// Reads a regular file of at most `limit` bytes without following a link and without waiting
// on a pipe; false (and `out` empty) for anything else.
bool ReadSmallRegularFile(const std::filesystem::path& path, size_t limit, std::string* out);

// The rename used to put a temporary into place; tests replace it to simulate a crash at that
// moment. An empty function restores the system's rename.
using RenameFunction = std::function<int(const char* from, const char* to)>;
void SetRenameFunctionForTests(RenameFunction rename_function);

}  // namespace koru
