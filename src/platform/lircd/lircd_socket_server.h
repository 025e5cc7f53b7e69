#pragma once
// A Unix stream socket that LIRC clients (irw, irexec, Kodi) connect to. One thread polls the
// socket and its clients: it accepts clients, answers their command lines and writes the
// broadcast lines. Nothing else ever waits for a client: Broadcast() only queues the line and
// wakes the thread; each client has an output buffer, and a client that leaves more broadcast
// lines unread than the limit is dropped (replies do not count: a client reading a long reply is
// no slow reader). A client that hangs up is removed; one that only closes its sending half
// still gets its replies and the keys. Each turn of the thread does a bounded amount of work for
// each client (one read, a number of commands), so a client that floods the socket delays no
// one else's keys; replies wait while a client has a full buffer, so its commands cost no
// memory. Clients beyond the limit, and any while descriptors run short, are refused: the
// program's other parts keep the descriptors they need.
//
//   std::string error;
//   auto server = LircdSocketServer::Listen(path, [&](std::string_view line) {
//     return feed.Answer(line); }, &error);   // null and `error` when it cannot listen
//   server->Broadcast("0000000000fd4cb3 00 N1 LR-SAT\n");
#include <sys/types.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace koru {

struct LircdSocketLimits {
  size_t buffer = size_t{64} * 1024;  // unread broadcast bytes before a client is dropped
  size_t clients = 128;               // connected at once; later ones are refused
  bool one_request = false;           // each connection gets one reply, then is closed
};

class LircdSocketServer {
 public:
  // The reply to one command line (without its line end); runs on the server's thread.
  using Answer = std::function<std::string(std::string_view line)>;
  static constexpr size_t kClientBufferLimit = LircdSocketLimits{}.buffer;
  static constexpr size_t kMostClients = LircdSocketLimits{}.clients;
  // A command line longer than this (no line end in sight) drops its client.
  static constexpr size_t kLongestCommand = 4096;
  // Work for one client in one turn of the thread.
  static constexpr size_t kReadPerTurn = 4096;
  static constexpr size_t kCommandsPerTurn = 256;
  // How long accepting pauses when the system cannot give a descriptor for a new client.
  static constexpr int kAcceptPauseMs = 250;

  using Limits = LircdSocketLimits;

  // Creates the socket's folder when missing (mode 0700), replaces a stale socket file, and
  // refuses a path where a socket is in use or another kind of file lies, and one below any
  // folder other users may change (not sticky, or someone else's), from the root down. Null
  // on failure, with the reason in `error`.
  static std::unique_ptr<LircdSocketServer> Listen(const std::string& path, Answer answer,
                                                   std::string* error, Limits limits = {});
  ~LircdSocketServer();  // stops the thread, closes every client, removes the socket file
  LircdSocketServer(const LircdSocketServer&) = delete;
  LircdSocketServer& operator=(const LircdSocketServer&) = delete;

  // Queues one line (with its line end) for every client; any thread, never waits for a client.
  void Broadcast(std::string line);

  const std::string& Path() const { return path_; }
  // Clients connected now; since the start: clients dropped for not reading, clients refused,
  // and accepts that failed (each one pauses accepting).
  size_t ClientCount() const { return client_count_.load(); }
  size_t DroppedCount() const { return dropped_.load(); }
  size_t RefusedCount() const { return refused_.load(); }
  size_t AcceptFailures() const { return accept_failures_.load(); }

 private:
  struct Client {
    int fd = -1;
    std::string in;
    std::string out;
    size_t reply_bytes = 0;    // of `out`, at most this many are replies (not held against it)
    bool input_ended = false;  // closed its sending half, or had its one request answered
  };

  LircdSocketServer(std::string path, int listen_fd, int wake_fd, Answer answer, Limits limits);
  void Run();
  void Accept();
  void Refuse(int fd, const char* why);
  // False when the client is gone (hung up, failed, or over its limit).
  bool ReadFrom(Client& client);
  bool AnswerCommands(Client& client);
  bool WriteTo(Client& client);
  bool QueueBroadcast(Client& client, std::string_view line);
  // Commands wait to be answered and the client has room for the replies.
  bool HasWork(const Client& client) const;

  const std::string path_;
  const int listen_fd_;
  const int wake_fd_;  // an eventfd: Broadcast() and the destructor wake the thread
  const Answer answer_;
  const Limits limits_;
  dev_t device_ = 0;  // the socket file, so that only our own file is removed
  ino_t inode_ = 0;

  std::mutex mutex_;  // guards pending_
  std::vector<std::string> pending_;
  std::atomic<bool> stop_{false};
  std::atomic<size_t> client_count_{0};
  std::atomic<size_t> dropped_{0};
  std::atomic<size_t> refused_{0};
  std::atomic<size_t> accept_failures_{0};
  bool refusing_ = false;               // traced once until a client is taken again
  int64_t accept_paused_until_ms_ = 0;  // steady clock
  std::vector<Client> clients_;         // the server thread's own
  std::thread thread_;
};

// $XDG_RUNTIME_DIR/koru/lircd; without XDG_RUNTIME_DIR, /tmp/koru-<uid>/lircd.
std::string LircdDefaultSocketPath();

}  // namespace koru
