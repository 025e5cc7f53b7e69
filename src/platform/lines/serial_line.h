#pragma once
// A receiver on a serial port's DCD line (termios). Waits for a change with TIOCMIWAIT where
// the driver supports it, otherwise polls DCD (see modem_wait.h: the DCD counter of TIOCGICOUNT
// tells changes missed between two looks). A wait with a deadline arms a timer that signals the
// waiting thread, because TIOCMIWAIT itself has no time limit. Opened with
// O_NOCTTY|O_NONBLOCK and CLOCAL set, so DCD edges never hang the tty up; locked (flock and
// TIOCEXCL) so a second opener sees a busy port.
#include <pthread.h>
#include <termios.h>

#include <atomic>
#include <memory>
#include <string>

#include "platform/lines/device_open_status.h"
#include "platform/lines/modem_wait.h"
#include "platform/lines/receiver_line.h"
#include "platform/messaging/threads.h"

namespace koru {

class SerialLine : public ReceiverLine, private ModemLine {
 public:
  // A positive descriptor and the line, or an error status (kBusy, kNotAllowed, kNoDevice...).
  static int32_t Open(const std::string& node, std::unique_ptr<ReceiverLine>* line);
  ~SerialLine() override;

  status_t SetFlowControl(uint32_t flags) override;
  status_t SetDataRate(int32_t bits_per_second) override;
  status_t SetDataBits(int32_t bits) override;
  status_t SetParityMode(int32_t parity) override;
  status_t SetStopBits(int32_t bits) override;
  status_t SetDTR(bool on) override;
  status_t SetRTS(bool on) override;
  status_t SetBlocking(bool on) override;
  status_t SetTimeout(bigtime_t microseconds) override;
  status_t ClearInput() override;
  status_t ClearOutput() override;
  bool IsDCD() override;
  status_t WaitForChange(bigtime_t since, bigtime_t deadline, LevelChange* change) override;

 private:
  explicit SerialLine(int fd) : fd_(fd) {}
  status_t ApplyTermios();
  status_t SetModemLine(int line, bool on);
  void RegisterWaker();
  status_t ReadDcd(bool* level) override;
  status_t DcdEdgeCount(uint64_t* count) override;
  status_t WaitForModemChange(bigtime_t deadline) override;
  bool ArmDeadline(bigtime_t deadline);
  void DisarmDeadline();

  const int fd_;
  termios settings_{};
  DcdWaitState wait_;
  bigtime_t timeout_ = 0;

  std::atomic<bool> in_wait_{false};
  std::atomic<bool> wake_{false};
  pthread_t waiter_{};
  thread_id waker_owner_ = -1;
  void* timer_ = nullptr;  // the deadline timer (timer_t) of the waiting thread
  bool timer_made_ = false;
};

}  // namespace koru
