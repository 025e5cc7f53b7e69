#pragma once
// The router tells the virtual remote which remote a key or the teach-in belongs to by the
// record's address: both live on the GUI thread and the router's remote list outlives the
// message. These put the record into a message and take it out typed, each under its one field.
#include "platform/messaging/message.h"

namespace koru {

class RemoteDefinition;

// The remote of a recognised or taught key ('VR_H'); nullptr for a code no remote has.
void AddKeyRemote(Message* message, const RemoteDefinition* remote);
const RemoteDefinition* KeyRemote(const Message& message);

// The remote whose taught keys the virtual remote marks ('VR_M'); nullptr when none is given.
void AddMarkedRemote(Message* message, const RemoteDefinition* remote);
const RemoteDefinition* MarkedRemote(const Message& message);

}  // namespace koru
