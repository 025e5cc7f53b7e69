#include "shell/bring_to_front.h"

#include <QGuiApplication>
#include <QWidget>

namespace koru {

void BringToFront(QWidget* window, const std::string& activation_token) {
  if (window == nullptr) return;
  window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->show();
  if (QGuiApplication::platformName().startsWith("wayland")) {
    // Qt's Wayland plugin activates with the token in the environment, and consumes it.
    if (!activation_token.empty()) qputenv("XDG_ACTIVATION_TOKEN", activation_token.c_str());
  } else {
    window->raise();  // Wayland has no raising by clients (Qt warns)
  }
  window->activateWindow();
}

}  // namespace koru
