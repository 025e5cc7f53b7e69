#include "platform/lines/system_receiver_devices.h"

#include "platform/lines/kernel_receivers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "platform/lines/device_open_status.h"
#include "temp_dir.h"

namespace koru {

namespace {

namespace fs = std::filesystem;

// The fake /sys, /dev and /proc/consoles of data/system (see its README).
class SystemDevices : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(KORU_SOURCE_DIR "/tests/receiver/data/system", dir_.Path(),
             fs::copy_options::recursive);
  }
  SystemReceiverDevices Devices() {
    return SystemReceiverDevices((dir_.Path() / "sys").string(), (dir_.Path() / "dev").string(),
                                 (dir_.Path() / "consoles").string());
  }
  TempDir dir_;
};

// Names map to nodes; the console is never opened and what is no tty is no device.
TEST_F(SystemDevices, NamesMapToNodesAndOnlyTtysOtherThanTheConsoleOpen) {
  SystemReceiverDevices devices = Devices();
  const std::string dev = (dir_.Path() / "dev").string();
  const std::pair<const char*, std::string> cases[] = {
      {"serial1", dev + "/ttyS0"},
      {"serial4", dev + "/ttyS3"},
      {"usb3", dev + "/ttyUSB3"},
      {"lirc2", dev + "/lirc2"},
      {"serial0", ""},
      {"usb4", ""},
  };
  for (const auto& [name, node] : cases) EXPECT_EQ(devices.NodeFor(name), node) << name;
  std::unique_ptr<ReceiverLine> line;
  EXPECT_EQ(devices.Open("serial1", &line), kNotAllowed);
  // serial3 is a plain file here: it opens but is no terminal.
  EXPECT_EQ(devices.Open("serial3", &line), kNoDevice);
  EXPECT_EQ(devices.Open("usb2", &line), kNoDevice);
  EXPECT_EQ(devices.Open("bogus", &line), kEntryNotFound);
  EXPECT_EQ(line, nullptr);
}

TEST(SerialOpenStatus, ErrnoToPortStatus) {
  const std::pair<int, status_t> cases[] = {
      {EACCES, kNotAllowed}, {EPERM, kNotAllowed}, {EBUSY, kBusy},     {EWOULDBLOCK, kBusy},
      {ENOENT, kNoDevice},   {ENODEV, kNoDevice},  {ENXIO, kNoDevice}, {EINVAL, kError},
  };
  for (const auto& [error, status] : cases) EXPECT_EQ(SerialOpenStatus(error), status) << error;
}

TEST_F(SystemDevices, KernelReceiversAreFoundInSysfsAndShownByName) {
  ScopedEnv replay("KORU_REPLAY", nullptr);
  std::string found;
  for (const KernelReceiver& r : FindKernelReceivers((dir_.Path() / "sys").string())) {
    found += r.rc + " " + r.driver + " '" + r.lirc + "' '" + r.input_event + "' " + r.ShownName();
    for (const std::string& protocol : r.enabled_protocols) found += " " + protocol;
    found += "\n";
  }
  EXPECT_EQ(found,
            "rc0 mceusb 'lirc1' 'event7' Media Center Ed. eHome Infrared Remote Transceiver "
            "(mceusb), lirc1 nec rc-6\n"
            "rc1 gpio_ir_recv '' '' gpio_ir_recv (gpio_ir_recv) nec\n");

  // The kernel's receivers before the nodes sysfs does not know, and only real serial ports,
  // never the console; a replay where KORU_REPLAY names one.
  SystemReceiverDevices devices = Devices();
  EXPECT_EQ(devices.List(), (std::vector<std::string>{"serial3", "usb0", "lirc1", "lirc0"}));
  ScopedEnv with_replay("KORU_REPLAY", "/tmp/keys.mode2");
  EXPECT_EQ(devices.List().back(), "replay:/tmp/keys.mode2");
  EXPECT_EQ(devices.ShownName("lirc1"),
            "Media Center Ed. eHome Infrared Remote Transceiver (mceusb), lirc1");
  EXPECT_EQ(devices.ShownName("lirc0"), "lirc0");
  EXPECT_EQ(devices.ShownName("usb0"), "usb0");
}

}  // namespace

}  // namespace koru
