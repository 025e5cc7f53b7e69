#pragma once
// sway and i3 through their IPC socket ($SWAYSOCK, $I3SOCK): workspaces by number, the focused
// window and the window list from the layout tree, focusing and closing by container id.
#include <memory>
#include <string>
#include <string_view>

#include "platform/desktop/compositor.h"
#include "platform/desktop/i3_ipc_client.h"

namespace koru {

class SwayCompositor : public Compositor {
 public:
  // Both number their workspaces 1..10 from the keyboard; digit N selects workspace number N.
  static constexpr int32_t kWorkspaceCount = 10;

  // `desktop_name` is "sway" or "i3". Null, with the reason, when the socket does not answer.
  static std::unique_ptr<SwayCompositor> Open(const std::string& socket_path,
                                              std::string desktop_name, std::string* why_not);

  std::string DesktopName() const override { return desktop_name_; }
  CompositorBackends Backends() const override;
  std::vector<CompositorWindow> Windows() override;
  std::optional<CompositorWindow> FocusedWindow() override;
  status_t Focus(const CompositorWindow& window) override;
  status_t Close(const CompositorWindow& window) override;
  int32_t CountWorkspaces() override { return kWorkspaceCount; }
  int32_t CurrentWorkspace() override;
  status_t ActivateWorkspace(int32_t index) override;
  ScreenSize LayoutSize() override;

 private:
  SwayCompositor(std::unique_ptr<I3IpcClient> client, std::string desktop_name)
      : client_(std::move(client)), desktop_name_(std::move(desktop_name)) {}
  status_t Command(const std::string& command);

  std::unique_ptr<I3IpcClient> client_;
  std::string desktop_name_;
};

// The replies' contents, apart so they can be tested on recorded replies.
// Every window (a container with a process) of a GET_TREE reply, in tree order.
std::vector<CompositorWindow> SwayWindowsFromTree(std::string_view tree_json);
// The focused workspace's index (number - 1) from a GET_WORKSPACES reply; -1 when it has no
// number from 1 to 10.
int32_t SwayCurrentWorkspace(std::string_view workspaces_json);
// The bounding box of the active outputs of a GET_OUTPUTS reply.
ScreenSize SwayLayoutSize(std::string_view outputs_json);
// True when every command of a RUN_COMMAND reply succeeded.
bool SwayCommandSucceeded(std::string_view reply_json);

}  // namespace koru
