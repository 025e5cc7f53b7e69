#pragma once
// A kernel receiver (/dev/lircN) in mode2: the kernel measures the periods (this serves every
// receiver the kernel drives, the serial_ir driver for DCD receivers among them). Each pulse or
// space sample is one period; timeout samples are skipped, because the kernel reports the
// whole gap as a space when the next pulse begins.
#include <atomic>
#include <memory>
#include <string>

#include "platform/receiver_line.h"
#include "platform/threads.h"

class LircLine : public ReceiverLine {
 public:
  static int32_t Open(const std::string& node, std::unique_ptr<ReceiverLine>* line);
  ~LircLine() override;

  bool IsDCD() override { return pulse_; }
  status_t ClearInput() override;
  status_t WaitForChange(bigtime_t since, bigtime_t* period) override;

 private:
  LircLine(int fd, int wake_fd) : fd_(fd), wake_fd_(wake_fd) {}

  const int fd_;
  const int wake_fd_;  // an eventfd that breaks the poll on suspend and kill
  bool pulse_ = false;
  thread_id waker_owner_ = -1;
};
