#include "platform/desktop/sway_compositor.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "platform/messaging/trace.h"

namespace koru {

namespace {

QJsonDocument ParseJson(std::string_view text) {
  return QJsonDocument::fromJson(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

std::string Text(const QJsonValue& value) {
  return value.isString() ? value.toString().toStdString() : std::string();
}

void CollectWindows(const QJsonObject& node, std::vector<CompositorWindow>* windows) {
  // A view has a process; workspaces, outputs and split containers have none.
  int32_t pid = node.value("pid").toInt(0);
  std::string type = Text(node.value("type"));
  if (pid > 0 && (type == "con" || type == "floating_con")) {
    CompositorWindow window;
    window.id = std::to_string(static_cast<long long>(node.value("id").toDouble()));
    window.pid = pid;
    window.title = Text(node.value("name"));
    window.focused = node.value("focused").toBool();
    window.app_id = Text(node.value("app_id"));
    QJsonObject x11 = node.value("window_properties").toObject();
    if (window.app_id.empty()) window.app_id = Text(x11.value("class"));
    window.instance = Text(x11.value("instance"));
    // sway centres a view smaller than its container (a window of fixed size in a tile).
    QJsonObject rect = node.value("rect").toObject();
    QJsonObject inner = node.value("window_rect").toObject();
    QJsonObject view = node.value("geometry").toObject();
    if (!rect.isEmpty() && !inner.isEmpty()) {
      int spare_x = std::max(0, inner.value("width").toInt() - view.value("width").toInt());
      int spare_y = std::max(0, inner.value("height").toInt() - view.value("height").toInt());
      if (view.isEmpty()) spare_x = spare_y = 0;
      window.content_origin =
          ScreenPoint{rect.value("x").toInt() + inner.value("x").toInt() + spare_x / 2,
                      rect.value("y").toInt() + inner.value("y").toInt() + spare_y / 2};
    }
    windows->push_back(std::move(window));
  }
  for (const char* children : {"nodes", "floating_nodes"}) {
    for (const QJsonValue& child : node.value(children).toArray()) {
      CollectWindows(child.toObject(), windows);
    }
  }
}

}  // namespace

std::vector<CompositorWindow> SwayWindowsFromTree(std::string_view tree_json) {
  std::vector<CompositorWindow> windows;
  CollectWindows(ParseJson(tree_json).object(), &windows);
  return windows;
}

int32_t SwayCurrentWorkspace(std::string_view workspaces_json) {
  for (const QJsonValue& each : ParseJson(workspaces_json).array()) {
    QJsonObject workspace = each.toObject();
    if (!workspace.value("focused").toBool()) continue;
    int number = workspace.value("num").toInt(-1);
    return number >= 1 && number <= SwayCompositor::kWorkspaceCount ? number - 1 : -1;
  }
  return -1;
}

ScreenSize SwayLayoutSize(std::string_view outputs_json) {
  ScreenSize size;
  for (const QJsonValue& each : ParseJson(outputs_json).array()) {
    QJsonObject output = each.toObject();
    if (output.contains("active") && !output.value("active").toBool()) continue;
    QJsonObject rect = output.value("rect").toObject();
    size.width = std::max(size.width, rect.value("x").toInt() + rect.value("width").toInt());
    size.height = std::max(size.height, rect.value("y").toInt() + rect.value("height").toInt());
  }
  return size;
}

bool SwayCommandSucceeded(std::string_view reply_json) {
  QJsonArray results = ParseJson(reply_json).array();
  if (results.isEmpty()) return false;
  return std::all_of(results.begin(), results.end(), [](const QJsonValue& result) {
    return result.toObject().value("success").toBool();
  });
}

std::unique_ptr<SwayCompositor> SwayCompositor::Open(const std::string& socket_path,
                                                     std::string desktop_name,
                                                     std::string* why_not) {
  auto client = I3IpcClient::Connect(socket_path, why_not);
  if (!client) return nullptr;
  return std::unique_ptr<SwayCompositor>(
      new SwayCompositor(std::move(client), std::move(desktop_name)));
}

CompositorBackends SwayCompositor::Backends() const {
  std::string ipc = desktop_name_ + "-ipc";
  return {ipc, ipc, ipc};
}

std::vector<CompositorWindow> SwayCompositor::Windows() {
  auto tree = client_->Request(I3IpcClient::Type::kGetTree);
  if (!tree) return {};
  return SwayWindowsFromTree(*tree);
}

std::optional<CompositorWindow> SwayCompositor::FocusedWindow() {
  for (CompositorWindow& window : Windows()) {
    if (window.focused) return std::move(window);
  }
  return std::nullopt;
}

status_t SwayCompositor::Command(const std::string& command) {
  auto reply = client_->Request(I3IpcClient::Type::kRunCommand, command);
  if (!reply) {
    Trace("%s: no answer to '%s'\n", desktop_name_.c_str(), command.c_str());
    return kError;
  }
  if (!SwayCommandSucceeded(*reply)) {
    Trace("%s: '%s' failed: %s\n", desktop_name_.c_str(), command.c_str(), reply->c_str());
    return kError;
  }
  return kOk;
}

status_t SwayCompositor::Focus(const CompositorWindow& window) {
  if (window.id.empty()) return kBadValue;
  return Command("[con_id=" + window.id + "] focus");
}

status_t SwayCompositor::Close(const CompositorWindow& window) {
  if (window.id.empty()) return kBadValue;
  return Command("[con_id=" + window.id + "] kill");
}

int32_t SwayCompositor::CurrentWorkspace() {
  auto workspaces = client_->Request(I3IpcClient::Type::kGetWorkspaces);
  return workspaces ? SwayCurrentWorkspace(*workspaces) : -1;
}

status_t SwayCompositor::ActivateWorkspace(int32_t index) {
  if (index < 0 || index >= kWorkspaceCount) return kBadValue;
  // The command returns once the workspace is shown, so the next action reads the new one.
  return Command("workspace number " + std::to_string(index + 1));
}

ScreenSize SwayCompositor::LayoutSize() {
  auto outputs = client_->Request(I3IpcClient::Type::kGetOutputs);
  return outputs ? SwayLayoutSize(*outputs) : ScreenSize{};
}

}  // namespace koru
