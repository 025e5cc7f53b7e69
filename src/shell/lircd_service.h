#pragma once
// The lircd socket of the running program: the feed the router tells every recognised key, and
// the socket server that passes its lines to LIRC clients. Started and stopped on the GUI
// thread; a failure to listen is shown in an alert and on the trace.
#include <memory>
#include <string>

#include "lircd/lircd_key_feed.h"
#include "platform/lircd/lircd_socket_server.h"

namespace koru {

// It is the router's listener: keys go to the feed always (their repeat counts follow every
// key), the remote list only while it serves, so a program that serves no client builds no
// directory of the remotes at each rescan.
class LircdService : public RecognisedKeyListener {
 public:
  explicit LircdService(std::string version);
  ~LircdService() override;
  LircdService(const LircdService&) = delete;
  LircdService& operator=(const LircdService&) = delete;

  RecognisedKeyListener* Listener() { return this; }
  void KeyRecognised(const RemoteDefinition& remote, int32_t keyfn,
                     const ReceiverReport& report) override;
  void RemotesChanged(const RemoteList& remotes) override;

  // Listens on `path` (a running server at another path is closed first); false when it cannot.
  bool Start(const std::string& path);
  void Stop();
  bool Running() const { return server_ != nullptr; }

 private:
  LircdKeyFeed feed_;
  const RemoteList* remotes_ = nullptr;  // the router's, told last; read on the GUI thread
  std::unique_ptr<LircdSocketServer> server_;
};

}  // namespace koru
