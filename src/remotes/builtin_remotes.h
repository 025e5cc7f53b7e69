#pragma once
// The built-in remotes written into an empty remote folder.
#include <cstdint>
#include <memory>
#include <vector>

namespace koru {

class RemoteDefinition;

struct BuiltInRemote {
  char name[32];
  int32_t header;
  int32_t mode;
  const int32_t* codes;  // slot 1, 2, ... ended by -1
};

// 36 remotes and the end marker (a name of 2 characters or fewer).
inline constexpr int kBuiltInRemoteCount = 37;
extern const BuiltInRemote kBuiltInRemotes[kBuiltInRemoteCount];

// Appends the built-in remotes in the table's order, each as it reads back from its written
// file (slots 1..49; slot 50 stays 0).
void AppendBuiltinRemotes(std::vector<std::unique_ptr<RemoteDefinition>>* list);

}  // namespace koru
