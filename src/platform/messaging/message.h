#pragma once
// A message: a four-character `what` code and ordered, typed, named fields; one name may hold
// several items of its type. Copyable; posted by copy.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/messaging/four_cc.h"
#include "platform/messaging/messenger.h"
#include "platform/messaging/status.h"
#include "platform/messaging/type_codes.h"

namespace koru {

class Message {
 public:
  using RawData = std::vector<uint8_t>;
  using Item = std::variant<int8_t, int32_t, int64_t, bool, float, std::string, const void*,
                            Messenger, RawData>;

  explicit Message(uint32_t what_code = 0) : what(what_code) {}

  uint32_t what;

  status_t AddInt8(std::string_view name, int8_t value);
  status_t AddInt32(std::string_view name, int32_t value);
  status_t AddInt64(std::string_view name, int64_t value);
  status_t AddBool(std::string_view name, bool value);
  status_t AddFloat(std::string_view name, float value);
  status_t AddString(std::string_view name, std::string_view value);
  status_t AddPointer(std::string_view name, const void* value);
  status_t AddMessenger(std::string_view name, const Messenger& value);
  // Raw bytes under their own type code; every item of one name has the same code.
  status_t AddData(std::string_view name, type_code type, const void* data, size_t size);

  status_t FindInt8(std::string_view name, int8_t* value, int32_t index = 0) const;
  status_t FindInt32(std::string_view name, int32_t* value, int32_t index = 0) const;
  status_t FindInt64(std::string_view name, int64_t* value, int32_t index = 0) const;
  status_t FindBool(std::string_view name, bool* value, int32_t index = 0) const;
  status_t FindFloat(std::string_view name, float* value, int32_t index = 0) const;
  status_t FindString(std::string_view name, std::string* value, int32_t index = 0) const;
  status_t FindPointer(std::string_view name, const void** value, int32_t index = 0) const;
  status_t FindMessenger(std::string_view name, Messenger* value, int32_t index = 0) const;
  status_t FindData(std::string_view name, type_code type, const RawData** data,
                    int32_t index = 0) const;

  // Convenience readers with a fallback for a missing field.
  int32_t GetInt32(std::string_view name, int32_t fallback) const;
  bool GetBool(std::string_view name, bool fallback) const;
  std::string GetString(std::string_view name, std::string_view fallback) const;

  status_t ReplaceInt8(std::string_view name, int8_t value, int32_t index = 0);
  status_t ReplaceInt32(std::string_view name, int32_t value, int32_t index = 0);
  status_t ReplaceInt64(std::string_view name, int64_t value, int32_t index = 0);
  status_t ReplaceBool(std::string_view name, bool value, int32_t index = 0);
  status_t ReplaceFloat(std::string_view name, float value, int32_t index = 0);
  status_t ReplaceString(std::string_view name, std::string_view value, int32_t index = 0);
  status_t ReplacePointer(std::string_view name, const void* value, int32_t index = 0);
  status_t ReplaceMessenger(std::string_view name, const Messenger& value, int32_t index = 0);
  status_t ReplaceData(std::string_view name, type_code type, const void* data, size_t size,
                       int32_t index = 0);

  status_t RemoveName(std::string_view name);
  status_t RemoveData(std::string_view name, int32_t index = 0);
  void MakeEmpty();

  bool HasField(std::string_view name) const;
  // kNameNotFound when absent; otherwise the type and item count.
  status_t GetInfo(std::string_view name, type_code* type, int32_t* count) const;
  int32_t CountNames() const { return static_cast<int32_t>(fields_.size()); }
  // The i-th field name in the order added, or empty.
  std::string NameAt(int32_t index) const;

  // A readable dump for the trace, e.g. "Message('irCE') {\n  _blink (CSTR) = \"-0101\"\n}".
  std::string Dump() const;

 private:
  struct Field {
    std::string name;
    type_code type;
    std::vector<Item> items;
  };

  status_t Add(std::string_view name, type_code type, Item item);
  status_t Replace(std::string_view name, type_code type, int32_t index, Item item);
  const Item* Find(std::string_view name, type_code type, int32_t index, status_t* status) const;
  Field* FieldNamed(std::string_view name);
  const Field* FieldNamed(std::string_view name) const;

  std::vector<Field> fields_;
};

}  // namespace koru
