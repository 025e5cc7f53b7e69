// Prints every built-in key that a remote of the built-in table can send, one
// "REMOTE<TAB>KEYLABEL" line each, for the receiver comparison scripts (koru-encode takes both).
#include <cstdio>

#include "remotes/builtin_remotes.h"
#include "remotes/remote_definition.h"
#include "settings/label_table.h"

using namespace koru;

int main() {
  for (int r = 0; r < kBuiltInRemoteCount; ++r) {
    const BuiltInRemote& entry = kBuiltInRemotes[r];
    if (entry.name[0] == '\0' || entry.name[1] == '\0' || entry.name[2] == '\0') break;
    for (int32_t k = 1; k < kKeySlots && entry.codes[k - 1] >= 0; ++k)
      if (entry.codes[k - 1] != 0) std::printf("%s\t%s\n", entry.name, eLabel[50 + k]);
  }
  return 0;
}
