#include "platform/desktop/fake_uinput_system.h"

#include <linux/uinput.h>

#include <cerrno>
#include <cstring>

namespace koru {

namespace {

constexpr int kFirstFd = 100;

std::string Words(const input_event& event) {
  switch (event.type) {
    case EV_SYN:
      return event.code == SYN_REPORT ? "syn" : "syn " + std::to_string(event.code);
    case EV_KEY:
      return "key " + std::to_string(event.code) + " " + std::to_string(event.value);
    case EV_REL:
      return "rel " + std::to_string(event.code) + " " + std::to_string(event.value);
    case EV_ABS:
      return "abs " + std::to_string(event.code) + " " + std::to_string(event.value);
    default:
      return "type " + std::to_string(event.type);
  }
}

}  // namespace

const FakeUinputSystem::Device* FakeUinputSystem::Named(const std::string& part) const {
  for (auto device = devices.rbegin(); device != devices.rend(); ++device)
    if (device->name.find(part) != std::string::npos) return &*device;
  return nullptr;
}

int FakeUinputSystem::Open(const char* path, int /*flags*/) {
  if (open_error != 0) return -open_error;
  if (std::strcmp(path, "/dev/uinput") != 0) return -ENOENT;
  devices.emplace_back();
  return kFirstFd + static_cast<int>(devices.size()) - 1;
}

int FakeUinputSystem::Ioctl(int fd, unsigned long request, uintptr_t argument) {
  const size_t index = static_cast<size_t>(fd - kFirstFd);
  if (fd < kFirstFd || index >= devices.size() || devices[index].closed) return -EBADF;
  Device& device = devices[index];
  const int value = static_cast<int>(argument);
  if (request == UI_GET_VERSION) {
    *reinterpret_cast<unsigned*>(argument) = version;
  } else if (request == UI_SET_EVBIT) {
    device.event_types.push_back(value);
  } else if (request == UI_SET_KEYBIT) {
    device.keys.push_back(value);
  } else if (request == UI_SET_RELBIT) {
    device.relative_axes.push_back(value);
  } else if (request == UI_SET_ABSBIT) {
    // recorded with its range by UI_ABS_SETUP
  } else if (request == UI_ABS_SETUP) {
    const auto* abs = reinterpret_cast<const uinput_abs_setup*>(argument);
    device.ranges.push_back(std::to_string(abs->code) + " " + std::to_string(abs->absinfo.minimum) +
                            ".." + std::to_string(abs->absinfo.maximum));
  } else if (request == UI_DEV_SETUP) {
    device.name = reinterpret_cast<const uinput_setup*>(argument)->name;
  } else if (request == UI_DEV_CREATE) {
    if (device.created) return -EINVAL;
    device.created = true;
  } else if (request == UI_DEV_DESTROY) {
    device.destroyed = true;
  } else {
    return -EINVAL;
  }
  return 0;
}

long FakeUinputSystem::Write(int fd, const void* data, size_t size) {
  const size_t index = static_cast<size_t>(fd - kFirstFd);
  if (fd < kFirstFd || index >= devices.size() || devices[index].closed) return -EBADF;
  // The kernel takes only whole records, and only once the device exists.
  if (!devices[index].created || size % sizeof(input_event) != 0) return -EINVAL;
  if (++writes == failing_write) return -EIO;
  const auto* records = static_cast<const input_event*>(data);
  for (size_t i = 0; i < size / sizeof(input_event); ++i)
    devices[index].events.push_back(Words(records[i]));
  return static_cast<long>(size);
}

void FakeUinputSystem::Close(int fd) {
  const size_t index = static_cast<size_t>(fd - kFirstFd);
  if (fd >= kFirstFd && index < devices.size()) devices[index].closed = true;
}

}  // namespace koru
