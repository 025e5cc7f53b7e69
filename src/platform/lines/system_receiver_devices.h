#pragma once
// The receiver devices of this machine: serial ports that really have a UART behind them,
// USB serial adapters, kernel receivers (/dev/lircN) and the recording named by $KORU_REPLAY.
// The kernel console is never a receiver.
#include <string>
#include <vector>

#include "platform/lines/receiver_port.h"

namespace koru {

class SystemReceiverDevices : public ReceiverDevices {
 public:
  // `sysfs`, `dev` and `consoles` are the roots to look in (other roots in tests).
  explicit SystemReceiverDevices(std::string sysfs = "/sys", std::string dev = "/dev",
                                 std::string consoles = "/proc/consoles");
  std::vector<std::string> List() override;
  int32_t Open(const std::string& name, std::unique_ptr<ReceiverLine>* line) override;

  // The device node for a name ("serial1" -> "<dev>/ttyS0"), or empty.
  std::string NodeFor(const std::string& name) const override;
  // A kernel receiver by its device and driver (from sysfs), other devices by their name.
  std::string ShownName(const std::string& name) const override;
  // True when the tty (e.g. "ttyS0") is a console of the kernel.
  bool IsConsole(const std::string& tty) const;

 private:
  // /dev/lircN, with its input device taken (and why not, on the trace).
  int32_t OpenKernelReceiver(const std::string& name, const std::string& node,
                             std::unique_ptr<ReceiverLine>* line);
  bool UartPresent(const std::string& tty) const;

  std::string sysfs_;
  std::string dev_;
  std::string consoles_;
};

}  // namespace koru
