#pragma once
// A client of the IPC socket of sway and i3: each message is "i3-ipc", the payload's length and
// the message type (32-bit, native byte order), then the payload; replies come framed alike.
// Requests wait at most two seconds for their reply. Not thread-safe; one user.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace koru {

class I3IpcClient {
 public:
  enum class Type : uint32_t {
    kRunCommand = 0,
    kGetWorkspaces = 1,
    kGetOutputs = 3,
    kGetTree = 4,
    kGetVersion = 7,
  };

  // Null, with the reason in `why_not`, when the socket does not answer a version request.
  static std::unique_ptr<I3IpcClient> Connect(const std::string& path, std::string* why_not);
  ~I3IpcClient();

  // The reply's payload; nullopt when the exchange failed. A broken connection is opened again
  // once, so a restarted compositor is reached again.
  std::optional<std::string> Request(Type type, std::string_view payload = {});

 private:
  explicit I3IpcClient(std::string path) : path_(std::move(path)) {}
  bool Open(std::string* why_not);
  std::optional<std::string> Exchange(Type type, std::string_view payload);

  std::string path_;
  int fd_ = -1;
};

// One framed message, as it goes over the socket.
std::string I3IpcFrame(I3IpcClient::Type type, std::string_view payload);

}  // namespace koru
