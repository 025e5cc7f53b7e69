#include "platform/lines/lirc_line.h"

#include <fcntl.h>
#include <linux/lirc.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/lines/device_open_status.h"

namespace koru {

static_assert(kLircPulse == LIRC_MODE2_PULSE && kLircSpace == LIRC_MODE2_SPACE &&
              kLircTimeout == LIRC_MODE2_TIMEOUT && kLircFrequency == LIRC_MODE2_FREQUENCY &&
              kLircValueMask == LIRC_VALUE_MASK && kLircKindMask == LIRC_MODE2_MASK);
static_assert(kLircScancodeToggle == LIRC_SCANCODE_FLAG_TOGGLE &&
              kLircScancodeRepeat == LIRC_SCANCODE_FLAG_REPEAT);
static_assert(uint32_t{kRcNec} == RC_PROTO_NEC && uint32_t{kRcRc6Mce} == RC_PROTO_RC6_MCE &&
              uint32_t{kRcXboxDvd} == RC_PROTO_XBOX_DVD && uint32_t{kRcRcmm32} == RC_PROTO_RCMM32);
#ifdef LIRC_MODE2_OVERFLOW
static_assert(kLircOverflow == LIRC_MODE2_OVERFLOW);
#endif

int32_t LircLine::Open(const std::string& node, std::unique_ptr<ReceiverLine>* line,
                       std::unique_ptr<InputGrab> grab) {
  const int fd = ::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return SerialOpenStatus(errno);
  uint32_t features = 0;
  if (ioctl(fd, LIRC_GET_FEATURES, &features) < 0) features = 0;
  // The periods where the receiver gives them; else what the kernel decoded.
  const bool scancodes = !(features & LIRC_CAN_REC_MODE2);
  uint32_t mode = scancodes ? LIRC_MODE_SCANCODE : LIRC_MODE_MODE2;
  if ((scancodes && !(features & LIRC_CAN_REC_SCANCODE)) ||
      ioctl(fd, LIRC_SET_REC_MODE, &mode) < 0) {
    ::close(fd);
    return kUnsupported;
  }
  const int wake_fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wake_fd < 0) {
    ::close(fd);
    return kError;
  }
  line->reset(new LircLine(fd, wake_fd, scancodes, std::move(grab)));
  return fd > 0 ? fd : 1;
}

LircLine::~LircLine() {
  ::close(fd_);
  ::close(wake_fd_);
}

void LircLine::WakeOnThisThread() {
  const thread_id self = find_thread(nullptr);
  if (self == waker_owner_) return;
  waker_owner_ = self;
  set_thread_waker([fd = wake_fd_] {
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t written = ::write(fd, &one, sizeof one);
  });
}

status_t LircLine::WaitForChange(bigtime_t since, bigtime_t deadline, LevelChange* change) {
  if (scancodes_) return kUnsupported;
  WakeOnThisThread();
  return reader_.WaitForChange(*this, since, deadline, change);
}

status_t LircLine::WaitForScancode(bigtime_t since, bigtime_t deadline, KernelScancode* scancode) {
  if (!scancodes_) return kUnsupported;
  WakeOnThisThread();
  return scancode_reader_.WaitForScancode(*this, since, deadline, scancode);
}

status_t LircLine::ReadRecord(LircScancodeRecord* record) {
  lirc_scancode read{};
  const ssize_t got = ::read(fd_, &read, sizeof read);
  if (got == sizeof read) {
    record->timestamp_ns = read.timestamp;
    record->flags = read.flags;
    record->rc_proto = read.rc_proto;
    record->keycode = read.keycode;
    record->scancode = read.scancode;
    return kOk;
  }
  if (got > 0) return kEdgesLost;
  if (got < 0 && errno == EAGAIN) return kResourceUnavailable;
  if (got < 0 && errno == EINTR) return kInterrupted;
  return kNoDevice;  // an unplugged receiver: EIO, ENODEV, or the end of the file
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

}  // namespace koru
