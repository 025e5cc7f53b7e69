#include "platform/files/koru_type.h"

#include <algorithm>

#include "platform/files/file_node.h"
#include "platform/files/safe_file.h"
#include "platform/messaging/trace.h"

namespace koru {

status_t WriteKoruType(AttributeNode& node, int32_t kind) {
  const ssize_t wrote = node.WriteAttr(kKoruTypeAttr, kInt32Type, 0, &kind, sizeof kind);
  return wrote == static_cast<ssize_t>(sizeof kind)
             ? kOk
             : (wrote < 0 ? static_cast<status_t>(wrote) : kIoError);
}

status_t WriteKoruFile(const std::filesystem::path& path, std::string_view contents, int32_t kind,
                       WriteSync sync) {
  std::error_code error;
  const auto status = std::filesystem::symlink_status(path, error);
  if (std::filesystem::exists(status)) {
    if (!std::filesystem::is_regular_file(status)) return kNotAllowed;
    FileNode old(path);
    const int32_t old_kind = ReadKoruType(old);
    if (old_kind != 0 && old_kind != kind) return kNotAllowed;
  }
  return WriteFileSafely(
      path, contents,
      [&](const std::filesystem::path& temporary) {
        FileNode node(temporary);
        if (const status_t marked = WriteKoruType(node, kind); marked != kOk) return marked;
        return FileNode::MoveSidecar(temporary, path);
      },
      sync);
}

int32_t ReadKoruType(AttributeNode& node) {
  int32_t kind = 0;
  return ReadInt32Attr(node, kKoruTypeAttr, &kind) ? kind : 0;
}

void ChangeKoruFiletype(AttributeNode& node) {
  int32_t value = 0;
  const ssize_t got = node.ReadAttr(kOldKoruTypeAttr, kInt32Type, 0, &value, sizeof value);
  // Only a whole value is copied: a shorter one would carry bytes that were never read.
  if (got != static_cast<ssize_t>(sizeof value)) {
    Trace(" err  change type ");
    return;
  }
  node.WriteAttr(kKoruTypeAttr, kInt32Type, 0, &value, sizeof value);
  Trace(" changed type  '%ld' ", static_cast<long>(value));
}

std::vector<std::string> ScanKoruFiles(const std::filesystem::path& folder, int32_t kind) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (!entry.is_regular_file(error) || entry.is_symlink(error)) continue;
    FileNode node(entry.path());
    int32_t found = 0;
    if (node.ReadAttr(kKoruTypeAttr, kInt32Type, 0, &found, sizeof found) >= 2 && found == kind)
      names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace koru
