#include "platform/lines/system_receiver_devices.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/messaging/trace.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

// A fake /sys, /dev and /proc/consoles: ttyS0 is the console, ttyS1 a placeholder without a
// UART, ttyS2 and ttyUSB0 real, lirc0 a kernel receiver.
class SystemDevices : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path sys = dir_.Path() / "sys/class/tty";
    for (const char* tty : {"ttyS0", "ttyS1", "ttyS2", "ttyS3", "ttyUSB0"}) {
      fs::create_directories(sys / tty / "device");
      Write(dir_.Path() / "dev" / tty, "");
    }
    fs::remove_all(sys / "ttyS3" / "device");  // a virtual tty: no device behind it
    Write(sys / "ttyS0/type", "4\n");
    Write(sys / "ttyS1/type", "0\n");
    Write(sys / "ttyS2/type", "4\n");
    Write(dir_.Path() / "dev/lirc0", "");
    Write(dir_.Path() / "consoles", "ttyS0                -W- (EC p a)    4:64\n");
  }
  SystemReceiverDevices Devices() {
    return SystemReceiverDevices((dir_.Path() / "sys").string(), (dir_.Path() / "dev").string(),
                                 (dir_.Path() / "consoles").string());
  }
  TempDir dir_;
};

TEST_F(SystemDevices, ListsOnlyRealPortsAndNeverTheConsole) {
  ScopedEnv replay("KORU_REPLAY", nullptr);
  SystemReceiverDevices devices = Devices();
  EXPECT_EQ(devices.List(), (std::vector<std::string>{"serial3", "usb0", "lirc0"}));
  ScopedEnv with_replay("KORU_REPLAY", "/tmp/keys.mode2");
  EXPECT_EQ(devices.List().back(), "replay:/tmp/keys.mode2");
}

TEST_F(SystemDevices, NamesMapToNodes) {
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
}

TEST_F(SystemDevices, ConsoleIsNeverOpenedAndNonTtysAreNoDevice) {
  SystemReceiverDevices devices = Devices();
  std::unique_ptr<ReceiverLine> line;
  EXPECT_EQ(devices.Open("serial1", &line), kNotAllowed);
  // serial3 is a plain file here: it opens but is no terminal.
  EXPECT_EQ(devices.Open("serial3", &line), kNoDevice);
  EXPECT_EQ(devices.Open("usb2", &line), kNoDevice);
  EXPECT_EQ(devices.Open("bogus", &line), kEntryNotFound);
  EXPECT_EQ(line, nullptr);
}

}  // namespace

#include <cerrno>

#include "platform/lines/device_open_status.h"

namespace {

TEST(SerialOpenStatus, ErrnoToPortStatus) {
  const std::pair<int, status_t> cases[] = {
      {EACCES, kNotAllowed}, {EPERM, kNotAllowed}, {EBUSY, kBusy},     {EWOULDBLOCK, kBusy},
      {ENOENT, kNoDevice},   {ENODEV, kNoDevice},  {ENXIO, kNoDevice}, {EINVAL, kError},
  };
  for (const auto& [error, status] : cases) EXPECT_EQ(SerialOpenStatus(error), status) << error;
}

}  // namespace
