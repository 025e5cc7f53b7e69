#include "platform/desktop/fake_wayland_parts.h"

#include <algorithm>

namespace koru {

status_t FakeInputInjector::Stroke(const std::vector<uint16_t>& keys) {
  std::string call = "stroke ";
  for (size_t i = 0; i < keys.size(); ++i) call += (i ? "," : "") + std::to_string(keys[i]);
  calls->push_back(call);
  return kOk;
}

status_t FakeInputInjector::Click() {
  calls->push_back("click");
  return kOk;
}

status_t FakeInputInjector::MovePointer(ScreenPoint from, ScreenPoint to, ScreenSize layout) {
  calls->push_back("move " + std::to_string(from.x) + "," + std::to_string(from.y) + "->" +
                   std::to_string(to.x) + "," + std::to_string(to.y) + " in " +
                   std::to_string(layout.width) + "x" + std::to_string(layout.height));
  return kOk;
}

std::optional<CompositorWindow> FakeCompositor::FocusedWindow() {
  for (const CompositorWindow& window : windows) {
    if (window.focused) return window;
  }
  return std::nullopt;
}

status_t FakeCompositor::Focus(const CompositorWindow& window) {
  calls->push_back("focus " + window.id);
  for (CompositorWindow& each : windows) each.focused = each.id == window.id;
  return kOk;
}

status_t FakeCompositor::Close(const CompositorWindow& window) {
  calls->push_back("close " + window.id);
  std::erase_if(windows, [&](const CompositorWindow& each) { return each.id == window.id; });
  return kOk;
}

status_t FakeCompositor::ActivateWorkspace(int32_t index) {
  calls->push_back("workspace " + std::to_string(index));
  current_workspace = index;
  return kOk;
}

}  // namespace koru
