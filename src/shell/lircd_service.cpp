#include "shell/lircd_service.h"

#include "platform/messaging/alert.h"
#include "platform/messaging/trace.h"

LircdService::LircdService(std::string version) : fFeed(std::move(version)) {
  fFeed.SetBroadcast([this](std::string line) {
    if (fServer != nullptr) fServer->Broadcast(std::move(line));
  });
}

LircdService::~LircdService() {
  Stop();
}

void LircdService::KeyRecognised(const RemoteDefinition& remote, int32_t keyfn,
                                 const ReceiverReport& report) {
  fFeed.KeyRecognised(remote, keyfn, report);
}

void LircdService::RemotesChanged(const RemoteList& remotes) {
  fRemotes = &remotes;
  if (fServer != nullptr) fFeed.RemotesChanged(remotes);
}

bool LircdService::Start(const std::string& path) {
  if (fServer != nullptr && fServer->Path() == path) return true;
  Stop();
  std::string error;
  fServer = LircdSocketServer::Listen(
      path, [this](std::string_view line) { return fFeed.Answer(line); }, &error);
  if (fServer == nullptr) {
    AnyAlert("LIRC clients cannot be served: " + error + "\n", false);
    return false;
  }
  if (fRemotes != nullptr) fFeed.RemotesChanged(*fRemotes);
  Trace("lircd socket: serving LIRC clients on '%s'\n", path.c_str());
  return true;
}

void LircdService::Stop() {
  if (fServer == nullptr) return;
  const std::string path = fServer->Path();
  fServer.reset();
  Trace("lircd socket: '%s' closed\n", path.c_str());
}
