#include "platform/media/mpris_players.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>

#include "platform/bus/session_bus.h"
#include "platform/media/media_messages.h"
#include "platform/messaging/four_cc.h"
#include "platform/messaging/trace.h"

namespace koru {

namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
constexpr int kReplyTimeoutMs = 2000;

void TraceNoBus() {
  Trace("MPRIS: no session bus; media players are out of reach\n");
}

}  // namespace

struct MprisPlayers::Impl {
  SignatureTable table;
  // Connected when a player is first asked for, on the thread that asks: connecting takes a
  // bus round trip that the start of the program need not wait for. With no bus to reach it
  // is a connection that never was.
  std::optional<QDBusConnection> connection;
  std::mutex mutex;

  QDBusConnection& Bus() {
    if (!connection) {
      connection =
          QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("koru-mpris"));
      if (!connection->isConnected()) TraceNoBus();
    }
    return *connection;
  }

  // MPRIS bus names of the player with `signature`, in name order.
  std::vector<std::string> BusNames(const std::string& signature) {
    std::vector<std::string> names;
    const SignatureEntry* entry = table.Find(signature);
    if (!entry || !Bus().isConnected()) return names;
    for (const std::string& name : AllMprisNames()) {
      if (SignatureTable::BusNameMatches(*entry, name)) names.push_back(name);
    }
    return names;
  }

  std::vector<std::string> AllMprisNames() {
    std::vector<std::string> names;
    if (!Bus().isConnected()) return names;
    QDBusMessage call = QDBusMessage::createMethodCall(
        "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "ListNames");
    QDBusMessage reply = Bus().call(call, QDBus::Block, kReplyTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return names;
    for (const QString& name : reply.arguments().first().toStringList()) {
      if (name.startsWith("org.mpris.MediaPlayer2.")) names.push_back(name.toStdString());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // Fire-and-forget: no reply is awaited.
  status_t Send(const std::string& service, const QString& interface, const QString& method,
                const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromStdString(service), kObjectPath,
                                                       interface, method);
    call.setArguments(arguments);
    call.setAutoStartService(false);
    return Bus().send(call) ? kOk : kIoError;
  }

  status_t GetProperty(const std::string& service, const QString& interface,
                       const QString& property, QVariant* value) {
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromStdString(service), kObjectPath,
                                                       kProperties, "Get");
    call << interface << property;
    QDBusMessage reply = Bus().call(call, QDBus::Block, kReplyTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
      return kBadValue;
    }
    *value = reply.arguments().first().value<QDBusVariant>().variant();
    return kOk;
  }

  status_t SetProperty(const std::string& service, const QString& interface,
                       const QString& property, const QVariant& value) {
    return Send(service, kProperties, "Set",
                {interface, property, QVariant::fromValue(QDBusVariant(value))});
  }

  status_t StepVolume(const std::string& service, double step) {
    QVariant value;
    if (GetProperty(service, kPlayerInterface, "Volume", &value) != kOk) return kBadValue;
    double volume = std::clamp(value.toDouble() + step, 0.0, 1.0);
    return SetProperty(service, kPlayerInterface, "Volume", volume);
  }
};

MprisPlayers::MprisPlayers(const SignatureTable& table) : impl_(std::make_unique<Impl>()) {
  impl_->table = table;
  if (!SessionBusMayExist(/*display_starts_one=*/true)) {
    impl_->connection = QDBusConnection(QStringLiteral("koru-mpris-none"));
    TraceNoBus();
  }
}

MprisPlayers::~MprisPlayers() {
  if (impl_->connection && impl_->connection->name() == QStringLiteral("koru-mpris"))
    QDBusConnection::disconnectFromBus(QStringLiteral("koru-mpris"));
}

std::vector<std::string> MprisPlayers::RunningPlayers() {
  std::lock_guard lock(impl_->mutex);
  std::vector<std::string> signatures;
  for (const std::string& name : impl_->AllMprisNames()) {
    std::string signature = impl_->table.SignatureForMprisBusName(name);
    if (!signature.empty()) signatures.push_back(signature);
  }
  return signatures;
}

PlayerTrack MprisPlayers::Track(const std::string& signature, int32_t index) {
  std::lock_guard lock(impl_->mutex);
  std::vector<std::string> names = impl_->BusNames(signature);
  if (index < 0 || index >= static_cast<int32_t>(names.size())) return {};
  return {names[index]};
}

status_t MprisPlayers::Execute(const PlayerTrack& track, const std::string& command) {
  std::lock_guard lock(impl_->mutex);
  if (command == "next") return impl_->Send(track.address, kPlayerInterface, "Next");
  if (command == "previous") return impl_->Send(track.address, kPlayerInterface, "Previous");
  return kBadValue;
}

status_t MprisPlayers::GetVolume(const PlayerTrack& track, float* volume) {
  std::lock_guard lock(impl_->mutex);
  QVariant value;
  status_t status = impl_->GetProperty(track.address, kPlayerInterface, "Volume", &value);
  if (status != kOk || !value.canConvert<double>()) return kBadValue;
  *volume = static_cast<float>(value.toDouble());
  return kOk;
}

status_t MprisPlayers::SetVolume(const PlayerTrack& track, float volume) {
  std::lock_guard lock(impl_->mutex);
  return impl_->SetProperty(track.address, kPlayerInterface, "Volume", static_cast<double>(volume));
}

status_t MprisPlayers::SetPitch(const PlayerTrack& track, float pitch) {
  std::lock_guard lock(impl_->mutex);
  return impl_->Send(track.address, kPlayerInterface, pitch > 0.0f ? "Play" : "Pause");
}

status_t MprisPlayers::SendVideoCode(const std::string& signature, uint32_t code) {
  std::lock_guard lock(impl_->mutex);
  std::vector<std::string> names = impl_->BusNames(signature);
  if (names.empty()) return kEntryNotFound;
  const std::string& player = names.front();
  switch (code) {
    case kVideoPrevious:
      return impl_->Send(player, kPlayerInterface, "Previous");
    case kVideoNext:
      return impl_->Send(player, kPlayerInterface, "Next");
    case kVideoPlayPause:
      return impl_->Send(player, kPlayerInterface, "PlayPause");
    case kPlayerPlay:
      return impl_->Send(player, kPlayerInterface, "Play");
    case kVideoShow:
    case kVideoOpen:
      return impl_->Send(player, kRootInterface, "Raise");
    case kVideoLouder:
      return impl_->StepVolume(player, kVideoVolumeStep);
    case kVideoQuieter:
      return impl_->StepVolume(player, -kVideoVolumeStep);
    case kVideoToggleFullscreen: {
      QVariant fullscreen;
      if (impl_->GetProperty(player, kRootInterface, "Fullscreen", &fullscreen) != kOk) {
        return kUnsupported;
      }
      return impl_->SetProperty(player, kRootInterface, "Fullscreen", !fullscreen.toBool());
    }
    default:
      return kOk;  // '-NO-' and unknown codes mean nothing to a player
  }
}

status_t MprisPlayers::Quit(const std::string& signature) {
  std::lock_guard lock(impl_->mutex);
  std::vector<std::string> names = impl_->BusNames(signature);
  if (names.empty()) return kEntryNotFound;
  for (const std::string& name : names) impl_->Send(name, kRootInterface, "Quit");
  return kOk;
}

}  // namespace koru
