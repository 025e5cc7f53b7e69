#pragma once
// A recording input injector and a scripted compositor, for tests of the Wayland desktop.
#include <string>
#include <vector>

#include "platform/desktop/compositor.h"
#include "platform/desktop/input_injector.h"

namespace koru {

class FakeInputInjector : public InputInjector {
 public:
  // Recorded calls: "stroke 56,74", "click", "move 10,20->10,36 in 1280x800".
  std::vector<std::string>* calls;
  explicit FakeInputInjector(std::vector<std::string>* record) : calls(record) {}

  std::string Name() const override { return "fake-input"; }
  status_t Stroke(const std::vector<uint16_t>& keys) override;
  status_t Click() override;
  status_t MovePointer(ScreenPoint from, ScreenPoint to, ScreenSize layout) override;
};

class FakeCompositor : public Compositor {
 public:
  // Scripted state; `calls` records "focus ID", "close ID", "workspace N".
  std::vector<CompositorWindow> windows;
  int32_t workspace_count = 10;
  int32_t current_workspace = 0;
  ScreenSize layout;
  CompositorBackends backends{"fake-workspaces", "fake-front", "fake-windows"};
  std::vector<std::string>* calls;
  explicit FakeCompositor(std::vector<std::string>* record) : calls(record) {}

  std::string DesktopName() const override { return "fake"; }
  CompositorBackends Backends() const override { return backends; }
  std::vector<CompositorWindow> Windows() override { return windows; }
  std::optional<CompositorWindow> FocusedWindow() override;
  status_t Focus(const CompositorWindow& window) override;
  status_t Close(const CompositorWindow& window) override;
  int32_t CountWorkspaces() override { return workspace_count; }
  int32_t CurrentWorkspace() override { return current_workspace; }
  status_t ActivateWorkspace(int32_t index) override;
  ScreenSize LayoutSize() override { return layout; }
};

}  // namespace koru
