#pragma once
// Hears every key the router recognises, and every change of the remote list, without taking
// part in the routing (the lircd socket's feed listens this way). Called on the GUI thread; an
// implementation must not block.
#include <cstdint>

#include "receiver/receiver_report.h"
#include "remotes/remote_definition.h"

namespace koru {

class RecognisedKeyListener {
 public:
  virtual ~RecognisedKeyListener() = default;
  // A receiver report matched `remote`'s key function `keyfn` (51..100).
  virtual void KeyRecognised(const RemoteDefinition& remote, int32_t keyfn,
                             const ReceiverReport& report) = 0;
  // The remote list was loaded or rescanned.
  virtual void RemotesChanged(const RemoteList& remotes) = 0;
};

}  // namespace koru
