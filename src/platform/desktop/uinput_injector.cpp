#include "platform/desktop/uinput_injector.h"

#include <fcntl.h>
#include <linux/uinput.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/messaging/trace.h"

namespace koru {

namespace {

constexpr const char* kUinputPath = "/dev/uinput";
constexpr int kOpenFlags = O_WRONLY | O_NONBLOCK | O_CLOEXEC;
// UI_DEV_SETUP and UI_ABS_SETUP came with version 5 (Linux 4.5).
constexpr unsigned kLowestVersion = 5;
// Every key of an ordinary keyboard. With fewer (only the keys KORU's own messages use) udev
// would not take the device for a full keyboard, and the key bindings a desktop is driven by
// (its workspace keys, for one) may need any key.
constexpr uint16_t kLastKey = KEY_MICMUTE;
constexpr uint16_t kVendor = 0x4b52;  // 'K' 'R'
constexpr uint16_t kKeyboardProduct = 1;
constexpr uint16_t kPointerProduct = 2;

std::string WhyNot(int error_number) {
  switch (error_number) {
    case EACCES:
    case EPERM:
      return "no permission to open /dev/uinput (the udev rule 60-koru-uinput.rules gives it to "
             "the logged-in user: install it, then log out and in again)";
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return "/dev/uinput is missing (the uinput kernel module is not loaded: as root run "
             "\"modprobe uinput\"; koru-uinput.conf in /etc/modules-load.d loads it at boot)";
    default:
      return std::string("/dev/uinput cannot be opened: ") + std::strerror(error_number);
  }
}

uintptr_t Address(const void* pointer) {
  return reinterpret_cast<uintptr_t>(pointer);
}

}  // namespace

UinputInjector::UinputInjector(std::unique_ptr<UinputSystem> system) : system_(std::move(system)) {}

UinputInjector::~UinputInjector() {
  for (int fd : {keyboard_, pointer_}) {
    if (fd < 0) continue;
    system_->Ioctl(fd, UI_DEV_DESTROY, 0);
    system_->Close(fd);
  }
}

status_t UinputInjector::OpenKeyboard() {
  if (keyboard_ >= 0) return kOk;
  const int fd = system_->Open(kUinputPath, kOpenFlags);
  if (fd < 0) {
    Trace("desktop: no uinput keyboard: %s\n", WhyNot(-fd).c_str());
    return StatusFromErrno(-fd);
  }
  int result = system_->Ioctl(fd, UI_SET_EVBIT, EV_KEY);
  for (uint16_t key = KEY_ESC; key <= kLastKey && result == 0; ++key)
    result = system_->Ioctl(fd, UI_SET_KEYBIT, key);
  uinput_setup setup{};
  setup.id = {BUS_VIRTUAL, kVendor, kKeyboardProduct, 1};
  std::strncpy(setup.name, "KORU keyboard", UINPUT_MAX_NAME_SIZE - 1);
  if (result == 0) result = system_->Ioctl(fd, UI_DEV_SETUP, Address(&setup));
  if (result == 0) result = system_->Ioctl(fd, UI_DEV_CREATE, 0);
  if (result != 0) {
    Trace("desktop: the uinput keyboard cannot be made: %s\n", std::strerror(-result));
    system_->Close(fd);
    return StatusFromErrno(-result);
  }
  system_->Settle();
  keyboard_ = fd;
  return kOk;
}

status_t UinputInjector::OpenPointer(ScreenSize layout) {
  if (pointer_ >= 0 && pointer_layout_ == layout) return kOk;
  if (pointer_ >= 0) {  // the layout changed: the axes' ranges are fixed at creation
    system_->Ioctl(pointer_, UI_DEV_DESTROY, 0);
    system_->Close(pointer_);
    pointer_ = -1;
  }
  const int fd = system_->Open(kUinputPath, kOpenFlags);
  if (fd < 0) {
    Trace("desktop: no uinput pointer: %s\n", WhyNot(-fd).c_str());
    return StatusFromErrno(-fd);
  }
  int result = system_->Ioctl(fd, UI_SET_EVBIT, EV_KEY);
  for (int button : {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE})
    if (result == 0) result = system_->Ioctl(fd, UI_SET_KEYBIT, button);
  if (layout.Known()) {
    if (result == 0) result = system_->Ioctl(fd, UI_SET_EVBIT, EV_ABS);
    // Values 0..size-1 map one to one onto the layout's pixels.
    for (auto [axis, size] : {std::pair{ABS_X, layout.width}, std::pair{ABS_Y, layout.height}}) {
      uinput_abs_setup abs{};
      abs.code = axis;
      abs.absinfo.minimum = 0;
      abs.absinfo.maximum = size - 1;
      if (result == 0) result = system_->Ioctl(fd, UI_SET_ABSBIT, axis);
      if (result == 0) result = system_->Ioctl(fd, UI_ABS_SETUP, Address(&abs));
    }
  } else {
    if (result == 0) result = system_->Ioctl(fd, UI_SET_EVBIT, EV_REL);
    for (int axis : {REL_X, REL_Y})
      if (result == 0) result = system_->Ioctl(fd, UI_SET_RELBIT, axis);
  }
  uinput_setup setup{};
  setup.id = {BUS_VIRTUAL, kVendor, kPointerProduct, 1};
  std::strncpy(setup.name, "KORU pointer", UINPUT_MAX_NAME_SIZE - 1);
  if (result == 0) result = system_->Ioctl(fd, UI_DEV_SETUP, Address(&setup));
  if (result == 0) result = system_->Ioctl(fd, UI_DEV_CREATE, 0);
  if (result != 0) {
    Trace("desktop: the uinput pointer cannot be made: %s\n", std::strerror(-result));
    system_->Close(fd);
    return StatusFromErrno(-result);
  }
  system_->Settle();
  pointer_ = fd;
  pointer_layout_ = layout;
  return kOk;
}

status_t UinputInjector::Report(int fd, const std::vector<Event>& events) {
  std::vector<input_event> records;
  records.reserve(events.size() + 1);
  for (const Event& event : events) {
    input_event record{};
    record.type = event.type;
    record.code = event.code;
    record.value = event.value;
    records.push_back(record);
  }
  input_event sync{};
  sync.type = EV_SYN;
  sync.code = SYN_REPORT;
  records.push_back(sync);
  const size_t size = records.size() * sizeof(input_event);
  const long wrote = system_->Write(fd, records.data(), size);
  if (wrote < 0) return StatusFromErrno(static_cast<int>(-wrote));
  return static_cast<size_t>(wrote) == size ? kOk : kIoError;
}

status_t UinputInjector::Stroke(const std::vector<uint16_t>& keys) {
  if (keys.empty()) return kBadValue;
  for (uint16_t key : keys)
    if (key < KEY_ESC || key > kLastKey) return kBadValue;
  if (status_t status = OpenKeyboard(); status != kOk) return status;
  // One record per key, so that the modifiers are down before the key that needs them.
  size_t pressed = 0;
  status_t status = kOk;
  for (; pressed < keys.size(); ++pressed) {
    status = Report(keyboard_, {{EV_KEY, keys[pressed], 1}});
    if (status != kOk) break;
  }
  // Released in reverse, and even after a failed press: nothing may stay held down.
  for (size_t i = pressed; i-- > 0;) {
    status_t released = Report(keyboard_, {{EV_KEY, keys[i], 0}});
    if (status == kOk) status = released;
  }
  return status;
}

status_t UinputInjector::Click() {
  if (status_t status = OpenPointer(pointer_layout_); status != kOk) return status;
  status_t status = Report(pointer_, {{EV_KEY, BTN_LEFT, 1}});
  status_t released = Report(pointer_, {{EV_KEY, BTN_LEFT, 0}});
  return status != kOk ? status : released;
}

status_t UinputInjector::MovePointer(ScreenPoint from, ScreenPoint to, ScreenSize layout) {
  if (status_t status = OpenPointer(layout); status != kOk) return status;
  if (layout.Known()) {
    return Report(pointer_, {{EV_ABS, ABS_X, std::clamp(to.x, 0, layout.width - 1)},
                             {EV_ABS, ABS_Y, std::clamp(to.y, 0, layout.height - 1)}});
  }
  std::vector<Event> events;
  if (to.x != from.x) events.push_back({EV_REL, REL_X, to.x - from.x});
  if (to.y != from.y) events.push_back({EV_REL, REL_Y, to.y - from.y});
  return events.empty() ? kOk : Report(pointer_, events);
}

std::unique_ptr<InputInjector> OpenUinputInjector(std::string* why_not) {
  return OpenUinputInjector(LinuxUinputSystem(), why_not);
}

std::unique_ptr<InputInjector> OpenUinputInjector(std::unique_ptr<UinputSystem> system,
                                                  std::string* why_not) {
  const int fd = system->Open(kUinputPath, kOpenFlags);
  if (fd < 0) {
    *why_not = WhyNot(-fd);
    return nullptr;
  }
  unsigned version = 0;
  const int result = system->Ioctl(fd, UI_GET_VERSION, Address(&version));
  system->Close(fd);
  if (result != 0 || version < kLowestVersion) {
    *why_not = "the kernel's uinput is too old (Linux 4.5 or later is needed)";
    return nullptr;
  }
  why_not->clear();
  return std::make_unique<UinputInjector>(std::move(system));
}

}  // namespace koru
