#include "platform/files/attribute_node.h"

namespace koru {

bool ReadInt32Attr(AttributeNode& node, std::string_view name, int32_t* value) {
  int32_t read_value = 0;
  const ssize_t got = node.ReadAttr(name, kInt32Type, 0, &read_value, sizeof read_value);
  if (got != static_cast<ssize_t>(sizeof read_value)) return false;
  *value = read_value;
  return true;
}

}  // namespace koru
