#include "shell/single_instance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QThread>
#include <cctype>
#include <cstring>

#include "platform/files/private_folder.h"
#include "platform/messaging/socket_request.h"
#include "platform/messaging/trace.h"

namespace koru {

namespace {

constexpr char kShowRequest[] = "show\n";
constexpr char kShowAnswer[] = "ok\n";
// How long a later start waits for the first one, which may itself be starting.
constexpr int kAttempts = 30;
constexpr int kAttemptPauseMs = 100;
constexpr int kAnswerWaitMs = 2000;

// Where no other user can place a lock or a socket: someone who could would keep KORU from
// starting ("KORU runs already"). Empty, with the reason, when there is no such folder.
QString Folder(const QString& folder, QString* error) {
  std::string why;
  std::filesystem::path safe;
  if (folder.isEmpty()) {
    safe = UserRuntimeFolder(&why);
  } else if (FolderChainIsSafe(folder.toStdString(), &why)) {
    safe = folder.toStdString();
  }
  *error = QString::fromStdString(why);
  return QString::fromStdString(safe.string());
}

QString Name(const QString& key) {
  // The key may be a long path; the socket's name must stay short.
  const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1);
  return "koru-" + QString::fromLatin1(hash.toHex().left(16));
}

// The activation token a launcher gave this start, where it looks like one: it travels on a
// request line and ends up in the first instance's environment.
std::string ActivationToken() {
  const QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
  if (token.isEmpty() || token.size() > 512) return {};
  for (char c : token) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && !std::strchr("._:/+=-", c)) return {};
  }
  return token.toStdString();
}

// True when the instance listening on `path` took the request ("show" and this start's
// activation token, if it has one).
bool AskToShow(const QString& path) {
  std::string request = kShowRequest;
  if (std::string token = ActivationToken(); !token.empty()) {
    request.insert(request.size() - 1, " " + token);
  }
  return RequestLine(path.toStdString(), request, kAnswerWaitMs) == kShowAnswer;
}

// The token of a show request line; false when the line is no show request.
bool ParseShowRequest(std::string_view line, std::string* token) {
  constexpr std::string_view kShow = "show";
  if (!line.starts_with(kShow)) return false;
  line.remove_prefix(kShow.size());
  if (!line.empty() && line.front() != ' ') return false;
  token->assign(line.empty() ? line : line.substr(1));
  return true;
}

}  // namespace

SingleInstance::SingleInstance(const QString& key, const QString& folder)
    : folder_(Folder(folder, &folder_error_)),
      socket_path_(folder_ + "/" + Name(key) + ".socket"),
      lock_path_(folder_ + "/" + Name(key) + ".lock"),
      lock_(lock_path_.toStdString()) {}

SingleInstance::~SingleInstance() {
  server_.reset();  // stops its thread and removes the socket file
  lock_.Unlock();
}

void SingleInstance::Serve() {
  if (!claimed_ || server_) return;
  // A socket file left by a crashed instance is replaced.
  std::string error;
  server_ = LircdSocketServer::Listen(
      socket_path_.toStdString(),
      [gui = gui_.get(), this](std::string_view line) -> std::string {
        std::string token;
        if (!ParseShowRequest(line, &token)) return {};
        QMetaObject::invokeMethod(
            gui,
            [this, token] {
              Trace("another start of KORU: the window comes to the front\n");
              if (show_) show_(token);
            },
            Qt::QueuedConnection);
        return kShowAnswer;
      },
      // One request a connection: a client that repeats itself brings the window up once.
      &error, {.clients = 16, .one_request = true});
  if (!server_) {
    Trace("single instance: cannot listen on %s: %s\n", qPrintable(socket_path_), error.c_str());
  }
}

SingleInstance::Role SingleInstance::Claim() {
  if (!folder_error_.isEmpty()) {
    Trace("single instance: %s; KORU runs without it\n", qPrintable(folder_error_));
    return kFirst;  // better two instances than none
  }
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const ProcessLock::Result lock = lock_.TryLock();
    if (lock == ProcessLock::kLocked) {
      claimed_ = true;
      return kFirst;
    }
    if (lock == ProcessLock::kLink) {
      // Followed, it could make two KORUs share one program folder; ignored, the same.
      refusal_ = lock_path_ + " is a symbolic link, not KORU's lock: remove it";
      return kRefused;
    }
    if (lock == ProcessLock::kForeign) {
      Trace(
          "single instance: %s belongs to another user and is not trusted; KORU runs without "
          "it\n",
          qPrintable(lock_path_));
      return kFirst;
    }
    if (lock == ProcessLock::kNoAccess) {
      Trace("single instance: cannot write %s: %s\n", qPrintable(lock_path_),
            std::strerror(lock_.Error()));
      return kFirst;  // better two instances than none
    }
    // Taken: the first instance answers once it listens (it may be starting just now); only a
    // socket of the user's own is asked.
    if (IsOwnSocket(socket_path_.toStdString()) && AskToShow(socket_path_)) return kAnswered;
    QThread::msleep(kAttemptPauseMs);
  }
  return kNotAnswering;
}

}  // namespace koru
