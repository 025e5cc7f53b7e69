#pragma once
// What a Wayland desktop offers other programs of its windows and workspaces: one adapter per
// compositor family (sway/i3 IPC, KWin over D-Bus, GNOME's key bindings and accessibility bus).
// An adapter may lack a capability; it then says which backend it would need. The Wayland
// desktop is its only user (the action thread).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop/input_injector.h"
#include "platform/messaging/status.h"

namespace koru {

// One top-level window as the compositor reports it.
struct CompositorWindow {
  std::string id;        // the compositor's own id (sway con_id, KWin internal id, ...)
  int32_t pid = -1;      // -1 when unknown
  std::string app_id;    // the Wayland app_id, or the X11 class of an Xwayland window
  std::string instance;  // the X11 instance name of an Xwayland window, else empty
  std::string title;
  bool focused = false;
  // Where the window's content starts on the output layout, where the compositor tells it.
  std::optional<ScreenPoint> content_origin;
  bool operator==(const CompositorWindow&) const = default;
};

// The backend of each capability; empty where the adapter has none.
struct CompositorBackends {
  std::string workspaces;
  std::string front_app;  // which window (and so application) has the focus
  std::string windows;    // listing, focusing and closing windows
};

class Compositor {
 public:
  virtual ~Compositor() = default;

  // "sway", "i3", "KDE Plasma", "GNOME": the desktop's name for the "desktop:" trace line.
  virtual std::string DesktopName() const = 0;
  virtual CompositorBackends Backends() const = 0;
  // For each capability without a backend: why, and the one step that would enable it (one
  // sentence each; empty where there is nothing to say).
  virtual CompositorBackends WhyNot() const { return {}; }
  virtual CompositorBackends Remedies() const { return {}; }

  // Top-level windows in the compositor's order (empty without the windows capability).
  virtual std::vector<CompositorWindow> Windows() = 0;
  // The focused window; nullopt when none has the focus or nobody can tell.
  virtual std::optional<CompositorWindow> FocusedWindow() = 0;
  virtual status_t Focus(const CompositorWindow& window) = 0;
  // Asks the window to close, as its close button would.
  virtual status_t Close(const CompositorWindow& window) = 0;

  virtual int32_t CountWorkspaces() = 0;
  // The current workspace's index (0 = the first), -1 when unknown.
  virtual int32_t CurrentWorkspace() = 0;
  virtual status_t ActivateWorkspace(int32_t index) = 0;

  // The output layout's size, for absolute pointer moves; unknown by default.
  virtual ScreenSize LayoutSize() { return {}; }
};

}  // namespace koru
