#include "platform/files/memory_node.h"

#include <algorithm>
#include <cstring>

namespace koru {

ssize_t MemoryNode::ReadAttr(std::string_view name, type_code /*type*/, int64_t offset,
                             void* buffer, size_t size) {
  if (offset != 0) return kBadValue;
  const std::string key(name);
  if (failing_reads_.count(key)) return kIoError;
  const auto it = values_.find(key);
  if (it == values_.end()) return kEntryNotFound;
  const size_t copied = std::min(size, it->second.size());
  if (copied > 0) std::memcpy(buffer, it->second.data(), copied);
  return static_cast<ssize_t>(copied);
}

ssize_t MemoryNode::WriteAttr(std::string_view name, type_code /*type*/, int64_t offset,
                              const void* buffer, size_t size) {
  if (offset != 0) return kBadValue;
  const std::string key(name);
  if (failing_writes_.count(key)) return kIoError;
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  values_[key] = std::vector<uint8_t>(bytes, bytes + size);
  return static_cast<ssize_t>(size);
}

status_t MemoryNode::RemoveAttr(std::string_view name) {
  return values_.erase(std::string(name)) > 0 ? kOk : kEntryNotFound;
}

std::vector<std::string> MemoryNode::Names() const {
  std::vector<std::string> names;
  for (const auto& entry : values_) names.push_back(entry.first);
  return names;
}

}  // namespace koru
