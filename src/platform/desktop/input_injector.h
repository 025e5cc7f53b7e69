#pragma once
// Real input for desktops that offer no other way in (Wayland compositors): key strokes by evdev
// key code, clicks and pointer moves. Backends: a uinput device, the RemoteDesktop portal. The
// desktop that owns an injector is its only user (the action thread), so backends need no lock.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/desktop/desktop.h"
#include "platform/messaging/status.h"

namespace koru {

// The size of the whole output layout in logical pixels; zero when nobody knows it.
struct ScreenSize {
  int32_t width = 0;
  int32_t height = 0;
  bool Known() const { return width > 0 && height > 0; }
  bool operator==(const ScreenSize&) const = default;
};

class InputInjector {
 public:
  virtual ~InputInjector() = default;

  // The backend's name for the "desktop:" trace line ("uinput", "portal").
  virtual std::string Name() const = 0;

  // Presses `keys` (evdev key codes, modifiers first) in order and releases them in reverse, so
  // nothing is ever left held down.
  virtual status_t Stroke(const std::vector<uint16_t>& keys) = 0;
  // Presses and releases the primary button where the pointer is.
  virtual status_t Click() = 0;

  // Puts the pointer at `to` on a layout of `layout` size. `from` is where the pointer is now as
  // far as the caller knows; a backend that can only move relatively moves by the difference.
  // kUnsupported when neither is possible.
  virtual status_t MovePointer(ScreenPoint from, ScreenPoint to, ScreenSize layout) = 0;
};

}  // namespace koru
