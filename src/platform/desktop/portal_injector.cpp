#include "platform/desktop/portal_injector.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <QVariantMap>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <functional>

#include "platform/bus/session_bus.h"
#include "platform/desktop/portal_signals.h"
#include "platform/files/paths.h"
#include "platform/files/safe_file.h"
#include "platform/messaging/trace.h"

namespace koru {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kObjectPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kRemoteDesktop = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kSession = QStringLiteral("org.freedesktop.portal.Session");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

constexpr int kCallTimeoutMs = 5000;
// Start waits while the user reads the desktop's question and answers it.
constexpr int kStartAnswerTimeoutMs = 120'000;
constexpr uint32_t kKeyboard = 1;
constexpr uint32_t kPointer = 2;
constexpr uint32_t kPersistUntilRevoked = 2;
constexpr int32_t kButtonLeft = 0x110;  // BTN_LEFT
constexpr uint32_t kReleased = 0;
constexpr uint32_t kPressed = 1;
constexpr size_t kTokenLimit = 4096;

std::atomic<int> connection_count{0};

QDBusMessage AskVersion(const QDBusConnection& bus) {
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kObjectPath, kProperties, "Get");
  call << kRemoteDesktop << QStringLiteral("version");
  return bus.call(call, QDBus::Block, kCallTimeoutMs);
}

bool IsGone(const QString& error_name) {
  return error_name == QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown") ||
         error_name == QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner") ||
         error_name == QStringLiteral("org.freedesktop.DBus.Error.NoReply") ||
         error_name == QStringLiteral("org.freedesktop.DBus.Error.Disconnected") ||
         error_name.startsWith(QStringLiteral("org.freedesktop.DBus.Error.Spawn"));
}

std::string WhyNot(const QDBusMessage& reply) {
  const QString name = reply.errorName();
  if (IsGone(name)) return "no desktop portal (xdg-desktop-portal) runs on the session bus";
  if (name.endsWith(QStringLiteral(".UnknownInterface")) ||
      name.endsWith(QStringLiteral(".UnknownProperty")) ||
      name.endsWith(QStringLiteral(".UnknownMethod")) ||
      name.endsWith(QStringLiteral(".UnknownObject")) ||
      name.endsWith(QStringLiteral(".InvalidArgs")))
    return "the desktop portal offers no remote desktop (this desktop's portal backend has no "
           "org.freedesktop.portal.RemoteDesktop)";
  return "the desktop portal does not answer (" + reply.errorMessage().toStdString() + ")";
}

QString ReadToken() {
  std::string text;
  if (!ReadSmallRegularFile(PortalTokenFile(), kTokenLimit, &text)) return {};
  return QString::fromStdString(text).trimmed();
}

// The token is single use: the one a start hands out replaces the stored one, and a start that
// hands out none leaves none.
void StoreToken(const QString& token) {
  const std::filesystem::path file = PortalTokenFile();
  std::error_code error;
  if (token.isEmpty()) {
    std::filesystem::remove(file, error);
    return;
  }
  std::filesystem::create_directories(file.parent_path().parent_path(), error);
  mkdir(file.parent_path().c_str(), 0700);
  const status_t status =
      WriteFileSafely(file, token.toStdString() + "\n", [](const std::filesystem::path& temporary) {
        return chmod(temporary.c_str(), 0600) == 0 ? kOk : StatusFromErrno(errno);
      });
  if (status != kOk) {
    Trace("desktop portal: the restore token cannot be stored in %s: %s\n", file.c_str(),
          StatusText(status).c_str());
  }
}

}  // namespace

namespace {

class PortalInjector : public InputInjector {
 public:
  PortalInjector(const QString& connection_name, uint32_t version)
      : bus_(QDBusConnection(connection_name)), version_(version) {}

  ~PortalInjector() override {
    CloseSession();
    signals_.reset();
    QDBusConnection::disconnectFromBus(bus_.name());
  }

  std::string Name() const override { return "portal"; }

  status_t Stroke(const std::vector<uint16_t>& keys) override {
    if (keys.empty()) return kBadValue;
    if (status_t status = Ready(kKeyboard); status != kOk) return status;
    size_t pressed = 0;
    status_t status = kOk;
    for (; pressed < keys.size(); ++pressed) {
      status = Notify("NotifyKeyboardKeycode", {static_cast<int32_t>(keys[pressed]), kPressed});
      if (status != kOk) break;
    }
    // Released in reverse, and after a failed press too, while the session lasts.
    for (size_t i = pressed; i-- > 0 && state_ == State::kActive;) {
      status_t released =
          Notify("NotifyKeyboardKeycode", {static_cast<int32_t>(keys[i]), kReleased});
      if (status == kOk) status = released;
    }
    return status;
  }

  status_t Click() override {
    if (status_t status = Ready(kPointer); status != kOk) return status;
    status_t status = Notify("NotifyPointerButton", {kButtonLeft, kPressed});
    if (state_ != State::kActive) return status;
    status_t released = Notify("NotifyPointerButton", {kButtonLeft, kReleased});
    return status != kOk ? status : released;
  }

  // Relative only: absolute motion through the portal needs a screen cast stream, which KORU
  // does not ask for.
  status_t MovePointer(ScreenPoint from, ScreenPoint to, ScreenSize /*layout*/) override {
    if (from == to) return kOk;
    if (status_t status = Ready(kPointer); status != kOk) return status;
    return Notify("NotifyPointerMotion",
                  {static_cast<double>(to.x - from.x), static_cast<double>(to.y - from.y)});
  }

 private:
  enum class State { kIdle, kActive, kRefused, kLost };
  struct Outcome {
    enum class Kind { kAnswered, kFailed, kNoAnswer } kind = Kind::kFailed;
    uint32_t response = 0;
    QVariantMap results;
    QString error_name;
    QString error;
  };

  // kOk when a session with `device` is running, starting one when there is none.
  status_t Ready(uint32_t device) {
    if (!signals_) {
      // Created on the thread that uses the injector: the signals are delivered there.
      signals_ = std::make_unique<PortalSignals>();
      auto* watcher = new QDBusServiceWatcher(
          kService, bus_, QDBusServiceWatcher::WatchForOwnerChange, signals_.get());
      QObject::connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, signals_.get(),
                       &PortalSignals::OnOwnerChanged);
    }
    QCoreApplication::sendPostedEvents();  // what the portal said since the last call
    if (state_ == State::kActive && SessionEnded()) {
      Lose(signals_->owner.isEmpty() ? "the desktop portal went away"
                                     : "the desktop ended the remote desktop session");
      return kNoDevice;
    }
    if (state_ == State::kRefused) return kNotAllowed;
    if (state_ == State::kLost) {
      // Said when it was lost; quiet until the portal answers again.
      QDBusMessage reply = AskVersion(bus_);
      if (reply.type() != QDBusMessage::ReplyMessage) return kNoDevice;
      version_ = reply.arguments().value(0).value<QDBusVariant>().variant().toUInt();
    }
    if (state_ != State::kActive) {
      if (status_t status = StartSession(); status != kOk) return status;
    }
    return (devices_ & device) != 0 ? kOk : kNotAllowed;
  }

  bool SessionEnded() const {
    return signals_->owner != session_owner_ || signals_->closed_sessions.count(session_) > 0;
  }

  status_t StartSession() {
    // Who serves the portal now: another owner later means this session is gone.
    QDBusReply<QString> owner = bus_.interface()->serviceOwner(kService);
    QCoreApplication::sendPostedEvents();  // older owner changes than that answer
    if (!owner.isValid()) {
      Lose("the desktop portal is not on the session bus");
      return kNoDevice;
    }
    session_owner_ = signals_->owner = owner.value();
    signals_->closed_sessions.clear();

    Outcome created =
        Ask("CreateSession", {}, {{"session_handle_token", NextToken()}}, kCallTimeoutMs);
    if (status_t status = Granted(created, "create a session"); status != kOk) return status;
    const QVariant handle = created.results.value("session_handle");
    // An object path by the documentation, a string from some portals.
    session_ = handle.userType() == qMetaTypeId<QDBusObjectPath>()
                   ? handle.value<QDBusObjectPath>().path()
                   : handle.toString();
    bus_.connect(kService, session_, kSession, "Closed", "a{sv}", signals_.get(),
                 SLOT(OnClosed(QVariantMap, QDBusMessage)));

    QVariantMap select{{"types", QVariant::fromValue(kKeyboard | kPointer)}};
    if (version_ >= 2) {
      select["persist_mode"] = QVariant::fromValue(kPersistUntilRevoked);
      if (QString token = ReadToken(); !token.isEmpty()) select["restore_token"] = token;
    }
    Outcome selected = Ask("SelectDevices", {QVariant::fromValue(QDBusObjectPath(session_))},
                           select, kCallTimeoutMs);
    if (status_t status = Granted(selected, "select the devices"); status != kOk) return status;

    Outcome started = Ask("Start", {QVariant::fromValue(QDBusObjectPath(session_)), QString()}, {},
                          kStartAnswerTimeoutMs);
    if (status_t status = Granted(started, "start"); status != kOk) return status;
    if (version_ >= 2) StoreToken(started.results.value("restore_token").toString());
    devices_ = started.results.value("devices").toUInt();
    state_ = State::kActive;
    Trace("desktop portal: remote desktop session started (keyboard %s, pointer %s)\n",
          (devices_ & kKeyboard) ? "allowed" : "not allowed",
          (devices_ & kPointer) ? "allowed" : "not allowed");
    return kOk;
  }

  // Sends a request and waits for its Response signal (subscribed to before the call, at the
  // path the portal derives from our name and the handle token, so it cannot be missed).
  Outcome Ask(const QString& method, QVariantList arguments, QVariantMap options,
              int answer_timeout_ms) {
    const QString token = NextToken();
    options["handle_token"] = token;
    const QString sender = bus_.baseService().mid(1).replace('.', '_');
    QString request = kObjectPath + "/request/" + sender + "/" + token;
    Subscribe(request);
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kObjectPath, kRemoteDesktop, method);
    arguments << options;
    call.setArguments(arguments);
    QDBusMessage reply = bus_.call(call, QDBus::Block, kCallTimeoutMs);
    Outcome outcome;
    if (reply.type() != QDBusMessage::ReplyMessage) {
      Unsubscribe(request);
      outcome.error_name = reply.errorName();
      outcome.error = reply.errorMessage();
      return outcome;
    }
    // A portal older than the derived paths says where its request is.
    const QString handle = reply.arguments().value(0).value<QDBusObjectPath>().path();
    if (!handle.isEmpty() && handle != request) {
      Unsubscribe(request);
      request = handle;
      Subscribe(request);
    }
    const bool answered = WaitFor(
        [&] { return signals_->answers.count(request) > 0 || signals_->owner != session_owner_; },
        answer_timeout_ms);
    Unsubscribe(request);
    auto answer = signals_->answers.find(request);
    if (answer != signals_->answers.end()) {
      outcome.kind = Outcome::Kind::kAnswered;
      outcome.response = answer->second.response;
      outcome.results = answer->second.results;
      signals_->answers.erase(answer);
    } else if (answered) {
      outcome.error_name = QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner");
    } else {
      outcome.kind = Outcome::Kind::kNoAnswer;
      // Takes the question off the screen.
      QDBusMessage close = QDBusMessage::createMethodCall(kService, request, kRequest, "Close");
      bus_.send(close);
    }
    return outcome;
  }

  void Subscribe(const QString& request) {
    bus_.connect(kService, request, kRequest, "Response", "ua{sv}", signals_.get(),
                 SLOT(OnResponse(uint, QVariantMap, QDBusMessage)));
  }
  void Unsubscribe(const QString& request) {
    bus_.disconnect(kService, request, kRequest, "Response", "ua{sv}", signals_.get(),
                    SLOT(OnResponse(uint, QVariantMap, QDBusMessage)));
  }

  // kOk for a granted request; anything else gives the session up with one trace line.
  status_t Granted(const Outcome& outcome, const char* step) {
    switch (outcome.kind) {
      case Outcome::Kind::kAnswered:
        if (outcome.response == 0) return kOk;
        Refuse(outcome.response == 1 ? "remote control of the keyboard and pointer was declined"
                                     : "the desktop refused remote control of the keyboard and "
                                       "pointer");
        return kNotAllowed;
      case Outcome::Kind::kNoAnswer:
        Refuse("the desktop's question about remote control went unanswered");
        return kNotAllowed;
      case Outcome::Kind::kFailed:
        break;
    }
    if (IsGone(outcome.error_name) || signals_->owner != session_owner_) {
      Lose("the desktop portal went away");
      return kNoDevice;
    }
    Refuse(std::string("the desktop portal could not ") + step + " (" +
           outcome.error.toStdString() + ")");
    return kError;
  }

  status_t Notify(const QString& method, const QVariantList& values) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kObjectPath, kRemoteDesktop, method);
    call.setArguments(QVariantList{QVariant::fromValue(QDBusObjectPath(session_)), QVariantMap()} +
                      values);
    call.setAutoStartService(false);
    QDBusMessage reply = bus_.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage) return kOk;
    QCoreApplication::sendPostedEvents();
    if (IsGone(reply.errorName()) || signals_->owner != session_owner_)
      Lose("the desktop portal went away");
    else
      Lose("the desktop portal stopped taking input (" + reply.errorMessage().toStdString() + ")");
    return kNoDevice;
  }

  // A refusal holds for the rest of the run: asking again would ask the user in a loop.
  void Refuse(const std::string& why) {
    Trace("desktop portal: %s; KORU will not ask again until it starts anew\n", why.c_str());
    CloseSession();
    state_ = State::kRefused;
  }

  void Lose(const std::string& why) {
    Trace("desktop portal: %s; keys and pointer fail until it is back\n", why.c_str());
    CloseSession();
    state_ = State::kLost;
  }

  void CloseSession() {
    if (session_.isEmpty()) return;
    if (signals_) {
      bus_.disconnect(kService, session_, kSession, "Closed", "a{sv}", signals_.get(),
                      SLOT(OnClosed(QVariantMap, QDBusMessage)));
    }
    QDBusMessage close = QDBusMessage::createMethodCall(kService, session_, kSession, "Close");
    close.setAutoStartService(false);
    bus_.send(close);
    session_.clear();
    devices_ = 0;
  }

  bool WaitFor(const std::function<bool()>& done, int timeout_ms) {
    if (done()) return true;
    QEventLoop loop;  // first: it gives this thread an event dispatcher for the timer
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(timeout_ms);
    signals_->waiting = &loop;
    while (!done() && timer.isActive()) loop.exec();
    signals_->waiting = nullptr;
    return done();
  }

  QString NextToken() { return QStringLiteral("koru%1").arg(++next_token_); }

  QDBusConnection bus_;
  uint32_t version_;
  std::unique_ptr<PortalSignals> signals_;
  State state_ = State::kIdle;
  QString session_;
  QString session_owner_;
  uint32_t devices_ = 0;
  int next_token_ = 0;
};

}  // namespace

std::unique_ptr<InputInjector> OpenPortalInjector(std::string* why_not) {
  if (QCoreApplication::instance() == nullptr) {
    *why_not = "the desktop portal needs the program's event loop";
    return nullptr;
  }
  if (!SessionBusMayExist(/*display_starts_one=*/false)) {
    *why_not = "there is no session bus to reach the desktop portal on";
    return nullptr;
  }
  const QString name = QStringLiteral("koru-portal-%1").arg(++connection_count);
  QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
  if (!bus.isConnected()) {
    QDBusConnection::disconnectFromBus(name);
    *why_not = "there is no session bus to reach the desktop portal on";
    return nullptr;
  }
  QDBusMessage reply = AskVersion(bus);
  if (reply.type() != QDBusMessage::ReplyMessage) {
    QDBusConnection::disconnectFromBus(name);
    *why_not = WhyNot(reply);
    return nullptr;
  }
  why_not->clear();
  const uint32_t version = reply.arguments().value(0).value<QDBusVariant>().variant().toUInt();
  return std::make_unique<PortalInjector>(name, version);
}

std::filesystem::path PortalTokenFile() {
  return SettingsFolder() / "koru" / "remote-desktop-token";
}

}  // namespace koru
