#pragma once
// The RemoteDesktop portal's signals for PortalInjector (portal_injector.cpp), received on the
// thread that uses the injector; the injector reads what came in when it waits or at its next
// call.
#include <QDBusMessage>
#include <QEventLoop>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <cstdint>
#include <map>
#include <set>

namespace koru {

class PortalSignals : public QObject {
  Q_OBJECT

 public:
  struct Answer {
    uint32_t response = 0;
    QVariantMap results;
  };
  std::map<QString, Answer> answers;  // by request path
  std::set<QString> closed_sessions;
  QString owner;  // the portal's unique name as last announced; empty: gone
  QEventLoop* waiting = nullptr;

 public slots:
  void OnResponse(uint response, const QVariantMap& results, const QDBusMessage& message) {
    answers[message.path()] = {response, results};
    Wake();
  }
  void OnClosed(const QVariantMap& /*details*/, const QDBusMessage& message) {
    closed_sessions.insert(message.path());
    Wake();
  }
  void OnOwnerChanged(const QString& /*service*/, const QString& /*old_owner*/,
                      const QString& new_owner) {
    owner = new_owner;
    Wake();
  }

 private:
  void Wake() {
    if (waiting != nullptr) waiting->quit();
  }
};

}  // namespace koru
