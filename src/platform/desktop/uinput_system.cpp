#include "platform/desktop/uinput_system.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/messaging/clock.h"

namespace koru {

namespace {

// Long enough for udev and the compositor to pick up a new input device; paid once per device.
constexpr bigtime_t kSettleMicroseconds = 300'000;

class LinuxUinput : public UinputSystem {
 public:
  int Open(const char* path, int flags) override {
    const int fd = open(path, flags);
    return fd < 0 ? -errno : fd;
  }
  int Ioctl(int fd, unsigned long request, uintptr_t argument) override {
    int result;
    do {
      result = ioctl(fd, request, argument);
    } while (result < 0 && errno == EINTR);
    return result < 0 ? -errno : 0;
  }
  long Write(int fd, const void* data, size_t size) override {
    ssize_t wrote;
    do {
      wrote = write(fd, data, size);
    } while (wrote < 0 && errno == EINTR);
    return wrote < 0 ? -errno : static_cast<long>(wrote);
  }
  void Close(int fd) override { close(fd); }
  void Settle() override { snooze(kSettleMicroseconds); }
};

}  // namespace

std::unique_ptr<UinputSystem> LinuxUinputSystem() {
  return std::make_unique<LinuxUinput>();
}

}  // namespace koru
