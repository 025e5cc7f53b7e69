#include "remotes/remote_fields.h"

#include "remotes/remote_cl.h"

namespace {

constexpr const char* kKeyRemoteField = "vr_remote";
constexpr const char* kMarkedRemoteField = "_ptrRemote";

const RemoteCL* FindRemote(const Message& message, const char* field) {
  const void* pointer = nullptr;
  if (message.FindPointer(field, &pointer) != kOk) return nullptr;
  return static_cast<const RemoteCL*>(pointer);
}

}  // namespace

void AddKeyRemote(Message* message, const RemoteCL* remote) {
  message->AddPointer(kKeyRemoteField, remote);
}

const RemoteCL* KeyRemote(const Message& message) {
  return FindRemote(message, kKeyRemoteField);
}

void AddMarkedRemote(Message* message, const RemoteCL* remote) {
  message->AddPointer(kMarkedRemoteField, remote);
}

const RemoteCL* MarkedRemote(const Message& message) {
  return FindRemote(message, kMarkedRemoteField);
}
