#include "shell/lircd_service.h"

#include "platform/messaging/alert.h"
#include "platform/messaging/trace.h"

namespace koru {

LircdService::LircdService(std::string version) : feed_(std::move(version)) {
  feed_.SetBroadcast([this](std::string line) {
    if (server_ != nullptr) server_->Broadcast(std::move(line));
  });
}

LircdService::~LircdService() {
  Stop();
}

void LircdService::KeyRecognised(const RemoteDefinition& remote, int32_t keyfn,
                                 const ReceiverReport& report) {
  feed_.KeyRecognised(remote, keyfn, report);
}

void LircdService::RemotesChanged(const RemoteList& remotes) {
  remotes_ = &remotes;
  if (server_ != nullptr) feed_.RemotesChanged(remotes);
}

bool LircdService::Start(const std::string& path) {
  if (server_ != nullptr && server_->Path() == path) return true;
  Stop();
  std::string error;
  server_ = LircdSocketServer::Listen(
      path, [this](std::string_view line) { return feed_.Answer(line); }, &error);
  if (server_ == nullptr) {
    AnyAlert("LIRC clients cannot be served: " + error + "\n", false);
    return false;
  }
  if (remotes_ != nullptr) feed_.RemotesChanged(*remotes_);
  Trace("lircd socket: serving LIRC clients on '%s'\n", path.c_str());
  return true;
}

void LircdService::Stop() {
  if (server_ == nullptr) return;
  const std::string path = server_->Path();
  server_.reset();
  Trace("lircd socket: '%s' closed\n", path.c_str());
}

}  // namespace koru
