#pragma once
// A Unix stream socket that LIRC clients (irw, irexec, Kodi) connect to. One thread polls the
// socket and its clients: it accepts clients, answers their command lines and writes the
// broadcast lines. Nothing else ever waits for a client: Broadcast() only queues the line and
// wakes the thread; each client has an output buffer, and a client whose buffer grows past the
// limit (it does not read) is dropped. A client that hangs up is removed.
//
//   std::string error;
//   auto server = LircdSocketServer::Listen(path, [&](std::string_view line) {
//     return feed.Answer(line); }, &error);   // null and `error` when it cannot listen
//   server->Broadcast("0000000000fd4cb3 00 N1 LR-SAT\n");
#include <sys/types.h>

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class LircdSocketServer {
 public:
  // The reply to one command line (without its line end); runs on the server's thread.
  using Answer = std::function<std::string(std::string_view line)>;
  static constexpr size_t kClientBufferLimit = size_t{64} * 1024;
  // A command line longer than this (no line end in sight) drops its client.
  static constexpr size_t kLongestCommand = 4096;

  // Creates the socket's folder when missing (mode 0700), replaces a stale socket file, and
  // refuses a path where a socket is in use or another kind of file lies, and a folder other
  // users may change (not sticky, or someone else's). Null on failure, with the reason in
  // `error`.
  static std::unique_ptr<LircdSocketServer> Listen(const std::string& path, Answer answer,
                                                   std::string* error,
                                                   size_t buffer_limit = kClientBufferLimit);
  ~LircdSocketServer();  // stops the thread, closes every client, removes the socket file
  LircdSocketServer(const LircdSocketServer&) = delete;
  LircdSocketServer& operator=(const LircdSocketServer&) = delete;

  // Queues one line (with its line end) for every client; any thread, never waits for a client.
  void Broadcast(std::string line);

  const std::string& Path() const { return fPath; }
  // Clients connected now, and clients dropped for not reading since the start.
  size_t ClientCount() const { return fClientCount.load(); }
  size_t DroppedCount() const { return fDropped.load(); }

 private:
  struct Client {
    int fd = -1;
    std::string in;
    std::string out;
  };

  LircdSocketServer(std::string path, int listen_fd, int wake_fd, Answer answer,
                    size_t buffer_limit);
  void Run();
  void Accept();
  // False when the client is gone (hung up, failed, or over its limit).
  bool ReadFrom(Client& client);
  bool WriteTo(Client& client);
  bool Queue(Client& client, std::string_view text);

  const std::string fPath;
  const int fListenFd;
  const int fWakeFd;  // an eventfd: Broadcast() and the destructor wake the thread
  const Answer fAnswer;
  const size_t fBufferLimit;
  dev_t fDevice = 0;  // the socket file, so that only our own file is removed
  ino_t fInode = 0;

  std::mutex fMutex;  // guards fPending
  std::vector<std::string> fPending;
  std::atomic<bool> fStop{false};
  std::atomic<size_t> fClientCount{0};
  std::atomic<size_t> fDropped{0};
  std::vector<Client> fClients;  // the server thread's own
  std::thread fThread;
};

// $XDG_RUNTIME_DIR/koru/lircd; without XDG_RUNTIME_DIR, /tmp/koru-<uid>/lircd.
std::string LircdDefaultSocketPath();
