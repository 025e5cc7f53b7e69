#include "lircd/lircd_directory.h"

#include <strings.h>

#include "lircd/lircd_broadcast.h"

const LircdRemote* LircdDirectory::Find(const std::string& name) const {
  for (const LircdRemote& remote : remotes) {
    if (strcasecmp(remote.name.c_str(), name.c_str()) == 0) return &remote;
  }
  return nullptr;
}

LircdDirectory LircdDirectoryOf(const RemoteList& remotes) {
  LircdDirectory directory;
  for (const auto& record : remotes) {
    if (record == nullptr) continue;
    LircdRemote remote{LircdName(record->fName), {}};
    // The last slot is the checksum, no key.
    for (int32_t slot = 1; slot < kKeySlots; ++slot) {
      const int32_t code = record->Slot(slot);
      if (code < 1 || code >= kLargestSlotValue) continue;
      remote.keys.push_back({LircdClassicCode(record->fComHead, code), LircdKeyName(50 + slot)});
    }
    directory.remotes.push_back(std::move(remote));
  }
  return directory;
}
