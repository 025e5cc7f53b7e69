#pragma once
// uinput for tests: records each device's set-up and every input record written to it, in
// words ("key 30 1", "rel 0 -5", "abs 1 300", "syn"), and fails opening as it is told.
#include <string>
#include <vector>

#include "platform/desktop/uinput_system.h"

namespace koru {

class FakeUinputSystem : public UinputSystem {
 public:
  struct Device {
    std::string name;                 // from UI_DEV_SETUP
    std::vector<int> event_types;     // UI_SET_EVBIT
    std::vector<int> keys;            // UI_SET_KEYBIT
    std::vector<int> relative_axes;   // UI_SET_RELBIT
    std::vector<std::string> ranges;  // UI_ABS_SETUP: "0 0..1279" (axis, minimum..maximum)
    bool created = false;             // UI_DEV_CREATE
    bool destroyed = false;           // UI_DEV_DESTROY
    bool closed = false;
    std::vector<std::string> events;  // written after creation
  };

  int open_error = 0;     // errno every Open fails with; 0: Open works
  unsigned version = 5;   // what UI_GET_VERSION answers
  int failing_write = 0;  // the write (counted from 1) that fails with EIO; 0: none

  // Every device opened so far, in order (the probe's too), by file descriptor - 100.
  std::vector<Device> devices;
  int settles = 0;
  int writes = 0;

  // The last device whose name holds `part`; null when there is none.
  const Device* Named(const std::string& part) const;

  int Open(const char* path, int flags) override;
  int Ioctl(int fd, unsigned long request, uintptr_t argument) override;
  long Write(int fd, const void* data, size_t size) override;
  void Close(int fd) override;
  void Settle() override { ++settles; }
};

}  // namespace koru
