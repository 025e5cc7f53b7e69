#pragma once
// A kernel receiver (/dev/lircN) in mode2: the kernel measures the periods (this serves every
// receiver the kernel drives, the serial_ir driver for DCD receivers among them). The samples
// become timed level changes (lirc_samples.h); clearing the input throws none of them away,
// because they are the receiver's data, not a serial port's bytes. A receiver that decodes in
// hardware and cannot give mode2 is read in scancode mode (lirc_scancodes.h).
#include <memory>
#include <string>

#include "platform/lines/input_grab.h"
#include "platform/lines/lirc_samples.h"
#include "platform/lines/lirc_scancodes.h"
#include "platform/lines/receiver_line.h"
#include "platform/messaging/threads.h"

namespace koru {

class LircLine : public ReceiverLine, private LircSource, private LircScancodeSource {
 public:
  // `grab`: the receiver's input device, taken while the line is open.
  static int32_t Open(const std::string& node, std::unique_ptr<ReceiverLine>* line,
                      std::unique_ptr<InputGrab> grab = nullptr);
  ~LircLine() override;

  bool IsDCD() override { return reader_.Pulse(); }
  status_t WaitForChange(bigtime_t since, bigtime_t deadline, LevelChange* change) override;
  bool GivesScancodes() const override { return scancodes_; }
  status_t WaitForScancode(bigtime_t since, bigtime_t deadline, KernelScancode* scancode) override;

 private:
  LircLine(int fd, int wake_fd, bool scancodes, std::unique_ptr<InputGrab> grab)
      : fd_(fd), wake_fd_(wake_fd), scancodes_(scancodes), grab_(std::move(grab)) {}
  void WakeOnThisThread();
  status_t Read(uint32_t* sample) override;
  status_t ReadRecord(LircScancodeRecord* record) override;
  status_t Wait(bigtime_t deadline) override;

  const int fd_;
  const int wake_fd_;  // an eventfd that breaks the poll on suspend and kill
  const bool scancodes_;
  std::unique_ptr<InputGrab> grab_;
  LircSampleReader reader_;
  LircScancodeReader scancode_reader_;
  thread_id waker_owner_ = -1;
};

}  // namespace koru
