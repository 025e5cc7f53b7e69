#include "platform/lircd/lircd_socket_server.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/messaging/trace.h"

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

// Another user who may change the folder could swap the socket for one of their own and feed
// the clients (irexec runs commands) keys of their choosing.
bool FolderIsSafe(const std::filesystem::path& folder, std::string* error) {
  struct stat info {};
  if (stat(folder.empty() ? "." : folder.c_str(), &info) != 0) {
    *error = Why("cannot use '" + folder.string() + "'", errno);
    return false;
  }
  const bool foreign_owner = info.st_uid != getuid() && info.st_uid != 0;
  const bool open_to_others = (info.st_mode & 022) != 0 && (info.st_mode & S_ISVTX) == 0;
  if (foreign_owner || open_to_others) {
    *error = "'" + folder.string() + "' may be changed by other users";
    return false;
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
                                                             std::string* error,
                                                             size_t buffer_limit) {
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
  if (!MakeFolders(folder, error) || !FolderIsSafe(folder, error)) return nullptr;

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
      new LircdSocketServer(path, listen_fd, wake_fd, std::move(answer), buffer_limit));
}

LircdSocketServer::LircdSocketServer(std::string path, int listen_fd, int wake_fd, Answer answer,
                                     size_t buffer_limit)
    : fPath(std::move(path)),
      fListenFd(listen_fd),
      fWakeFd(wake_fd),
      fAnswer(std::move(answer)),
      fBufferLimit(buffer_limit) {
  struct stat own {};
  if (stat(fPath.c_str(), &own) == 0) {
    fDevice = own.st_dev;
    fInode = own.st_ino;
  }
  fThread = std::thread([this] { Run(); });
}

LircdSocketServer::~LircdSocketServer() {
  fStop.store(true);
  const uint64_t one = 1;
  (void)!write(fWakeFd, &one, sizeof one);
  fThread.join();
  for (Client& client : fClients) {
    if (client.fd >= 0) close(client.fd);
  }
  close(fListenFd);
  close(fWakeFd);
  // Only our own socket file: another program may have replaced it since.
  struct stat now {};
  if (stat(fPath.c_str(), &now) == 0 && now.st_dev == fDevice && now.st_ino == fInode) {
    unlink(fPath.c_str());
  }
}

void LircdSocketServer::Broadcast(std::string line) {
  {
    std::lock_guard lock(fMutex);
    fPending.push_back(std::move(line));
  }
  const uint64_t one = 1;
  (void)!write(fWakeFd, &one, sizeof one);
}

bool LircdSocketServer::Queue(Client& client, std::string_view text) {
  if (client.out.size() + text.size() > fBufferLimit) {
    fDropped.fetch_add(1);
    Trace("lircd socket: a client that does not read was dropped (%zu bytes waited for it)\n",
          client.out.size());
    return false;
  }
  client.out.append(text);
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
  return true;
}

bool LircdSocketServer::ReadFrom(Client& client) {
  char buffer[4096];
  for (;;) {
    const ssize_t n = recv(client.fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n == 0) return false;
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) break;
      return false;
    }
    client.in.append(buffer, static_cast<size_t>(n));
    size_t start = 0;
    for (size_t end = client.in.find('\n'); end != std::string::npos;
         end = client.in.find('\n', start)) {
      const std::string reply = fAnswer(std::string_view(client.in).substr(start, end - start));
      start = end + 1;
      if (!reply.empty() && !Queue(client, reply)) return false;
    }
    client.in.erase(0, start);
    if (client.in.size() > kLongestCommand) return false;
  }
  return WriteTo(client);
}

void LircdSocketServer::Accept() {
  for (;;) {
    const int fd = accept4(fListenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR) continue;
      return;  // EAGAIN: no one else waits; anything else: try again at the next wake-up
    }
    fClients.push_back(Client{fd, {}, {}});
  }
}

void LircdSocketServer::Run() {
  std::vector<pollfd> polled;
  std::vector<std::string> lines;
  while (!fStop.load()) {
    polled.clear();
    polled.push_back({fListenFd, POLLIN, 0});
    polled.push_back({fWakeFd, POLLIN, 0});
    for (const Client& client : fClients) {
      const short events = client.out.empty() ? POLLIN : POLLIN | POLLOUT;
      polled.push_back({client.fd, events, 0});
    }
    if (poll(polled.data(), polled.size(), -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fStop.load()) break;

    // Each client's own events first, then the new broadcasts (which may drop a client), then
    // new clients: the poll entries follow fClients only up to here.
    const size_t polled_clients = fClients.size();
    for (size_t i = 0; i < polled_clients; ++i) {
      Client& client = fClients[i];
      const short revents = polled[i + 2].revents;
      bool alive = true;
      if (revents & (POLLIN | POLLHUP)) alive = ReadFrom(client);
      if (alive && (revents & POLLOUT)) alive = WriteTo(client);
      if (alive && (revents & (POLLERR | POLLNVAL))) alive = false;
      if (!alive) {
        close(client.fd);
        client.fd = -1;
      }
    }
    if (polled[1].revents & POLLIN) {
      uint64_t count = 0;
      (void)!read(fWakeFd, &count, sizeof count);
      {
        std::lock_guard lock(fMutex);
        lines.swap(fPending);
      }
      for (Client& client : fClients) {
        if (client.fd < 0) continue;
        bool alive = true;
        for (const std::string& line : lines) {
          if (!(alive = Queue(client, line))) break;
        }
        if (alive) alive = WriteTo(client);
        if (!alive) {
          close(client.fd);
          client.fd = -1;
        }
      }
      lines.clear();
    }
    std::erase_if(fClients, [](const Client& client) { return client.fd < 0; });
    if (polled[0].revents & POLLIN) Accept();
    fClientCount.store(fClients.size());
  }
}

std::string LircdDefaultSocketPath() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime == '/') return std::string(runtime) + "/koru/lircd";
  return "/tmp/koru-" + std::to_string(getuid()) + "/lircd";
}
