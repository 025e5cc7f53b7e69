#include "platform/messaging/qt_looper.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace koru {

void QtLooper::Post(std::function<void()> task) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) return;  // no event loop any more: the program is ending
  QMetaObject::invokeMethod(app, std::move(task), Qt::QueuedConnection);
}

}  // namespace koru
