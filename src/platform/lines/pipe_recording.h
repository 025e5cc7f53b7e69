#pragma once
// A recording given through a pipe or FIFO, read to its end on a thread of its own: the writer
// may take its time (or not have opened the FIFO yet) without holding up the program's start.
// The recording is checked whole before anything plays, as a file is.
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/lines/mode2_file.h"
#include "platform/lines/receiver_line.h"
#include "platform/messaging/clock.h"
#include "platform/messaging/status.h"

namespace koru {

class PipeRecording : public std::enable_shared_from_this<PipeRecording> {
 public:
  // Starts reading `path`; the reading thread keeps the recording alive until it is done.
  static std::shared_ptr<PipeRecording> Start(const std::string& path);

  // How many times Wake was called: taken before a thread checks for its own suspension or
  // end, so that a Wake between that check and Wait is not missed.
  uint64_t Wakes();
  // Waits until the recording is read, `deadline` (system_time) passes, or Wake is called
  // after `wakes` was taken: kOk with the file, the reading's error status with its message,
  // kTimedOut or kInterrupted.
  status_t Wait(uint64_t wakes, bigtime_t deadline, std::shared_ptr<const Mode2File>* file,
                std::string* error);
  // Ends every Wait in progress with kInterrupted (a thread asked to suspend or end).
  void Wake();

 private:
  PipeRecording() = default;
  void Read(const std::string& path);

  std::mutex mutex_;
  std::condition_variable changed_;
  bool done_ = false;
  uint64_t wakes_ = 0;
  status_t status_ = kOk;
  std::string error_;
  std::shared_ptr<const Mode2File> file_;
};

}  // namespace koru
