#include "shell/bring_to_front.h"

#include <QWidget>

void BringToFront(QWidget* window) {
  if (window == nullptr) return;
  window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->show();
  window->raise();
  window->activateWindow();
}
