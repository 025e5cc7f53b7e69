#pragma once
// The group that owns a device node ("dialout" for serial ports on Debian), or empty when the
// node cannot be examined or its group has no name.
#include <string>

namespace koru {

std::string DeviceGroup(const std::string& node);

}  // namespace koru
