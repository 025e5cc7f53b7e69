#pragma once
// Typed file attributes: a named value of raw bytes on a file, read and written at offset 0.
// The value is stored as its bytes alone (an int32 in machine order, a bool as one byte, a text
// with its zero byte), so other tools can read it.
#include <sys/types.h>

#include <cstdint>
#include <string_view>

#include "platform/messaging/status.h"
#include "platform/messaging/type_codes.h"

namespace koru {

class AttributeNode {
 public:
  virtual ~AttributeNode() = default;
  // kOk when the node can be used.
  virtual status_t InitCheck() const = 0;
  // Bytes read (at most `size`; 0 or more is success), or a negative status: kEntryNotFound
  // when the attribute does not exist.
  virtual ssize_t ReadAttr(std::string_view name, type_code type, int64_t offset, void* buffer,
                           size_t size) = 0;
  // Bytes written, or a negative status.
  virtual ssize_t WriteAttr(std::string_view name, type_code type, int64_t offset,
                            const void* buffer, size_t size) = 0;
  virtual status_t RemoveAttr(std::string_view name) = 0;
};

// Reads an int32 attribute; false when it is missing or shorter than 4 bytes.
bool ReadInt32Attr(AttributeNode& node, std::string_view name, int32_t* value);

}  // namespace koru
