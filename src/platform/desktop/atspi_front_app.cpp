#include "platform/desktop/atspi_front_app.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QObject>
#include <QThread>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "platform/messaging/trace.h"

namespace koru {

namespace {

constexpr int kReplyTimeoutMs = 2000;
const QString kWindowEvents = QStringLiteral("org.a11y.atspi.Event.Window");

// The executable's file name of a process, else its command name; empty when it is gone.
std::string ExecutableName(int32_t pid) {
  std::error_code error;
  std::filesystem::path exe =
      std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", error);
  if (!error && !exe.filename().empty()) return exe.filename().string();
  std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
  std::string name;
  std::getline(comm, name);
  return name;
}

// Nothing is started on demand: GNOME's session runs the accessibility bus, and elsewhere
// KORU has no business starting it.
QDBusMessage Call(QDBusConnection& bus, const QString& service, const QString& path,
                  const QString& interface, const QString& method, const QVariantList& arguments) {
  QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
  call.setArguments(arguments);
  call.setAutoStartService(false);
  return bus.call(call, QDBus::Block, kReplyTimeoutMs);
}

bool Answered(const QDBusMessage& reply) {
  return reply.type() == QDBusMessage::ReplyMessage;
}

}  // namespace

// Receives the window events in its own thread and keeps the last activated window.
class AtSpiWindowListener : public QObject {
  Q_OBJECT

 public:
  explicit AtSpiWindowListener(const QString& connection_name) : bus_(connection_name) {}

  std::optional<CompositorWindow> Active() const {
    std::lock_guard lock(mutex_);
    return active_;
  }

 public slots:
  void OnActivate(const QDBusMessage& message) {
    CompositorWindow window;
    window.id = (message.service() + message.path()).toStdString();
    window.focused = true;
    const QVariantList arguments = message.arguments();
    if (arguments.size() > 3)
      window.title = arguments[3].value<QDBusVariant>().variant().toString().toStdString();
    QDBusMessage reply =
        Call(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
             "GetConnectionUnixProcessID", {message.service()});
    if (Answered(reply) && !reply.arguments().isEmpty()) {
      window.pid = static_cast<int32_t>(reply.arguments().first().toUInt());
      window.app_id = ExecutableName(window.pid);
    }
    std::lock_guard lock(mutex_);
    // A sender that is already gone leaves nothing in front that anyone can name.
    if (window.app_id.empty())
      active_.reset();
    else
      active_ = window;
  }

  void OnDeactivate(const QDBusMessage& message) {
    std::string id = (message.service() + message.path()).toStdString();
    std::lock_guard lock(mutex_);
    if (active_ && active_->id == id) active_.reset();
  }

 private:
  QDBusConnection bus_;
  mutable std::mutex mutex_;
  std::optional<CompositorWindow> active_;
};

struct AtSpiFrontApp::Impl {
  QString connection_name;
  QThread thread;
  AtSpiWindowListener* listener = nullptr;

  ~Impl() {
    if (listener) {
      QDBusConnection bus(connection_name);
      bus.disconnect(QString(), QString(), kWindowEvents, "Activate", listener,
                     SLOT(OnActivate(QDBusMessage)));
      bus.disconnect(QString(), QString(), kWindowEvents, "Deactivate", listener,
                     SLOT(OnDeactivate(QDBusMessage)));
    }
    thread.quit();
    thread.wait();
    delete listener;
    if (!connection_name.isEmpty()) QDBusConnection::disconnectFromBus(connection_name);
  }
};

AtSpiFrontApp::AtSpiFrontApp(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
AtSpiFrontApp::~AtSpiFrontApp() = default;

std::unique_ptr<AtSpiFrontApp> AtSpiFrontApp::Open(std::string* why_not) {
  static std::atomic<int> instances{0};
  const int instance = ++instances;
  auto fail = [&](const std::string& why) {
    if (why_not) *why_not = why;
    return nullptr;
  };

  QString address;
  {
    const QString name = QStringLiteral("koru-a11y-lookup-%1").arg(instance);
    QDBusConnection session = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    QDBusMessage reply;
    if (session.isConnected())
      reply = Call(session, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", {});
    QDBusConnection::disconnectFromBus(name);
    if (!Answered(reply) || reply.arguments().isEmpty())
      return fail("the session bus names no accessibility bus (org.a11y.Bus)");
    address = reply.arguments().first().toString();
  }

  auto impl = std::make_unique<Impl>();
  impl->connection_name = QStringLiteral("koru-a11y-%1").arg(instance);
  QDBusConnection bus = QDBusConnection::connectToBus(address, impl->connection_name);
  if (!bus.isConnected())
    return fail("the accessibility bus at " + address.toStdString() + " cannot be reached");

  impl->listener = new AtSpiWindowListener(impl->connection_name);
  impl->thread.setObjectName(QStringLiteral("koru-a11y"));
  impl->listener->moveToThread(&impl->thread);
  impl->thread.start();
  // Listening first: events sent between the registration and the match rule would be lost.
  bool listening = bus.connect(QString(), QString(), kWindowEvents, "Activate", impl->listener,
                               SLOT(OnActivate(QDBusMessage))) &&
                   bus.connect(QString(), QString(), kWindowEvents, "Deactivate", impl->listener,
                               SLOT(OnDeactivate(QDBusMessage)));
  if (!listening) return fail("the accessibility bus refuses to pass on window events");
  // Toolkits send only the events that some listener asked the registry for.
  for (const char* event : {"window:activate", "window:deactivate"}) {
    QDBusMessage reply = Call(bus, "org.a11y.atspi.Registry", "/org/a11y/atspi/registry",
                              "org.a11y.atspi.Registry", "RegisterEvent", {QString(event)});
    if (!Answered(reply)) {
      return fail("the accessibility registry does not answer (" +
                  reply.errorMessage().toStdString() + ")");
    }
  }
  return std::unique_ptr<AtSpiFrontApp>(new AtSpiFrontApp(std::move(impl)));
}

std::optional<CompositorWindow> AtSpiFrontApp::ActiveWindow() const {
  return impl_->listener->Active();
}

}  // namespace koru

#include "atspi_front_app.moc"
