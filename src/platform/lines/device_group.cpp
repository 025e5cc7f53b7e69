#include "platform/lines/device_group.h"

#include <grp.h>
#include <sys/stat.h>

#include <vector>

namespace koru {

std::string DeviceGroup(const std::string& node) {
  struct stat info {};
  if (node.empty() || ::stat(node.c_str(), &info) != 0) return {};
  group entry{};
  group* found = nullptr;
  std::vector<char> buffer(4096);
  if (getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 ||
      found == nullptr)
    return {};
  return found->gr_name;
}

}  // namespace koru
