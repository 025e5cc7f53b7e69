#include "toolkit/after_first_turn.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QPointer>
#include <memory>

namespace koru {

void AfterFirstTurn(QObject* context, std::function<void()> work) {
  auto* dispatcher = QAbstractEventDispatcher::instance();
  if (dispatcher == nullptr) return;
  auto connection = std::make_shared<QMetaObject::Connection>();
  QPointer<QObject> alive(context);
  *connection =
      QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, context,
                       [connection, alive, work = std::move(work)] {
                         // Queued: the loop wakes for it at once, after what it was about to wait
                         // for.
                         QMetaObject::invokeMethod(
                             QCoreApplication::instance(),
                             [alive, work] {
                               if (alive != nullptr) work();
                             },
                             Qt::QueuedConnection);
                         QObject::disconnect(*connection);  // last: it ends this function object
                       });
}

}  // namespace koru
