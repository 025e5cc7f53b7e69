#pragma once
// GNOME: its compositor offers other programs no interface to their windows. Workspaces are
// switched by pressing the desktop's own key bindings (org.gnome.desktop.wm.keybindings) through
// an input injector; the front application comes from the accessibility bus; windows can be
// neither listed, focused nor closed.
#include <functional>
#include <memory>
#include <string>

#include "platform/desktop/atspi_front_app.h"
#include "platform/desktop/compositor.h"

namespace koru {

// One GSettings value as "gsettings get SCHEMA KEY" prints it ("['<Super>Home']", "4", "true");
// empty when it cannot be read.
using GSettingsReader =
    std::function<std::string(const std::string& schema, const std::string& key)>;
GSettingsReader GSettingsCommand();

class GnomeCompositor : public Compositor {
 public:
  // `injector` (kept, not owned) and `front_app` may be null: then there are no workspaces, or
  // no front application, and `front_app_why_not` says why.
  GnomeCompositor(InputInjector* injector, GSettingsReader settings,
                  std::unique_ptr<AtSpiFrontApp> front_app, std::string front_app_why_not = {});
  ~GnomeCompositor() override;

  std::string DesktopName() const override { return "GNOME"; }
  CompositorBackends Backends() const override;
  // Why each missing capability is missing, and what would enable it; empty where it works.
  CompositorBackends WhyNot() const override;
  CompositorBackends Remedies() const override;

  std::vector<CompositorWindow> Windows() override { return {}; }
  std::optional<CompositorWindow> FocusedWindow() override;
  status_t Focus(const CompositorWindow&) override { return kUnsupported; }
  status_t Close(const CompositorWindow&) override { return kUnsupported; }

  // With dynamic workspaces (GNOME's default) the count is kDynamicWorkspaceCount.
  int32_t CountWorkspaces() override;
  // Nobody outside the shell can tell: always -1.
  int32_t CurrentWorkspace() override { return -1; }
  // Presses "switch-to-workspace-N" where it has a binding; else goes to the first workspace and
  // steps right index times. kBadIndex at or beyond the count, kUnsupported without the keys.
  status_t ActivateWorkspace(int32_t index) override;

  // With dynamic workspaces GNOME keeps one empty workspace after the used ones and no fixed
  // count: every digit of a remote then names a workspace, and a step beyond the last one stays
  // on the last one, as it does for the desktop's own keys.
  static constexpr int32_t kDynamicWorkspaceCount = 10;

 private:
  std::vector<uint16_t> Binding(const std::string& name) const;
  status_t Press(const std::vector<uint16_t>& keys, int32_t times);

  InputInjector* injector_;
  GSettingsReader settings_;
  std::unique_ptr<AtSpiFrontApp> front_app_;
  std::string front_app_why_not_;
  bool keys_readable_ = false;
};

// The GNOME adapter with the real gsettings and accessibility bus; `injector` may be null.
// Never null: a GNOME without any capability still says why in WhyNot(); `why_not` gets the
// reasons of what is missing joined, empty when everything but windows works.
std::unique_ptr<GnomeCompositor> OpenGnomeCompositor(InputInjector* injector, std::string* why_not);

}  // namespace koru
