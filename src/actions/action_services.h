#pragma once
// What the actions act on: the desktop services (real backends in the program, fakes in tests)
// and the few things the main window shows for them. Every action takes this as its first
// argument; the action thread owns one.
#include <cstdint>

namespace koru {

class Desktop;
class MediaPlayers;
class Mixer;
class Launcher;
struct DesktopServices;

struct ActionServices {
  Desktop* desktop = nullptr;
  MediaPlayers* players = nullptr;
  Mixer* mixer = nullptr;
  Launcher* launcher = nullptr;
  // The entry `SwitchApplication` chose last; survives between calls.
  int32_t switch_position = 0;
};

// The services of the program's desktop backends (platform/desktop_services.h).
ActionServices ActionServicesFor(const DesktopServices& backends);

// A point in view or screen coordinates (fractions are truncated toward zero on use).
struct ViewPoint {
  float x = 0;
  float y = 0;
};

// The main window's mute indicator. Implementations post to the GUI thread.
class MuteIndicator {
 public:
  virtual ~MuteIndicator() = default;
  virtual bool IsShown() const = 0;
  virtual void SetShown(bool shown) = 0;
};

// The main window's status line.
class StatusLabel {
 public:
  virtual ~StatusLabel() = default;
  // Sets the text to " " and hides the label.
  virtual void Blank() = 0;
};

// The view whose left-top corner is the pointer step's origin.
class PointerView {
 public:
  virtual ~PointerView() = default;
  // The pointer position in the view's coordinates.
  virtual ViewPoint GetMouse() = 0;
};

}  // namespace koru
