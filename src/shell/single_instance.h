#pragma once
// One KORU per user session and program folder, so that two programs never fight over the
// receiver port. The first start holds a lock file and listens on a local socket; a later start
// finds the lock taken, asks the first one over the socket to bring its window to the front,
// and ends. The system drops the lock when its process ends, a crash included, so a crash never
// blocks the next start.
//
//   SingleInstance instance(ProgramFolder().string());
//   if (instance.Claim() != SingleInstance::kFirst) return ...;
//   instance.SetShowRequest([&](const std::string& token) { BringToFront(window, token); });
//   instance.Serve();  // once the window is up: a later start waits for the answer meanwhile
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "platform/files/process_lock.h"
#include "platform/lircd/lircd_socket_server.h"

namespace koru {

class SingleInstance {
 public:
  enum Role {
    kFirst,         // this process runs KORU
    kAnswered,      // another one runs and brings its window to the front
    kNotAnswering,  // another one holds the lock but does not answer
    kRefused,       // the lock cannot be trusted and KORU must not start (Refusal() says why)
  };

  // `key` names the instance (KORU uses its program folder). The lock and the socket live in
  // `folder`: by default $XDG_RUNTIME_DIR, else a folder of the user's own in /tmp.
  explicit SingleInstance(const QString& key, const QString& folder = QString());
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Needs the Qt application object. kFirst: this process holds the lock.
  Role Claim();
  // After a kFirst claim: listens for later starts.
  void Serve();
  // Runs on the GUI thread for each later start's request.
  // `show` gets the later start's activation token (empty when it had none).
  void SetShowRequest(std::function<void(const std::string& activation_token)> show) {
    show_ = std::move(show);
  }

  QString LockPath() const { return lock_path_; }
  QString Refusal() const { return refusal_; }

 private:
  QString folder_error_;  // why no safe folder was found: then there is no single instance
  QString folder_;
  QString socket_path_;
  QString lock_path_;
  QString refusal_;
  ProcessLock lock_;
  // Requests come in on the server's thread; the window is shown on the GUI thread, and no
  // request outlives this object.
  std::unique_ptr<QObject> gui_ = std::make_unique<QObject>();
  std::unique_ptr<LircdSocketServer> server_;
  std::function<void(const std::string&)> show_;
  bool claimed_ = false;
};

}  // namespace koru
