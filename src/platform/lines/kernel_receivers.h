#pragma once
// The receivers the kernel's remote controller core drives, as sysfs shows them
// (<sysfs>/class/rc/rcN): the driver, the device's name, its lircM node, its input device and
// the protocols the kernel decodes for it.
#include <string>
#include <vector>

namespace koru {

struct KernelReceiver {
  std::string rc;           // "rc0"
  std::string driver;       // "mceusb"
  std::string device_name;  // "Media Center Ed. eHome Infrared Remote Transceiver (1784:0008)"
  std::string lirc;         // "lirc0", or empty (a receiver without a lirc node)
  std::string input_event;  // "event7" (its node in /dev/input), or empty
  std::vector<std::string> enabled_protocols;  // "nec", "rc-6" ... ([bracketed] in sysfs)

  // What the settings page shows: "Media Center Ed. eHome Infrared Remote Transceiver
  // (mceusb), lirc0" (the USB ids left out).
  std::string ShownName() const;
};

// Every receiver under `sysfs` ("/sys"), in the order of their rc numbers.
std::vector<KernelReceiver> FindKernelReceivers(const std::string& sysfs);

}  // namespace koru
