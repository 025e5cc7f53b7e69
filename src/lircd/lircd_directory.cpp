#include "lircd/lircd_directory.h"

#include <strings.h>

#include "lircd/lircd_broadcast.h"

namespace koru {

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
    LircdRemote remote{LircdName(record->name_), {}};
    for (int32_t keyfn = kFirstKeyFunction; keyfn < kLastKeyFunction; ++keyfn) {
      if (const std::optional<uint64_t> code = LircdKeyCode(*record, keyfn)) {
        remote.keys.push_back({*code, LircdKeyName(keyfn)});
      }
    }
    directory.remotes.push_back(std::move(remote));
  }
  return directory;
}

}  // namespace koru
