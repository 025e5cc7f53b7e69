#include "platform/messaging/message.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace koru {

Message::Field* Message::FieldNamed(std::string_view name) {
  auto it =
      std::find_if(fields_.begin(), fields_.end(), [&](const Field& f) { return f.name == name; });
  return it == fields_.end() ? nullptr : &*it;
}

const Message::Field* Message::FieldNamed(std::string_view name) const {
  auto it =
      std::find_if(fields_.begin(), fields_.end(), [&](const Field& f) { return f.name == name; });
  return it == fields_.end() ? nullptr : &*it;
}

status_t Message::Add(std::string_view name, type_code type, Item item) {
  if (name.empty()) return kBadValue;
  if (Field* field = FieldNamed(name)) {
    if (field->type != type) return kBadType;
    field->items.push_back(std::move(item));
    return kOk;
  }
  fields_.push_back(Field{std::string(name), type, {}});
  fields_.back().items.push_back(std::move(item));
  return kOk;
}

status_t Message::Replace(std::string_view name, type_code type, int32_t index, Item item) {
  Field* field = FieldNamed(name);
  if (field == nullptr) return kNameNotFound;
  if (field->type != type) return kBadType;
  if (index < 0 || static_cast<size_t>(index) >= field->items.size()) return kBadIndex;
  field->items[index] = std::move(item);
  return kOk;
}

const Message::Item* Message::Find(std::string_view name, type_code type, int32_t index,
                                   status_t* status) const {
  const Field* field = FieldNamed(name);
  if (field == nullptr) {
    *status = kNameNotFound;
    return nullptr;
  }
  if (field->type != type) {
    *status = kBadType;
    return nullptr;
  }
  if (index < 0 || static_cast<size_t>(index) >= field->items.size()) {
    *status = kBadIndex;
    return nullptr;
  }
  *status = kOk;
  return &field->items[index];
}

status_t Message::AddInt8(std::string_view n, int8_t v) {
  return Add(n, kInt8Type, v);
}
status_t Message::AddInt32(std::string_view n, int32_t v) {
  return Add(n, kInt32Type, v);
}
status_t Message::AddInt64(std::string_view n, int64_t v) {
  return Add(n, kInt64Type, v);
}
status_t Message::AddBool(std::string_view n, bool v) {
  return Add(n, kBoolType, v);
}
status_t Message::AddFloat(std::string_view n, float v) {
  return Add(n, kFloatType, v);
}
status_t Message::AddString(std::string_view n, std::string_view v) {
  return Add(n, kStringType, std::string(v));
}
status_t Message::AddPointer(std::string_view n, const void* v) {
  return Add(n, kPointerType, v);
}
status_t Message::AddMessenger(std::string_view n, const Messenger& v) {
  return Add(n, kMessengerType, v);
}
status_t Message::AddData(std::string_view n, type_code type, const void* data, size_t size) {
  if (data == nullptr && size > 0) return kBadValue;
  const auto* bytes = static_cast<const uint8_t*>(data);
  return Add(n, type, RawData(bytes, bytes + size));
}

namespace {
template <typename T>
status_t Extract(const Message::Item* item, const status_t* status, T* out) {
  if (item == nullptr) return *status;
  if (out != nullptr) *out = std::get<T>(*item);
  return kOk;
}
}  // namespace

status_t Message::FindInt8(std::string_view n, int8_t* v, int32_t i) const {
  status_t s = kOk;
  const Item* item = Find(n, kInt8Type, i, &s);
  return Extract(item, &s, v);
}
status_t Message::FindInt32(std::string_view n, int32_t* v, int32_t i) const {
  status_t s = kOk;
  const Item* item = Find(n, kInt32Type, i, &s);
  return Extract(item, &s, v);
}
status_t Message::FindInt64(std::string_view n, int64_t* v, int32_t i) const {
  status_t s = kOk;
  const Item* item = Find(n, kInt64Type, i, &s);
  return Extract(item, &s, v);
}
status_t Message::FindBool(std::string_view n, bool* v, int32_t i) const {
  status_t s = kOk;
  const Item* item = Find(n, kBoolType, i, &s);
  return Extract(item, &s, v);
}
status_t Message::FindFloat(std::string_view n, float* v, int32_t i) const {
  status_t s = kOk;
  const Item* item = Find(n, kFloatType, i, &s);
  return Extract(item, &s, v);
}
status_t Message::FindString(std::string_view n, std::string* v, int32_t i) const {
  status_t s = kOk;
  const Item* item = Find(n, kStringType, i, &s);
  return Extract(item, &s, v);
}
status_t Message::FindPointer(std::string_view n, const void** v, int32_t i) const {
  status_t s = kOk;
  const Item* item = Find(n, kPointerType, i, &s);
  return Extract(item, &s, v);
}
status_t Message::FindMessenger(std::string_view n, Messenger* v, int32_t i) const {
  status_t s = kOk;
  const Item* item = Find(n, kMessengerType, i, &s);
  return Extract(item, &s, v);
}
status_t Message::FindData(std::string_view n, type_code type, const RawData** data,
                           int32_t i) const {
  status_t s;
  const Item* item = Find(n, type, i, &s);
  if (item == nullptr) return s;
  const auto* raw = std::get_if<RawData>(item);
  if (raw == nullptr) return kBadType;  // a typed field, not raw data
  if (data != nullptr) *data = raw;
  return kOk;
}

int32_t Message::GetInt32(std::string_view name, int32_t fallback) const {
  int32_t value = fallback;
  return FindInt32(name, &value) == kOk ? value : fallback;
}
bool Message::GetBool(std::string_view name, bool fallback) const {
  bool value = fallback;
  return FindBool(name, &value) == kOk ? value : fallback;
}
std::string Message::GetString(std::string_view name, std::string_view fallback) const {
  std::string value;
  return FindString(name, &value) == kOk ? value : std::string(fallback);
}

status_t Message::ReplaceInt8(std::string_view n, int8_t v, int32_t i) {
  return Replace(n, kInt8Type, i, v);
}
status_t Message::ReplaceInt32(std::string_view n, int32_t v, int32_t i) {
  return Replace(n, kInt32Type, i, v);
}
status_t Message::ReplaceInt64(std::string_view n, int64_t v, int32_t i) {
  return Replace(n, kInt64Type, i, v);
}
status_t Message::ReplaceBool(std::string_view n, bool v, int32_t i) {
  return Replace(n, kBoolType, i, v);
}
status_t Message::ReplaceFloat(std::string_view n, float v, int32_t i) {
  return Replace(n, kFloatType, i, v);
}
status_t Message::ReplaceString(std::string_view n, std::string_view v, int32_t i) {
  return Replace(n, kStringType, i, std::string(v));
}
status_t Message::ReplacePointer(std::string_view n, const void* v, int32_t i) {
  return Replace(n, kPointerType, i, v);
}
status_t Message::ReplaceMessenger(std::string_view n, const Messenger& v, int32_t i) {
  return Replace(n, kMessengerType, i, v);
}
status_t Message::ReplaceData(std::string_view n, type_code type, const void* data, size_t size,
                              int32_t i) {
  if (data == nullptr && size > 0) return kBadValue;
  const auto* bytes = static_cast<const uint8_t*>(data);
  return Replace(n, type, i, RawData(bytes, bytes + size));
}

status_t Message::RemoveName(std::string_view name) {
  auto it =
      std::find_if(fields_.begin(), fields_.end(), [&](const Field& f) { return f.name == name; });
  if (it == fields_.end()) return kNameNotFound;
  fields_.erase(it);
  return kOk;
}

status_t Message::RemoveData(std::string_view name, int32_t index) {
  Field* field = FieldNamed(name);
  if (field == nullptr) return kNameNotFound;
  if (index < 0 || static_cast<size_t>(index) >= field->items.size()) return kBadIndex;
  field->items.erase(field->items.begin() + index);
  if (field->items.empty()) return RemoveName(name);
  return kOk;
}

void Message::MakeEmpty() {
  fields_.clear();
}

bool Message::HasField(std::string_view name) const {
  return FieldNamed(name) != nullptr;
}

status_t Message::GetInfo(std::string_view name, type_code* type, int32_t* count) const {
  const Field* field = FieldNamed(name);
  if (field == nullptr) return kNameNotFound;
  if (type) *type = field->type;
  if (count) *count = static_cast<int32_t>(field->items.size());
  return kOk;
}

std::string Message::NameAt(int32_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= fields_.size()) return {};
  return fields_[index].name;
}

namespace {
std::string ItemText(const Message::Item& item) {
  char buffer[64];
  struct Visitor {
    char* buffer;
    std::string operator()(int8_t v) const { return std::to_string(v); }
    std::string operator()(int32_t v) const { return std::to_string(v); }
    std::string operator()(int64_t v) const { return std::to_string(v); }
    std::string operator()(bool v) const { return v ? "true" : "false"; }
    std::string operator()(float v) const {
      std::snprintf(buffer, 64, "%g", static_cast<double>(v));
      return buffer;
    }
    std::string operator()(const std::string& v) const { return "\"" + v + "\""; }
    std::string operator()(const void* v) const {
      std::snprintf(buffer, 64, "%p", v);
      return buffer;
    }
    std::string operator()(const Messenger& v) const {
      return v.IsValid() ? "messenger" : "messenger (no target)";
    }
    std::string operator()(const Message::RawData& v) const {
      std::string text = std::to_string(v.size()) + " bytes:";
      for (size_t i = 0; i < v.size() && i < 16; ++i) {
        std::snprintf(buffer, 64, " %02x", v[i]);
        text += buffer;
      }
      if (v.size() > 16) text += " ...";
      return text;
    }
  };
  return std::visit(Visitor{buffer}, item);
}
}  // namespace

std::string Message::Dump() const {
  std::string text = "Message('" + FourCCText(what) + "') {\n";
  for (const Field& field : fields_) {
    for (size_t i = 0; i < field.items.size(); ++i) {
      text += "  " + field.name;
      if (field.items.size() > 1) text += "[" + std::to_string(i) + "]";
      text += " (" + FourCCText(field.type) + ") = " + ItemText(field.items[i]) + "\n";
    }
  }
  text += "}";
  return text;
}

}  // namespace koru
