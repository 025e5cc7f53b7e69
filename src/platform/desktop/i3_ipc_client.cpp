#include "platform/desktop/i3_ipc_client.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace koru {

namespace {

constexpr char kMagic[] = "i3-ipc";
constexpr size_t kMagicLength = 6;
constexpr size_t kHeaderLength = kMagicLength + 8;
constexpr int kReplyTimeoutMs = 2000;
// A tree of a busy desktop is a few hundred KiB; anything far larger is not a reply.
constexpr uint32_t kMaxPayload = 64u << 20;

// Reads exactly `size` bytes, waiting at most until `deadline`.
bool ReadFully(int fd, char* data, size_t size, std::chrono::steady_clock::time_point deadline) {
  size_t done = 0;
  while (done < size) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now())
                    .count();
    if (left <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    int ready = poll(&p, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    ssize_t got = read(fd, data + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<size_t>(got);
  }
  return true;
}

bool WriteFully(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t sent = send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    data.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

}  // namespace

std::string I3IpcFrame(I3IpcClient::Type type, std::string_view payload) {
  std::string frame(kMagic, kMagicLength);
  uint32_t header[2] = {static_cast<uint32_t>(payload.size()), static_cast<uint32_t>(type)};
  frame.append(reinterpret_cast<const char*>(header), sizeof header);
  frame.append(payload);
  return frame;
}

std::unique_ptr<I3IpcClient> I3IpcClient::Connect(const std::string& path, std::string* why_not) {
  std::unique_ptr<I3IpcClient> client(new I3IpcClient(path));
  if (!client->Open(why_not)) return nullptr;
  if (!client->Exchange(Type::kGetVersion, {})) {
    if (why_not) *why_not = path + " does not answer";
    return nullptr;
  }
  return client;
}

I3IpcClient::~I3IpcClient() {
  if (fd_ >= 0) close(fd_);
}

bool I3IpcClient::Open(std::string* why_not) {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path_.empty() || path_.size() >= sizeof address.sun_path) {
    if (why_not) *why_not = "no usable IPC socket path";
    return false;
  }
  std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    if (why_not) *why_not = path_ + ": " + std::strerror(errno);
    if (fd >= 0) close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

std::optional<std::string> I3IpcClient::Exchange(Type type, std::string_view payload) {
  if (fd_ < 0 || !WriteFully(fd_, I3IpcFrame(type, payload))) return std::nullopt;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReplyTimeoutMs);
  char header[kHeaderLength];
  if (!ReadFully(fd_, header, sizeof header, deadline) ||
      std::memcmp(header, kMagic, kMagicLength) != 0) {
    return std::nullopt;
  }
  uint32_t length = 0, reply_type = 0;
  std::memcpy(&length, header + kMagicLength, 4);
  std::memcpy(&reply_type, header + kMagicLength + 4, 4);
  if (length > kMaxPayload) return std::nullopt;
  std::string reply(length, '\0');
  if (!ReadFully(fd_, reply.data(), length, deadline)) return std::nullopt;
  // Without subscriptions every reply answers the request just sent.
  if (reply_type != static_cast<uint32_t>(type)) return std::nullopt;
  return reply;
}

std::optional<std::string> I3IpcClient::Request(Type type, std::string_view payload) {
  if (auto reply = Exchange(type, payload)) return reply;
  // A half-read reply leaves the stream out of step: start afresh, once.
  if (!Open(nullptr)) return std::nullopt;
  return Exchange(type, payload);
}

}  // namespace koru
