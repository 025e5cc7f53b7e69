#include "platform/bus/session_bus.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace koru {

bool SessionBusMayExist(bool display_starts_one) {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address != nullptr && *address != '\0') return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat info {};
  if (runtime != nullptr && *runtime != '\0' &&
      stat((std::string(runtime) + "/bus").c_str(), &info) == 0 && S_ISSOCK(info.st_mode)) {
    return true;
  }
  const char* display = std::getenv("DISPLAY");
  return display_starts_one && display != nullptr && *display != '\0';
}

}  // namespace koru
