#pragma once
// The system calls a uinput device needs, behind a seam so that tests can record the exact
// device set-up and input records, and make opening fail as a real system does. Failures come
// back as -errno, never through errno, so a fake needs no global state.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace koru {

class UinputSystem {
 public:
  virtual ~UinputSystem() = default;

  // A file descriptor, or -errno.
  virtual int Open(const char* path, int flags) = 0;
  // `argument` is the ioctl's integer or the address of its structure; 0 or -errno.
  virtual int Ioctl(int fd, unsigned long request, uintptr_t argument) = 0;
  // Bytes written, or -errno.
  virtual long Write(int fd, const void* data, size_t size) = 0;
  virtual void Close(int fd) = 0;
  // Waits while a new device reaches the compositor (its input stack opens new devices as udev
  // announces them; what is written before that is lost).
  virtual void Settle() = 0;
};

// The real one: open(2), ioctl(2), write(2), close(2).
std::unique_ptr<UinputSystem> LinuxUinputSystem();

}  // namespace koru
