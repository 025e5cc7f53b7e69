#pragma once
// How the program starts its main window: where the actions act, what runs after each
// action, and the receiver for this run only. main() fills it from the command line and the
// test hook; tests fill it with fakes.
#include <filesystem>
#include <functional>
#include <string>

#include "platform/desktop_services.h"

namespace koru {

class Prefs;

struct WindowSetup {
  // The settings store the windows read and change (main() owns it); null: the defaults,
  // nothing stored.
  Prefs* settings = nullptr;
  // The remote folder: the remote files, presets, layouts and charts (main() puts it in the
  // program folder). Every window that reads or writes one of them is handed this one.
  std::filesystem::path remote_folder;
  // The desktop's services when empty.
  std::function<DesktopServices()> services;
  // Runs on the action thread after every action (the program's test hook traces fake calls).
  std::function<void()> after_action;
  // The receiver for this run only (--port), never stored; empty: the settings' port.
  std::string port;
  // With a replay port: quit once the recording has played and the last action has run.
  bool exit_after_replay = false;
  // Serve LIRC clients on this socket for this run only (--lircd-socket), whatever the setting.
  std::string lircd_socket;
  // Actions are traced as "would ..." and not done (--dry-run).
  bool dry_run = false;
};

}  // namespace koru
