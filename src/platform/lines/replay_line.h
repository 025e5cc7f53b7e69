#pragma once
// A mode2 recording played in real time, for demonstrations and for users without a receiver:
// the first entry starts 100 ms after the first wait, and after the last one the line stays at
// the space level for good. Each change is handed out with its recording time, so a thread
// that comes back late still measures every period exactly. The recording is read from its
// file as it plays, never held in memory. A recording from a pipe starts its lead-in once the
// pipe has been read to its end.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "platform/lines/mode2_timeline.h"
#include "platform/lines/pipe_recording.h"
#include "platform/lines/receiver_line.h"
#include "platform/messaging/threads.h"

namespace koru {

class ReplayLine : public ReceiverLine {
 public:
  // Plays the recording kept earlier for `path` (see Keep), else checks and plays the file; a
  // bad one is traced with its file and line and gives kBadValue.
  static int32_t Open(const std::string& path, std::unique_ptr<ReceiverLine>* line);
  // Opens and checks the recording at `path` now, for every later Open of that path: a bad
  // recording is better refused when the program starts. A pipe or FIFO, which can be read
  // only once and whose writer may not be there yet, is read in the background instead; its
  // lines wait for it. Gives the errors of ReadMode2File.
  static status_t Keep(const std::string& path, std::string* error);
  explicit ReplayLine(Mode2Recording recording);
  explicit ReplayLine(std::unique_ptr<Mode2Source> source);
  explicit ReplayLine(std::shared_ptr<PipeRecording> pipe);

  bool IsDCD() override;
  status_t WaitForChange(bigtime_t since, bigtime_t deadline, LevelChange* change) override;
  // True once the recording has played to its end.
  bool Finished() const { return finished_.load(); }
  // True once the play has ended early because the recording could not be read or was bad.
  bool Broken() const { return broken_.load(); }

 private:
  Mode2Recording recording_;  // a recording given in memory
  std::mutex mutex_;          // the view asks for the level while the receiver thread waits
  // Waits for a pipe's recording (outside the lock); false when the caller's wait is over.
  bool AwaitPipe(bigtime_t deadline, status_t* status);
  // Ends the play; a reason is traced, once.
  void Finish(const std::string& reason);

  std::shared_ptr<PipeRecording> pipe_;      // until the pipe's recording is there
  std::unique_ptr<Mode2Timeline> timeline_;  // from then on
  thread_id waker_owner_ = -1;
  bigtime_t origin_ = -1;  // the clock time of the recording's time 0
  std::atomic<bool> finished_{false};
  std::atomic<bool> broken_{false};
};

}  // namespace koru
