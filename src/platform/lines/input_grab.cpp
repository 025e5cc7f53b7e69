#include "platform/lines/input_grab.h"

#include <fcntl.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace koru {

namespace {

class LinuxInputGrab : public InputGrabSystem {
 public:
  int Open(const std::string& node) override {
    const int fd = ::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    return fd >= 0 ? fd : -errno;
  }
  int Grab(int fd) override { return ioctl(fd, EVIOCGRAB, 1) == 0 ? 0 : errno; }
  void Close(int fd) override { ::close(fd); }
};

}  // namespace

std::shared_ptr<InputGrabSystem> SystemInputGrab() {
  static const auto system = std::make_shared<LinuxInputGrab>();
  return system;
}

std::string GrabRefusal(int error, const std::string& node, const std::string& rc) {
  const std::string clear = "ir-keytable -s " + rc + " -c";
  if (error == EBUSY)
    return "Another program has taken the key events of " + node +
           ", so the desktop may act on a key as well as KORU. To stop the kernel turning this "
           "receiver's presses into keys: " +
           clear;
  if (error == EACCES || error == EPERM)
    return "KORU may not take the key events of " + node +
           ", so the desktop may act on a key as well as KORU. The package's udev rule gives "
           "them to the logged-in user (log in again after installing it); else stop the kernel "
           "turning this receiver's presses into keys: " +
           clear;
  return "The key events of " + node + " could not be taken (" + std::strerror(error) +
         "), so the desktop may act on a key as well as KORU. To stop the kernel turning this "
         "receiver's presses into keys: " +
         clear;
}

InputGrab::InputGrab(std::shared_ptr<InputGrabSystem> system, const KernelReceiver& receiver,
                     const std::string& dev)
    : system_(std::move(system)) {
  if (receiver.input_event.empty()) return;
  const std::string node = dev + "/input/" + receiver.input_event;
  const int fd = system_->Open(node);
  if (fd < 0) {
    words_ = GrabRefusal(-fd, node, receiver.rc);
    return;
  }
  if (const int error = system_->Grab(fd); error != 0) {
    system_->Close(fd);
    words_ = GrabRefusal(error, node, receiver.rc);
    return;
  }
  fd_ = fd;
}

InputGrab::~InputGrab() {
  if (fd_ >= 0) system_->Close(fd_);  // closing lets the device go
}

}  // namespace koru
