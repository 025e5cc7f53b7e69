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

static_assert(kLircPulse == LIRC_MODE2_PULSE && kLircSpace == LIRC_MODE2_SPACE &&
              kLircTimeout == LIRC_MODE2_TIMEOUT && kLircFrequency == LIRC_MODE2_FREQUENCY &&
              kLircValueMask == LIRC_VALUE_MASK && kLircKindMask == LIRC_MODE2_MASK);
#ifdef LIRC_MODE2_OVERFLOW
static_assert(kLircOverflow == LIRC_MODE2_OVERFLOW);
#endif

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

status_t LircLine::WaitForChange(bigtime_t since, bigtime_t deadline, LevelChange* change) {
  const thread_id self = find_thread(nullptr);
  if (self != waker_owner_) {
    waker_owner_ = self;
    set_thread_waker([fd = wake_fd_] {
      const uint64_t one = 1;
      [[maybe_unused]] ssize_t written = ::write(fd, &one, sizeof one);
    });
  }
  return reader_.WaitForChange(*this, since, deadline, change);
}

status_t LircLine::Read(uint32_t* sample) {
  const ssize_t got = ::read(fd_, sample, sizeof *sample);
  if (got == sizeof *sample) return kOk;
  if (got < 0 && errno == EAGAIN) return kResourceUnavailable;
  if (got < 0 && errno == EINTR) return kInterrupted;
  return kNoDevice;  // an unplugged receiver: EIO, ENODEV, or the end of the file
}

status_t LircLine::Wait(bigtime_t deadline) {
  pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_fd_, POLLIN, 0}};
  timespec timeout{};
  timespec* limit = nullptr;
  if (deadline != kNoDeadline) {
    bigtime_t left = deadline - system_time();
    if (left < 0) left = 0;
    timeout.tv_sec = static_cast<time_t>(left / 1000000);
    timeout.tv_nsec = static_cast<long>(left % 1000000) * 1000;
    limit = &timeout;
  }
  const int ready = ::ppoll(fds, 2, limit, nullptr);
  if (ready < 0) return errno == EINTR ? kInterrupted : kNoDevice;
  if (ready == 0) return kTimedOut;
  if (fds[1].revents & POLLIN) {
    uint64_t count = 0;
    [[maybe_unused]] ssize_t drained = ::read(wake_fd_, &count, sizeof count);
    return kInterrupted;
  }
  if (fds[0].revents & POLLIN) return kOk;
  return kNoDevice;  // POLLERR, POLLHUP, POLLNVAL
}
