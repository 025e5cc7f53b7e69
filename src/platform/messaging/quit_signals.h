#pragma once
// Turns SIGINT, SIGTERM and SIGHUP into a call on the GUI thread, so that Ctrl+C or a service
// manager's stop ends the program through its normal quit path (settings saved, port closed).
#include <functional>

namespace koru {

// Call once, after the Qt application object exists.
void InstallQuitSignals(std::function<void()> on_quit);

}  // namespace koru
