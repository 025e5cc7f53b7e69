#include "platform/lirc_line.h"

#include <fcntl.h>
#include <linux/lirc.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/device_open_status.h"

int32_t LircLine::Open(const std::string& node, std::unique_ptr<ReceiverLine>* line) {
  const int fd = ::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return SerialOpenStatus(errno);
  uint32_t features = 0;
  uint32_t mode = LIRC_MODE_MODE2;
  if (ioctl(fd, LIRC_GET_FEATURES, &features) < 0 || !(features & LIRC_CAN_REC_MODE2) ||
      ioctl(fd, LIRC_SET_REC_MODE, &mode) < 0) {
    ::close(fd);
    return kUnsupported;
  }
  const int wake_fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wake_fd < 0) {
    ::close(fd);
    return kError;
  }
  line->reset(new LircLine(fd, wake_fd));
  return fd > 0 ? fd : 1;
}

LircLine::~LircLine() {
  ::close(fd_);
  ::close(wake_fd_);
}

status_t LircLine::ClearInput() {
  uint32_t sample = 0;
  while (::read(fd_, &sample, sizeof sample) == sizeof sample) {
  }
  return kOk;
}

status_t LircLine::WaitForChange(bigtime_t, bigtime_t* period) {
  const thread_id self = find_thread(nullptr);
  if (self != waker_owner_) {
    waker_owner_ = self;
    set_thread_waker([fd = wake_fd_] {
      const uint64_t one = 1;
      [[maybe_unused]] ssize_t written = ::write(fd, &one, sizeof one);
    });
  }
  for (;;) {
    uint32_t sample = 0;
    const ssize_t got = ::read(fd_, &sample, sizeof sample);
    if (got == sizeof sample) {
      const uint32_t kind = LIRC_MODE2(sample);
      if (kind != LIRC_MODE2_PULSE && kind != LIRC_MODE2_SPACE) continue;
      pulse_ = kind == LIRC_MODE2_SPACE;  // a space ended: a pulse has begun, and vice versa
      *period = LIRC_VALUE(sample);
      return kOk;
    }
    if (got < 0 && errno != EAGAIN && errno != EINTR) return kNoDevice;
    if (got == 0) return kNoDevice;
    pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_fd_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0 && errno != EINTR) return kNoDevice;
    if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) return kNoDevice;
    if (fds[1].revents & POLLIN) {
      uint64_t count = 0;
      [[maybe_unused]] ssize_t drained = ::read(wake_fd_, &count, sizeof count);
      thread_checkpoint();  // suspends here, or ends the thread on a kill
    }
  }
}
