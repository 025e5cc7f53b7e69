#pragma once
// The front application where the compositor does not tell (GNOME): the window that the
// accessibility bus (AT-SPI) last reported as activated, with the process that owns it. Only
// toolkits with accessibility on report (GTK always; Qt, Chromium and others only while an
// assistive technology runs), so when the reported window is deactivated and no other reports
// its activation, the front application is unknown rather than stale.
//
// The reports arrive as D-Bus signals, which Qt delivers only to an object in a thread with an
// event loop; the listener runs one of its own, because its user (the action thread) has none.
#include <memory>
#include <optional>
#include <string>

#include "platform/desktop/compositor.h"

namespace koru {

class AtSpiFrontApp {
 public:
  // Connects to the accessibility bus that the session bus names (org.a11y.Bus) and asks the
  // registry for window activations; null with the reason when either is missing.
  static std::unique_ptr<AtSpiFrontApp> Open(std::string* why_not);
  ~AtSpiFrontApp();

  // The last activated window that is still active: "id" is the sender and object path, "pid"
  // the sender's process, "app_id" that process's executable name, "title" the window's name.
  std::optional<CompositorWindow> ActiveWindow() const;

 private:
  struct Impl;
  explicit AtSpiFrontApp(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace koru
