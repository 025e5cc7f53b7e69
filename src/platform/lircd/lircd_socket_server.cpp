#include "platform/lircd/lircd_socket_server.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/files/private_folder.h"
#include "platform/messaging/trace.h"

namespace koru {

namespace {

std::string Why(const std::string& what, int error) {
  return what + ": " + std::strerror(error);
}

sockaddr_un AddressOf(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return address;
}

// Creates the missing folders above the socket, each readable by its owner only (the socket
// needs no wider access than the user's own clients).
bool MakeFolders(const std::filesystem::path& folder, std::string* error) {
  if (folder.empty()) return true;
  std::filesystem::path prefix;
  for (const auto& part : folder) {
    prefix /= part;
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
      *error = Why("cannot create '" + prefix.string() + "'", errno);
      return false;
    }
  }
  return true;
}

// A socket file that no program listens on is left over from a run that ended abruptly.
bool SomeoneListens(const std::string& path) {
  const int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (probe < 0) return false;
  const sockaddr_un address = AddressOf(path);
  const bool listens =
      connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  close(probe);
  return listens;
}

}  // namespace

std::unique_ptr<LircdSocketServer> LircdSocketServer::Listen(const std::string& path, Answer answer,
                                                             std::string* error, Limits limits) {
  std::string ignored;
  if (error == nullptr) error = &ignored;
  if (path.empty()) {
    *error = "no socket path";
    return nullptr;
  }
  if (path.size() >= sizeof(sockaddr_un::sun_path)) {
    *error = "socket path '" + path + "' is longer than " +
             std::to_string(sizeof(sockaddr_un::sun_path) - 1) + " bytes";
    return nullptr;
  }
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  // Another user who could change any folder on the way could swap the socket for one of their
  // own and feed the clients (irexec runs commands) keys of their choosing.
  if (!MakeFolders(folder, error) || !FolderChainIsSafe(folder, error)) return nullptr;

  struct stat existing {};
  if (lstat(path.c_str(), &existing) == 0) {
    if (!S_ISSOCK(existing.st_mode)) {
      *error = "'" + path + "' exists and is not a socket";
      return nullptr;
    }
    if (SomeoneListens(path)) {
      *error = "'" + path + "' is in use: another program (a lircd or another KORU) listens there";
      return nullptr;
    }
    unlink(path.c_str());
  }

  const int listen_fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (listen_fd < 0) {
    *error = Why("cannot create a socket", errno);
    return nullptr;
  }
  const sockaddr_un address = AddressOf(path);
  if (bind(listen_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      listen(listen_fd, 16) != 0) {
    *error = Why("cannot listen on '" + path + "'", errno);
    close(listen_fd);
    return nullptr;
  }
  const int wake_fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wake_fd < 0) {
    *error = Why("cannot create an event descriptor", errno);
    close(listen_fd);
    unlink(path.c_str());
    return nullptr;
  }
  return std::unique_ptr<LircdSocketServer>(
      new LircdSocketServer(path, listen_fd, wake_fd, std::move(answer), limits));
}

LircdSocketServer::LircdSocketServer(std::string path, int listen_fd, int wake_fd, Answer answer,
                                     Limits limits)
    : path_(std::move(path)),
      listen_fd_(listen_fd),
      wake_fd_(wake_fd),
      answer_(std::move(answer)),
      limits_(limits) {
  struct stat own {};
  if (stat(path_.c_str(), &own) == 0) {
    device_ = own.st_dev;
    inode_ = own.st_ino;
  }
  thread_ = std::thread([this] { Run(); });
}

LircdSocketServer::~LircdSocketServer() {
  stop_.store(true);
  const uint64_t one = 1;
  (void)!write(wake_fd_, &one, sizeof one);
  thread_.join();
  for (Client& client : clients_) {
    if (client.fd >= 0) close(client.fd);
  }
  close(listen_fd_);
  close(wake_fd_);
  // Only our own socket file: another program may have replaced it since.
  struct stat now {};
  if (stat(path_.c_str(), &now) == 0 && now.st_dev == device_ && now.st_ino == inode_) {
    unlink(path_.c_str());
  }
}

void LircdSocketServer::Broadcast(std::string line) {
  {
    std::lock_guard lock(mutex_);
    pending_.push_back(std::move(line));
  }
  const uint64_t one = 1;
  (void)!write(wake_fd_, &one, sizeof one);
}

bool LircdSocketServer::QueueBroadcast(Client& client, std::string_view line) {
  const size_t unread = client.out.size() - client.reply_bytes;
  if (unread + line.size() > limits_.buffer) {
    dropped_.fetch_add(1);
    Trace("lircd socket: a client that does not read was dropped (%zu bytes waited for it)\n",
          unread);
    return false;
  }
  client.out.append(line);
  return true;
}

bool LircdSocketServer::WriteTo(Client& client) {
  size_t sent = 0;
  while (sent < client.out.size()) {
    const ssize_t n = send(client.fd, client.out.data() + sent, client.out.size() - sent,
                           MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      sent += static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      break;
    } else {
      return false;
    }
  }
  client.out.erase(0, sent);
  // Whatever went out is taken from the replies first: the count never holds a reading client
  // to less than it was sent.
  client.reply_bytes -= std::min(client.reply_bytes, sent);
  return true;
}

bool LircdSocketServer::ReadFrom(Client& client) {
  char buffer[kReadPerTurn];
  for (;;) {
    const ssize_t n = recv(client.fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n == 0) {
      // The client closed its sending half; it may still read replies and keys.
      client.input_ended = true;
      if (!client.in.empty() && client.in.back() != '\n') client.in += '\n';
      return true;
    }
    if (n > 0) {
      client.in.append(buffer, static_cast<size_t>(n));
      return true;
    }
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EWOULDBLOCK;
  }
}

bool LircdSocketServer::HasWork(const Client& client) const {
  return client.out.size() < limits_.buffer && client.in.find('\n') != std::string::npos;
}

bool LircdSocketServer::AnswerCommands(Client& client) {
  size_t start = 0;
  for (size_t answered = 0; answered < kCommandsPerTurn && client.out.size() < limits_.buffer;
       ++answered) {
    const size_t end = client.in.find('\n', start);
    if (end == std::string::npos) break;
    const std::string reply = answer_(std::string_view(client.in).substr(start, end - start));
    start = end + 1;
    client.out += reply;
    client.reply_bytes += reply.size();
    if (limits_.one_request) {
      client.input_ended = true;
      client.in.clear();
      return true;
    }
  }
  client.in.erase(0, start);
  return client.in.find('\n') != std::string::npos || client.in.size() <= kLongestCommand;
}

void LircdSocketServer::Refuse(int fd, const char* why) {
  close(fd);
  refused_.fetch_add(1);
  if (!refusing_) Trace("lircd socket: a client was refused: %s\n", why);
  refusing_ = true;
}

namespace {

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Descriptors kept for the rest of the program (the sound library, the event loop, files):
// a client whose descriptor would eat into them is refused.
int FirstReservedDescriptor() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
      limit.rlim_cur > 1 << 20) {
    return 1 << 20;
  }
  const int all = static_cast<int>(limit.rlim_cur);
  return all - std::max(32, all / 4);
}

}  // namespace

void LircdSocketServer::Accept() {
  // A few a turn: a storm of connections does not hold up the keys either.
  for (int taken = 0; taken < 16; ++taken) {
    const int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return;
      // Out of descriptors or memory: the listening socket stays readable, so trying again at
      // once would only spin. Pause, and let the program's other parts have what is left.
      accept_failures_.fetch_add(1);
      if (!refusing_) {
        Trace("lircd socket: cannot take a client (%s); trying again shortly\n",
              std::strerror(errno));
      }
      refusing_ = true;
      accept_paused_until_ms_ = NowMs() + kAcceptPauseMs;
      return;
    }
    if (clients_.size() >= limits_.clients) {
      const std::string why = std::to_string(limits_.clients) + " clients are connected already";
      Refuse(fd, why.c_str());
    } else if (fd >= FirstReservedDescriptor()) {
      Refuse(fd, "too few file descriptors are left");
    } else {
      clients_.push_back(Client{fd, {}, {}, 0, false});
      refusing_ = false;
    }
  }
}

void LircdSocketServer::Run() {
  std::vector<pollfd> polled;
  std::vector<std::string> lines;
  bool busy = false;  // commands wait that can be answered now
  while (!stop_.load()) {
    polled.clear();
    const int64_t paused_ms = accept_paused_until_ms_ - NowMs();
    const bool accepting = paused_ms <= 0;
    const int wait_ms = busy ? 0 : accepting ? -1 : static_cast<int>(paused_ms);
    // A negative descriptor is left out by poll: the listening socket while accepting pauses.
    polled.push_back({accepting ? listen_fd_ : -1, POLLIN, 0});
    polled.push_back({wake_fd_, POLLIN, 0});
    for (const Client& client : clients_) {
      // No new input while commands wait or replies fill the buffer: a client that sends
      // faster than it reads waits for itself.
      short events = 0;
      if (!client.input_ended && client.out.size() < limits_.buffer &&
          client.in.find('\n') == std::string::npos) {
        events |= POLLIN;
      }
      if (!client.out.empty()) events |= POLLOUT;
      polled.push_back({client.fd, events, 0});
    }
    if (poll(polled.data(), polled.size(), wait_ms) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (stop_.load()) break;

    // The new broadcasts first (they may drop a client), then each client's own events, then
    // new clients: the poll entries follow clients_ only up to here.
    if (polled[1].revents & POLLIN) {
      uint64_t count = 0;
      (void)!read(wake_fd_, &count, sizeof count);
      {
        std::lock_guard lock(mutex_);
        lines.swap(pending_);
      }
      for (Client& client : clients_) {
        for (const std::string& line : lines) {
          if (!QueueBroadcast(client, line)) {
            close(client.fd);
            client.fd = -1;
            break;
          }
        }
      }
      lines.clear();
    }
    busy = false;
    const size_t polled_clients = clients_.size();
    for (size_t i = 0; i < polled_clients; ++i) {
      Client& client = clients_[i];
      if (client.fd < 0) continue;
      const short revents = polled[i + 2].revents;
      bool alive = true;
      if (revents & POLLIN) alive = ReadFrom(client);
      if (alive) alive = AnswerCommands(client);
      if (alive && !client.out.empty()) alive = WriteTo(client);
      // Hung up both ways, or failed: nothing can reach it any more. Its one request answered
      // and delivered: nothing more to say.
      if (alive && (revents & (POLLHUP | POLLERR | POLLNVAL))) alive = false;
      if (limits_.one_request && client.input_ended && client.out.empty()) alive = false;
      if (!alive) {
        close(client.fd);
        client.fd = -1;
      } else if (HasWork(client)) {
        busy = true;
      }
    }
    std::erase_if(clients_, [](const Client& client) { return client.fd < 0; });
    if (polled[0].revents & POLLIN) Accept();
    client_count_.store(clients_.size());
  }
}

std::string LircdDefaultSocketPath() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime == '/') return std::string(runtime) + "/koru/lircd";
  return "/tmp/koru-" + std::to_string(getuid()) + "/lircd";
}

}  // namespace koru
