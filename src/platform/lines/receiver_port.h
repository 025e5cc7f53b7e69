#pragma once
// The receiver port: enumerates the receiver devices, opens one by name and forwards the line
// settings, the DCD level and the wait for a level change to the open line.
//
// Device names: "serial1".."serial4" (/dev/ttyS0..3), "usb0".."usb3" (/dev/ttyUSB0..3),
// "lirc0".. (/dev/lircN), "replay:PATH" (a mode2 recording played in real time; listed when
// $KORU_REPLAY holds a path, and openable by name at any time). Only devices that exist are
// listed; the kernel console is never listed nor opened.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/lines/receiver_line.h"

namespace koru {

// Where a port finds its devices; the system's by default, a fake in tests.
class ReceiverDevices {
 public:
  virtual ~ReceiverDevices() = default;
  virtual std::vector<std::string> List() = 0;
  // A positive descriptor and the open line, or an error status.
  virtual int32_t Open(const std::string& name, std::unique_ptr<ReceiverLine>* line) = 0;
  // The device node behind a name ("serial1" -> "/dev/ttyS0"), or empty; for messages.
  virtual std::string NodeFor(const std::string& name) const {
    (void)name;
    return {};
  }
  // How the settings page shows a name ("Media Center Ed. eHome Infrared Remote Transceiver
  // (mceusb), lirc0"); the name itself where nothing more is known.
  virtual std::string ShownName(const std::string& name) const { return name; }
};

// nullptr restores the system's devices.
void SetReceiverDevices(std::shared_ptr<ReceiverDevices> devices);
std::shared_ptr<ReceiverDevices> CurrentReceiverDevices();

// While one is alive, the ports of this thread list the devices once and share the list: the
// attempts of one start (the wanted port, then each fallback) see the same devices without
// looking them all up again.
class SameDeviceList {
 public:
  SameDeviceList();
  ~SameDeviceList();
  SameDeviceList(const SameDeviceList&) = delete;
  SameDeviceList& operator=(const SameDeviceList&) = delete;

 private:
  friend class ReceiverPort;
  SameDeviceList* outer_;
  bool listed_ = false;
  std::vector<std::string> names_;
};

class ReceiverPort {
 public:
  ReceiverPort();
  // A port on a line that is already open (tools and tests).
  ReceiverPort(std::unique_ptr<ReceiverLine> line, std::string name);
  ~ReceiverPort();
  ReceiverPort(const ReceiverPort&) = delete;
  ReceiverPort& operator=(const ReceiverPort&) = delete;

  int32_t CountDevices();
  // kOk and the name (cut to `size` - 1 characters), or kBadIndex.
  status_t GetDeviceName(int32_t index, char* name, size_t size);
  // Opens (after closing what was open): a positive descriptor, or an error status.
  int32_t Open(const char* name);
  void Close();
  bool IsOpen() const { return line_ != nullptr; }
  const std::string& Name() const { return name_; }
  ReceiverLine* Line() { return line_.get(); }

  status_t SetFlowControl(uint32_t flags);
  status_t SetDataRate(int32_t bits_per_second);
  status_t SetDataBits(int32_t bits);
  status_t SetParityMode(int32_t parity);
  status_t SetStopBits(int32_t bits);
  status_t SetDTR(bool on);
  status_t SetRTS(bool on);
  status_t SetBlocking(bool on);
  status_t SetTimeout(bigtime_t microseconds);
  status_t ClearInput();
  status_t ClearOutput();
  bool IsDCD();
  // See ReceiverLine::WaitForChange; kNoDevice when no line is open.
  status_t WaitForChange(bigtime_t since, bigtime_t deadline, LevelChange* change);
  bool GivesScancodes() const { return line_ && line_->GivesScancodes(); }
  // See ReceiverLine::WaitForScancode; kNoDevice when no line is open.
  status_t WaitForScancode(bigtime_t since, bigtime_t deadline, KernelScancode* scancode) {
    return line_ ? line_->WaitForScancode(since, deadline, scancode) : kNoDevice;
  }

 private:
  std::shared_ptr<ReceiverDevices> devices_;
  std::vector<std::string> names_;
  std::unique_ptr<ReceiverLine> line_;
  std::string name_;
};

}  // namespace koru
