#include "platform/lines/replay_line.h"

#include <sys/stat.h>

#include <map>

#include "platform/lines/mode2_file.h"
#include "platform/messaging/trace.h"

namespace koru {

namespace {
constexpr bigtime_t kLeadIn = 100000;

// A recording checked when the program started, or a pipe's still being read.
struct KeptRecording {
  std::shared_ptr<const Mode2File> file;
  std::shared_ptr<PipeRecording> pipe;
};

std::mutex g_kept_mutex;
std::map<std::string, KeptRecording>& KeptRecordings() {
  static std::map<std::string, KeptRecording> recordings;
  return recordings;
}
// Long: nothing will happen on the line, and suspension and kill end the wait at once.
constexpr bigtime_t kIdleSleep = 3600000000;

// Sleeps until `time` on the clock; snooze returns early around a suspension.
void SleepUntil(bigtime_t time) {
  for (bigtime_t now = system_time(); now < time; now = system_time()) snooze(time - now);
}

// What a line that has nothing more to give does with a wait.
status_t IdleUntil(bigtime_t deadline) {
  if (deadline == kNoDeadline) {
    for (;;) snooze(kIdleSleep);  // idle for good; suspension and kill take effect here
  }
  SleepUntil(deadline);
  return kTimedOut;
}
}  // namespace

status_t ReplayLine::Keep(const std::string& path, std::string* error) {
  KeptRecording kept;
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode)) {
    kept.pipe = PipeRecording::Start(path);
  } else {
    const status_t status = Mode2File::Open(path, &kept.file, error);
    if (status != kOk) return status;
  }
  std::lock_guard lock(g_kept_mutex);
  KeptRecordings()[path] = std::move(kept);
  return kOk;
}

int32_t ReplayLine::Open(const std::string& path, std::unique_ptr<ReceiverLine>* line) {
  KeptRecording kept;
  {
    std::lock_guard lock(g_kept_mutex);
    const auto found = KeptRecordings().find(path);
    if (found != KeptRecordings().end()) kept = found->second;
  }
  if (kept.pipe != nullptr) {
    *line = std::make_unique<ReplayLine>(kept.pipe);
    return 1;
  }
  if (kept.file == nullptr) {
    std::string error;
    const status_t status = Mode2File::Open(path, &kept.file, &error);
    if (status != kOk) {
      Trace("%s\n", error.c_str());
      return status;
    }
  }
  *line = std::make_unique<ReplayLine>(kept.file->Play());
  return 1;
}

ReplayLine::ReplayLine(Mode2Recording recording)
    : recording_(std::move(recording)),
      timeline_(std::make_unique<Mode2Timeline>(std::make_unique<Mode2MemorySource>(recording_),
                                                kLeadIn)) {}

ReplayLine::ReplayLine(std::unique_ptr<Mode2Source> source)
    : timeline_(std::make_unique<Mode2Timeline>(std::move(source), kLeadIn)) {}

ReplayLine::ReplayLine(std::shared_ptr<PipeRecording> pipe) : pipe_(std::move(pipe)) {}

bool ReplayLine::IsDCD() {
  std::lock_guard lock(mutex_);
  return timeline_ != nullptr && origin_ >= 0 && timeline_->PulseAt(system_time() - origin_);
}

void ReplayLine::Finish(const std::string& reason) {
  if (finished_.exchange(true) || reason.empty()) return;
  broken_ = true;
  Trace("%s\n", reason.c_str());
}

bool ReplayLine::AwaitPipe(bigtime_t deadline, status_t* status) {
  std::shared_ptr<PipeRecording> pipe;
  {
    std::lock_guard lock(mutex_);
    pipe = pipe_;
  }
  if (pipe == nullptr) return true;
  // Suspension and kill must not wait for the writer: they break this wait.
  if (const thread_id self = find_thread(nullptr); self != waker_owner_) {
    waker_owner_ = self;
    set_thread_waker([pipe] { pipe->Wake(); });
  }
  std::shared_ptr<const Mode2File> file;
  std::string error;
  for (;;) {
    const uint64_t wakes = pipe->Wakes();
    thread_checkpoint();
    *status = pipe->Wait(wakes, deadline, &file, &error);
    if (*status != kInterrupted) break;
  }
  if (*status == kTimedOut) return false;
  {
    std::lock_guard lock(mutex_);
    pipe_ = nullptr;
    if (*status == kOk) {
      timeline_ = std::make_unique<Mode2Timeline>(file->Play(), kLeadIn);
      origin_ = -1;  // the lead-in starts now
      return true;
    }
  }
  Finish(error);
  *status = IdleUntil(deadline);
  return false;
}

status_t ReplayLine::WaitForChange(bigtime_t since, bigtime_t deadline, LevelChange* change) {
  if (status_t status = kOk; !AwaitPipe(deadline, &status)) return status;
  int64_t at = 0;
  bool pulse = false;
  bool comes = false;
  std::string broken;
  {
    std::lock_guard lock(mutex_);
    // No timeline: a pipe's recording that could not be played (said once already).
    if (timeline_ != nullptr) {
      if (origin_ < 0) origin_ = system_time();
      comes = timeline_->NextChange(since - origin_, &at, &pulse);
      if (!comes && timeline_->Source().Status() != kOk) broken = timeline_->Source().Error();
    }
  }
  if (!comes) {
    // A file changed or broken since it was checked ends the play early: say why, once.
    Finish(broken);
    return IdleUntil(deadline);
  }
  if (at > kNoDeadline - origin_ || origin_ + at > deadline) {
    SleepUntil(deadline);
    return kTimedOut;
  }
  SleepUntil(origin_ + at);
  change->time = origin_ + at;
  change->pulse = pulse;
  return kOk;
}

}  // namespace koru
