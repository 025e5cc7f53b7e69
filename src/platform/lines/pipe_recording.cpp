#include "platform/lines/pipe_recording.h"

#include <chrono>
#include <thread>

namespace koru {

std::shared_ptr<PipeRecording> PipeRecording::Start(const std::string& path) {
  std::shared_ptr<PipeRecording> recording(new PipeRecording());
  // Detached: a FIFO whose writer never comes blocks its reader until the program ends.
  std::thread([recording, path] { recording->Read(path); }).detach();
  return recording;
}

void PipeRecording::Read(const std::string& path) {
  std::shared_ptr<const Mode2File> file;
  std::string error;
  const status_t status = Mode2File::Open(path, &file, &error);
  std::lock_guard lock(mutex_);
  done_ = true;
  status_ = status;
  error_ = std::move(error);
  file_ = std::move(file);
  changed_.notify_all();
}

uint64_t PipeRecording::Wakes() {
  std::lock_guard lock(mutex_);
  return wakes_;
}

status_t PipeRecording::Wait(uint64_t wakes, bigtime_t deadline,
                             std::shared_ptr<const Mode2File>* file, std::string* error) {
  std::unique_lock lock(mutex_);
  const auto over = [&] { return done_ || wakes_ != wakes; };
  if (deadline == kNoDeadline) {
    changed_.wait(lock, over);
  } else {
    const bigtime_t left = deadline - system_time();
    if (left > 0) changed_.wait_for(lock, std::chrono::microseconds(left), over);
  }
  if (!done_) return wakes_ != wakes ? kInterrupted : kTimedOut;
  if (status_ != kOk) {
    if (error) *error = error_;
    return status_;
  }
  *file = file_;
  return kOk;
}

void PipeRecording::Wake() {
  std::lock_guard lock(mutex_);
  ++wakes_;
  changed_.notify_all();
}

}  // namespace koru
