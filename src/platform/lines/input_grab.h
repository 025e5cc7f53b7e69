#pragma once
// Taking a kernel receiver's input device (EVIOCGRAB) while KORU reads the receiver: the
// kernel's keymap would otherwise turn the same press into a key event the desktop acts on too.
// The device is taken for as long as the grab lives. Where it cannot be taken, the words say
// why and name the one command that clears the kernel's keymap for that receiver.
#include <memory>
#include <string>

#include "platform/lines/kernel_receivers.h"

namespace koru {

// The system calls (the seam tests replace).
class InputGrabSystem {
 public:
  virtual ~InputGrabSystem() = default;
  // A descriptor, or -errno.
  virtual int Open(const std::string& node) = 0;
  // 0, or errno.
  virtual int Grab(int fd) = 0;
  virtual void Close(int fd) = 0;
};

// The system's own calls.
std::shared_ptr<InputGrabSystem> SystemInputGrab();

class InputGrab {
 public:
  // Takes <dev>/input/<event> of `receiver`; nothing to take without an input device.
  InputGrab(std::shared_ptr<InputGrabSystem> system, const KernelReceiver& receiver,
            const std::string& dev);
  ~InputGrab();
  InputGrab(const InputGrab&) = delete;
  InputGrab& operator=(const InputGrab&) = delete;

  bool Grabbed() const { return fd_ >= 0; }
  // Empty when taken (or nothing to take); else what the user should know.
  const std::string& Words() const { return words_; }

 private:
  std::shared_ptr<InputGrabSystem> system_;
  int fd_ = -1;
  std::string words_;
};

// Why `node` of receiver `rc` could not be taken, for an errno.
std::string GrabRefusal(int error, const std::string& node, const std::string& rc);

}  // namespace koru
