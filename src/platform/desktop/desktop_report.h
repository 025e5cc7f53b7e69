#pragma once
// What a desktop backend can do, for the start's "desktop:" trace line and the settings page:
// the session and, per capability, the backend that provides it or why none does and what
// would enable it.
#include <string>
#include <vector>

namespace koru {

struct DesktopCapability {
  std::string name;     // "keys", "pointer", "workspaces", "front application", "windows"
  std::string backend;  // "uinput", "sway-ipc", ...; empty when the capability is missing
  std::string missing;  // why it is missing (empty when it is not)
  std::string remedy;   // the one step that would enable it, where there is one
  bool Available() const { return !backend.empty(); }
};

struct DesktopReport {
  std::string session;  // "wayland (sway)", "x11", "none"
  std::vector<DesktopCapability> capabilities;

  // "desktop: wayland (sway): keys uinput, pointer uinput, workspaces sway-ipc, ...".
  std::string TraceLine() const;
  const DesktopCapability* Find(const std::string& name) const;

  // For the settings page: the session and what is not possible, in two short lines; Details()
  // says it per capability, with why and the step that would enable it.
  std::string Summary() const;
  std::string Details() const;
  // True when every capability has a backend.
  bool Complete() const;
  // Lines for KORU's log at start: what is not possible, and why the desktop will ask for
  // permission before KORU's first key or pointer move.
  std::vector<std::string> Notices() const;
};

}  // namespace koru
