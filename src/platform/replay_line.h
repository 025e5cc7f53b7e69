#pragma once
// A mode2 recording played in real time, for demonstrations and for users without a receiver:
// the first entry starts 100 ms after the first wait, and after the last one the line stays at
// the space level for good. Each change is handed out with its recording time, so a thread
// that comes back late still measures every period exactly.
#include <atomic>
#include <memory>
#include <string>

#include "platform/mode2_recording.h"
#include "platform/receiver_line.h"

class ReplayLine : public ReceiverLine {
 public:
  // Reads the recording; a bad one is traced with its file and line and gives kBadValue.
  static int32_t Open(const std::string& path, std::unique_ptr<ReceiverLine>* line);
  explicit ReplayLine(const Mode2Recording& recording);

  bool IsDCD() override;
  status_t WaitForChange(bigtime_t since, bigtime_t deadline, LevelChange* change) override;
  // True once the recording has played to its end.
  bool Finished() const { return finished_.load(); }

 private:
  Mode2Timeline timeline_;
  bigtime_t origin_ = -1;  // the clock time of the recording's time 0
  std::atomic<bool> finished_{false};
};
