#pragma once
// The lircd socket of the running program: the feed the router tells every recognised key, and
// the socket server that passes its lines to LIRC clients. Started and stopped on the GUI
// thread; a failure to listen is shown in an alert and on the trace.
#include <memory>
#include <string>

#include "lircd/lircd_key_feed.h"
#include "platform/lircd/lircd_socket_server.h"

class LircdService {
 public:
  explicit LircdService(std::string version);
  ~LircdService();
  LircdService(const LircdService&) = delete;
  LircdService& operator=(const LircdService&) = delete;

  RecognisedKeyListener* Listener() { return &fFeed; }

  // Listens on `path` (a running server at another path is closed first); false when it cannot.
  bool Start(const std::string& path);
  void Stop();
  bool Running() const { return fServer != nullptr; }

 private:
  LircdKeyFeed fFeed;
  std::unique_ptr<LircdSocketServer> fServer;
};
