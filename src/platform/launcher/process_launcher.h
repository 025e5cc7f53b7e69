#pragma once
// The launcher on Linux: every program starts detached, from an argument vector, never through
// a shell. Files and folders open through xdg-open; URLs through the desktop's default
// application for text/html (xdg-mime), started from its desktop entry.
#include "platform/launcher/launcher.h"

namespace koru {

class ProcessLauncher : public Launcher {
 public:
  status_t OpenWithPreferredApp(const std::string& path) override;
  status_t StartExecutable(const std::string& path) override;
  status_t OpenUrl(const std::string& url) override;
  status_t StartDesktopEntry(const std::string& desktop_id) override;

  // Starts an installed application with files or URLs as its arguments.
  status_t StartDesktopEntry(const std::string& desktop_id, const std::vector<std::string>& files);
  // Starts `argv[0]` detached with the rest as arguments.
  static status_t Spawn(const std::vector<std::string>& argv);
};

}  // namespace koru
