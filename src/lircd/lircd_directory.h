#pragma once
// What LIRC clients may ask about the remotes: each remote's name and its taught keys with
// their codes, as LIST shows them. A copy taken on the GUI thread, read by the socket's thread.
#include <cstdint>
#include <string>
#include <vector>

#include "remotes/remote_definition.h"

namespace koru {

struct LircdKey {
  uint64_t code = 0;
  std::string name;
};

struct LircdRemote {
  std::string name;  // as broadcast (blanks made '_')
  std::vector<LircdKey> keys;
};

struct LircdDirectory {
  std::vector<LircdRemote> remotes;

  // The remote of that name (case is ignored, as lircd does), or null.
  const LircdRemote* Find(const std::string& name) const;
};

// Every remote of the list, in list order, with the keys it has taught: the classic slots
// holding a code, or the exact keys of an exact remote.
LircdDirectory LircdDirectoryOf(const RemoteList& remotes);

}  // namespace koru
