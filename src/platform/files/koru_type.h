#pragma once
// The file-kind attribute that marks KORU's own files; files are found by it, not by name.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/attribute_node.h"
#include "platform/files/safe_file.h"

namespace koru {

inline constexpr const char* kKoruTypeAttr = "KORU_TYPE";
inline constexpr const char* kOldKoruTypeAttr = "IR!OWN_FILE";  // earlier name, read only

enum KoruFileKind : int32_t {
  kKoruRemoteFile = 1,
  kKoruChartFile = 2,
  kKoruLayoutFile = 3,
  kKoruPresetFile = 5,
};

status_t WriteKoruType(AttributeNode& node, int32_t kind);

// Writes one of KORU's files whole (WriteFileSafely) and marks it with `kind` before it takes
// the old file's place, so an interrupted write leaves either the old file or the new one,
// never an unmarked one. Refuses (kNotAllowed) to replace a file of another kind, a link or
// a folder.
status_t WriteKoruFile(const std::filesystem::path& path, std::string_view contents, int32_t kind,
                       WriteSync sync = WriteSync::kEachFile);
// The file's kind, or 0 when it has no (whole) "KORU_TYPE".
int32_t ReadKoruType(AttributeNode& node);

// The names of the regular files (not links) in `folder` marked as `kind`, sorted.
std::vector<std::string> ScanKoruFiles(const std::filesystem::path& folder, int32_t kind);

// Converts an old file's marker: copies a whole 4-byte "IR!OWN_FILE" into "KORU_TYPE".
void ChangeKoruFiletype(AttributeNode& node);

}  // namespace koru
