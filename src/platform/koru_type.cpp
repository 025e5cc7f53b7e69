#include "platform/koru_type.h"

#include "platform/file_node.h"
#include "platform/safe_file.h"
#include "platform/trace.h"

status_t WriteKoruType(AttributeNode& node, int32_t kind) {
  const ssize_t wrote = node.WriteAttr(kKoruTypeAttr, kInt32Type, 0, &kind, sizeof kind);
  return wrote == static_cast<ssize_t>(sizeof kind)
             ? kOk
             : (wrote < 0 ? static_cast<status_t>(wrote) : kIoError);
}

status_t WriteKoruFile(const std::filesystem::path& path, std::string_view contents, int32_t kind) {
  std::error_code error;
  const auto status = std::filesystem::symlink_status(path, error);
  if (std::filesystem::exists(status)) {
    if (!std::filesystem::is_regular_file(status)) return kNotAllowed;
    FileNode old(path);
    const int32_t old_kind = ReadKoruType(old);
    if (old_kind != 0 && old_kind != kind) return kNotAllowed;
  }
  return WriteFileSafely(path, contents, [&](const std::filesystem::path& temporary) {
    FileNode node(temporary);
    if (const status_t marked = WriteKoruType(node, kind); marked != kOk) return marked;
    return FileNode::MoveSidecar(temporary, path);
  });
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
