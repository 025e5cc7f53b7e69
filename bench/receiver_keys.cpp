// Prints every built-in key that a remote of the built-in table can send, one
// "REMOTE<TAB>KEYLABEL" line each, for the receiver comparison scripts (koru-encode takes both).
#include <cstdio>

#include "remotes/pre_rem_list.h"
#include "remotes/remote_cl.h"
#include "shell/label_table.h"

int main() {
  for (int r = 0; r < kPreRemCount; ++r) {
    const PreRemEntry& entry = PreRemList[r];
    if (entry.name[0] == '\0' || entry.name[1] == '\0' || entry.name[2] == '\0') break;
    for (int32_t k = 1; k < kKeySlots && entry.codes[k - 1] >= 0; ++k)
      if (entry.codes[k - 1] != 0) std::printf("%s\t%s\n", entry.name, eLabel[50 + k]);
  }
  return 0;
}
