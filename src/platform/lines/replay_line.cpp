#include "platform/lines/replay_line.h"

#include <map>
#include <mutex>

#include "platform/messaging/threads.h"
#include "platform/messaging/trace.h"

namespace {
constexpr bigtime_t kLeadIn = 100000;

std::mutex g_kept_mutex;
std::map<std::string, Mode2Recording>& KeptRecordings() {
  static std::map<std::string, Mode2Recording> recordings;
  return recordings;
}
// Long: nothing will happen on the line, and suspension and kill end the wait at once.
constexpr bigtime_t kIdleSleep = 3600000000;

// Sleeps until `time` on the clock; snooze returns early around a suspension.
void SleepUntil(bigtime_t time) {
  for (bigtime_t now = system_time(); now < time; now = system_time()) snooze(time - now);
}
}  // namespace

void ReplayLine::Keep(const std::string& path, Mode2Recording recording) {
  std::lock_guard lock(g_kept_mutex);
  KeptRecordings()[path] = std::move(recording);
}

int32_t ReplayLine::Open(const std::string& path, std::unique_ptr<ReceiverLine>* line) {
  {
    std::lock_guard lock(g_kept_mutex);
    const auto kept = KeptRecordings().find(path);
    if (kept != KeptRecordings().end()) {
      *line = std::make_unique<ReplayLine>(kept->second);
      return 1;
    }
  }
  Mode2Recording recording;
  std::string error;
  const status_t status = ReadMode2File(path, &recording, &error);
  if (status != kOk) {
    Trace("%s\n", error.c_str());
    return status;
  }
  *line = std::make_unique<ReplayLine>(recording);
  return 1;
}

ReplayLine::ReplayLine(const Mode2Recording& recording) : timeline_(recording, kLeadIn) {}

bool ReplayLine::IsDCD() {
  return origin_ >= 0 && timeline_.PulseAt(system_time() - origin_);
}

status_t ReplayLine::WaitForChange(bigtime_t since, bigtime_t deadline, LevelChange* change) {
  if (origin_ < 0) origin_ = system_time();
  int64_t at = 0;
  if (!timeline_.NextChange(since - origin_, &at)) {
    finished_.store(true);
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
  change->pulse = timeline_.PulseAt(at);
  return kOk;
}
