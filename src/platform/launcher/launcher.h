#pragma once
// Starts other programs, always detached and with an argument vector (never through a shell),
// so a quote or a ';' in a path or URL is just a character of that one argument.
#include <string>
#include <vector>

#include "platform/messaging/status.h"

namespace koru {

class Launcher {
 public:
  virtual ~Launcher() = default;
  // A file or folder with its preferred application.
  virtual status_t OpenWithPreferredApp(const std::string& path) = 0;
  // An executable file, started directly without arguments.
  virtual status_t StartExecutable(const std::string& path) = 0;
  // A URL in the preferred web browser (the desktop's default for text/html); kEntryNotFound
  // when there is none.
  virtual status_t OpenUrl(const std::string& url) = 0;
  // An installed application by its desktop-file id ("vlc.desktop").
  virtual status_t StartDesktopEntry(const std::string& desktop_id) = 0;
};

}  // namespace koru
