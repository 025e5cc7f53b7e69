#include "platform/lines/replay_line.h"

#include <map>

#include "platform/lines/mode2_file.h"
#include "platform/messaging/threads.h"
#include "platform/messaging/trace.h"

namespace {
constexpr bigtime_t kLeadIn = 100000;

std::mutex g_kept_mutex;
std::map<std::string, std::shared_ptr<const Mode2File>>& KeptRecordings() {
  static std::map<std::string, std::shared_ptr<const Mode2File>> recordings;
  return recordings;
}
// Long: nothing will happen on the line, and suspension and kill end the wait at once.
constexpr bigtime_t kIdleSleep = 3600000000;

// Sleeps until `time` on the clock; snooze returns early around a suspension.
void SleepUntil(bigtime_t time) {
  for (bigtime_t now = system_time(); now < time; now = system_time()) snooze(time - now);
}
}  // namespace

status_t ReplayLine::Keep(const std::string& path, std::string* error) {
  std::shared_ptr<const Mode2File> file;
  const status_t status = Mode2File::Open(path, &file, error);
  if (status != kOk) return status;
  std::lock_guard lock(g_kept_mutex);
  KeptRecordings()[path] = std::move(file);
  return kOk;
}

int32_t ReplayLine::Open(const std::string& path, std::unique_ptr<ReceiverLine>* line) {
  std::shared_ptr<const Mode2File> file;
  {
    std::lock_guard lock(g_kept_mutex);
    const auto kept = KeptRecordings().find(path);
    if (kept != KeptRecordings().end()) file = kept->second;
  }
  if (file == nullptr) {
    std::string error;
    const status_t status = Mode2File::Open(path, &file, &error);
    if (status != kOk) {
      Trace("%s\n", error.c_str());
      return status;
    }
  }
  *line = std::make_unique<ReplayLine>(file->Play());
  return 1;
}

ReplayLine::ReplayLine(Mode2Recording recording)
    : recording_(std::move(recording)),
      timeline_(std::make_unique<Mode2MemorySource>(recording_), kLeadIn) {}

ReplayLine::ReplayLine(std::unique_ptr<Mode2Source> source)
    : timeline_(std::move(source), kLeadIn) {}

bool ReplayLine::IsDCD() {
  std::lock_guard lock(mutex_);
  return origin_ >= 0 && timeline_.PulseAt(system_time() - origin_);
}

status_t ReplayLine::WaitForChange(bigtime_t since, bigtime_t deadline, LevelChange* change) {
  int64_t at = 0;
  bool pulse = false;
  bool comes = false;
  std::string broken;
  {
    std::lock_guard lock(mutex_);
    if (origin_ < 0) origin_ = system_time();
    comes = timeline_.NextChange(since - origin_, &at, &pulse);
    if (!comes && timeline_.Source().Status() != kOk) broken = timeline_.Source().Error();
  }
  if (!comes) {
    // A file changed or broken since it was checked ends the play early: say why, once.
    if (!finished_.exchange(true) && !broken.empty()) Trace("%s\n", broken.c_str());
    if (deadline != kNoDeadline) {
      SleepUntil(deadline);
      return kTimedOut;
    }
    for (;;) snooze(kIdleSleep);  // idle for good; suspension and kill take effect here
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
