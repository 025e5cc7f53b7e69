#pragma once
// Input through the kernel's uinput: a virtual keyboard and a virtual pointer that every
// compositor (and the X server) reads like real devices. Each device is created when first
// needed and kept; the pointer is absolute over the layout when its size is known, so a move
// lands where it is asked to (the compositor maps an absolute device over the whole layout, and
// accelerates relative motion), and relative otherwise.
//
//   std::string why_not;
//   std::unique_ptr<InputInjector> input = OpenUinputInjector(&why_not);
//   if (!input) Trace("desktop: %s\n", why_not.c_str());   // fall through to the portal
#include <memory>
#include <string>

#include "platform/desktop/input_injector.h"
#include "platform/desktop/uinput_system.h"

namespace koru {

class UinputInjector : public InputInjector {
 public:
  explicit UinputInjector(std::unique_ptr<UinputSystem> system);
  ~UinputInjector() override;
  UinputInjector(const UinputInjector&) = delete;
  UinputInjector& operator=(const UinputInjector&) = delete;

  std::string Name() const override { return "uinput"; }
  status_t Stroke(const std::vector<uint16_t>& keys) override;
  status_t Click() override;
  status_t MovePointer(ScreenPoint from, ScreenPoint to, ScreenSize layout) override;

 private:
  status_t OpenKeyboard();
  status_t OpenPointer(ScreenSize layout);
  // One record: events and a closing SYN_REPORT.
  struct Event {
    uint16_t type;
    uint16_t code;
    int32_t value;
  };
  status_t Report(int fd, const std::vector<Event>& events);

  std::unique_ptr<UinputSystem> system_;
  int keyboard_ = -1;
  int pointer_ = -1;
  ScreenSize pointer_layout_;  // unknown: the pointer device is relative
};

// Opens /dev/uinput once to see that devices can be made there. Null, with `why_not` in words a
// user can act on (the module, the permission), when they cannot.
std::unique_ptr<InputInjector> OpenUinputInjector(std::string* why_not);
// The same on another system (tests).
std::unique_ptr<InputInjector> OpenUinputInjector(std::unique_ptr<UinputSystem> system,
                                                  std::string* why_not);

}  // namespace koru
