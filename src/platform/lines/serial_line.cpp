#include "platform/lines/serial_line.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

namespace koru {

namespace {

// A thread blocked in TIOCMIWAIT wakes only on a signal whose handler was installed without
// SA_RESTART; closing the descriptor does not wake it.
int WakeSignal() {
  static const int signal_number = [] {
    const int number = SIGRTMIN + 4;
    struct sigaction action {};
    action.sa_handler = [](int) {};
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(number, &action, nullptr);
    return number;
  }();
  return signal_number;
}

status_t DeviceStatus(int error_number) {
  // An unplugged adapter gives EIO; a vanished node ENODEV or ENXIO.
  switch (error_number) {
    case EIO:
    case ENODEV:
    case ENXIO:
    case EBADF:
      return kNoDevice;
    default:
      return StatusFromErrno(error_number);
  }
}

speed_t SpeedFor(int32_t rate) {
  switch (rate) {
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    default:
      return B0;
  }
}

}  // namespace

status_t SerialOpenStatus(int error_number) {
  switch (error_number) {
    case EACCES:
    case EPERM:
      return kNotAllowed;
    case EBUSY:
    case EWOULDBLOCK:
      return kBusy;
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return kNoDevice;
    default:
      return kError;
  }
}

int32_t SerialLine::Open(const std::string& node, std::unique_ptr<ReceiverLine>* line) {
  const int fd = ::open(node.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return SerialOpenStatus(errno);
  std::unique_ptr<SerialLine> serial(new SerialLine(fd));
  if (flock(fd, LOCK_EX | LOCK_NB) < 0) return SerialOpenStatus(errno);
  if (ioctl(fd, TIOCEXCL) < 0 && errno != ENOTTY) return SerialOpenStatus(errno);
  if (tcgetattr(fd, &serial->settings_) < 0) return kNoDevice;  // not a tty
  cfmakeraw(&serial->settings_);
  serial->settings_.c_cflag |= CLOCAL | CREAD;
  if (status_t status = serial->ApplyTermios(); status != kOk) return status;
  serial_icounter_struct counts{};
  serial->wait_.interrupts = ioctl(fd, TIOCGICOUNT, &counts) == 0;
  serial->wait_.counter = serial->wait_.interrupts;
  *line = std::move(serial);
  return fd > 0 ? fd : 1;
}

SerialLine::~SerialLine() {
  if (timer_made_) timer_delete(static_cast<timer_t>(timer_));
  ::close(fd_);
}

status_t SerialLine::ApplyTermios() {
  // CLOCAL stays set whatever else changes: without it every DCD edge hangs the tty up.
  settings_.c_cflag |= CLOCAL;
  if (tcsetattr(fd_, TCSANOW, &settings_) < 0) return DeviceStatus(errno);
  return kOk;
}

status_t SerialLine::SetFlowControl(uint32_t flags) {
  if (flags & kHardwareFlowControl) {
    settings_.c_cflag |= CRTSCTS;
  } else {
    settings_.c_cflag &= ~CRTSCTS;
  }
  return ApplyTermios();
}

status_t SerialLine::SetDataRate(int32_t bits_per_second) {
  const speed_t speed = SpeedFor(bits_per_second);
  if (speed == B0) return kBadValue;
  cfsetispeed(&settings_, speed);
  cfsetospeed(&settings_, speed);
  return ApplyTermios();
}

status_t SerialLine::SetDataBits(int32_t bits) {
  tcflag_t size = CS8;
  switch (bits) {
    case 5:
      size = CS5;
      break;
    case 6:
      size = CS6;
      break;
    case 7:
      size = CS7;
      break;
    case 8:
      size = CS8;
      break;
    default:
      return kBadValue;
  }
  settings_.c_cflag = (settings_.c_cflag & ~CSIZE) | size;
  return ApplyTermios();
}

status_t SerialLine::SetParityMode(int32_t parity) {
  settings_.c_cflag &= ~(PARENB | PARODD);
  if (parity == kEvenParity) settings_.c_cflag |= PARENB;
  if (parity == kOddParity) settings_.c_cflag |= PARENB | PARODD;
  return ApplyTermios();
}

status_t SerialLine::SetStopBits(int32_t bits) {
  if (bits == 2) {
    settings_.c_cflag |= CSTOPB;
  } else {
    settings_.c_cflag &= ~CSTOPB;
  }
  return ApplyTermios();
}

status_t SerialLine::SetModemLine(int line, bool on) {
  if (ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) < 0) return DeviceStatus(errno);
  return kOk;
}

status_t SerialLine::SetDTR(bool on) {
  return SetModemLine(TIOCM_DTR, on);
}

status_t SerialLine::SetRTS(bool on) {
  return SetModemLine(TIOCM_RTS, on);
}

status_t SerialLine::SetBlocking(bool on) {
  const int flags = fcntl(fd_, F_GETFL);
  if (flags < 0) return DeviceStatus(errno);
  if (fcntl(fd_, F_SETFL, on ? flags & ~O_NONBLOCK : flags | O_NONBLOCK) < 0)
    return DeviceStatus(errno);
  return kOk;
}

status_t SerialLine::SetTimeout(bigtime_t microseconds) {
  // Only reads would use it and the receiver reads no data; kept for the settings' sake.
  timeout_ = microseconds;
  return kOk;
}

status_t SerialLine::ClearInput() {
  return tcflush(fd_, TCIFLUSH) < 0 ? DeviceStatus(errno) : kOk;
}

status_t SerialLine::ClearOutput() {
  return tcflush(fd_, TCOFLUSH) < 0 ? DeviceStatus(errno) : kOk;
}

bool SerialLine::IsDCD() {
  bool level = false;
  return ReadDcd(&level) == kOk && level;
}

status_t SerialLine::WaitForChange(bigtime_t since, bigtime_t deadline, LevelChange* change) {
  if (wait_.interrupts) RegisterWaker();
  return WaitForDcdChange(*this, &wait_, since, deadline, change);
}

status_t SerialLine::ReadDcd(bool* level) {
  int lines = 0;
  if (ioctl(fd_, TIOCMGET, &lines) < 0) return DeviceStatus(errno);
  *level = (lines & TIOCM_CAR) != 0;
  return kOk;
}

status_t SerialLine::DcdEdgeCount(uint64_t* count) {
  serial_icounter_struct counts{};
  if (ioctl(fd_, TIOCGICOUNT, &counts) < 0)
    return errno == ENOTTY || errno == EINVAL ? kUnsupported : DeviceStatus(errno);
  *count = static_cast<uint32_t>(counts.dcd);
  return kOk;
}

bool SerialLine::ArmDeadline(bigtime_t deadline) {
  if (!timer_made_) {
    sigevent event{};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = WakeSignal();
    event._sigev_un._tid = static_cast<pid_t>(syscall(SYS_gettid));
    timer_t timer{};
    if (timer_create(CLOCK_MONOTONIC, &event, &timer) < 0) return false;
    timer_ = timer;
    timer_made_ = true;
  }
  // Repeats every millisecond until disarmed: a signal that lands just before the thread
  // enters the ioctl would otherwise be lost.
  itimerspec when{};
  when.it_value.tv_sec = static_cast<time_t>(deadline / 1000000);
  when.it_value.tv_nsec = static_cast<long>(deadline % 1000000) * 1000;
  when.it_interval.tv_nsec = 1000000;
  return timer_settime(static_cast<timer_t>(timer_), TIMER_ABSTIME, &when, nullptr) == 0;
}

void SerialLine::DisarmDeadline() {
  const itimerspec off{};
  timer_settime(static_cast<timer_t>(timer_), 0, &off, nullptr);
}

status_t SerialLine::WaitForModemChange(bigtime_t deadline) {
  // The deadline timer signals the thread that created it: only the receiving thread waits.
  const bool timed = deadline != kNoDeadline && waker_owner_ == find_thread(nullptr);
  if (deadline != kNoDeadline && !(timed && ArmDeadline(deadline))) return kUnsupported;
  in_wait_.store(true);
  int result = -1;
  int error = EINTR;
  if (!wake_.exchange(false)) {
    result = ioctl(fd_, TIOCMIWAIT, TIOCM_CAR);
    error = errno;
  }
  in_wait_.store(false);
  if (timed) DisarmDeadline();
  if (result == 0) return kOk;
  switch (error) {
    case EINTR:
      return kInterrupted;
    case ENOTTY:
    case EINVAL:
    case ENOSYS:
    case 515:  // ENOIOCTLCMD leaks out of some drivers
      return kUnsupported;
    default:
      return DeviceStatus(error);
  }
}

void SerialLine::RegisterWaker() {
  const thread_id self = find_thread(nullptr);
  if (self == waker_owner_) return;
  waker_owner_ = self;
  waiter_ = pthread_self();
  if (timer_made_) {  // it signals the thread that waited before
    timer_delete(static_cast<timer_t>(timer_));
    timer_made_ = false;
  }
  WakeSignal();
  set_thread_waker([this] {
    wake_.store(true);
    // A signal that lands just before the thread enters the ioctl is lost: repeat it while
    // the thread is still inside the wait.
    for (int attempt = 0; attempt < 100 && in_wait_.load(); ++attempt) {
      pthread_kill(waiter_, WakeSignal());
      usleep(200);
    }
  });
}

}  // namespace koru
