#include "remotes/remote_fields.h"

#include "remotes/remote_definition.h"

namespace koru {

namespace {

constexpr const char* kKeyRemoteField = "vr_remote";
constexpr const char* kMarkedRemoteField = "_ptrRemote";

const RemoteDefinition* FindRemote(const Message& message, const char* field) {
  const void* pointer = nullptr;
  if (message.FindPointer(field, &pointer) != kOk) return nullptr;
  return static_cast<const RemoteDefinition*>(pointer);
}

}  // namespace

void AddKeyRemote(Message* message, const RemoteDefinition* remote) {
  message->AddPointer(kKeyRemoteField, remote);
}

const RemoteDefinition* KeyRemote(const Message& message) {
  return FindRemote(message, kKeyRemoteField);
}

void AddMarkedRemote(Message* message, const RemoteDefinition* remote) {
  message->AddPointer(kMarkedRemoteField, remote);
}

const RemoteDefinition* MarkedRemote(const Message& message) {
  return FindRemote(message, kMarkedRemoteField);
}

}  // namespace koru
