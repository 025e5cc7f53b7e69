#include "platform/replay_line.h"

#include "platform/threads.h"
#include "platform/trace.h"

namespace {
constexpr bigtime_t kLeadIn = 100000;
constexpr bigtime_t kIdleSleep = 1000000;
// Later than this after the last edge, a thread is taken to start afresh (the wall threshold).
constexpr bigtime_t kCatchUpLimit = 10000;
}  // namespace

int32_t ReplayLine::Open(const std::string& path, std::unique_ptr<ReceiverLine>* line) {
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

status_t ReplayLine::WaitForChange(bigtime_t since, bigtime_t* period) {
  if (origin_ < 0) origin_ = system_time();
  // Like a kernel receiver, the line keeps the edges a busy thread is late for: a thread that
  // comes back a little late gets the next edge after the last one it saw, with its true
  // duration. One that comes back much later (after a suspension) starts at its own time.
  const bigtime_t own_start = since - origin_;
  const bigtime_t base =
      last_change_ >= 0 && own_start - last_change_ < kCatchUpLimit ? last_change_ : own_start;
  int64_t change = 0;
  if (!timeline_.NextChange(base, &change)) {
    finished_.store(true);
    for (;;) snooze(kIdleSleep);  // idle for good; suspension and kill take effect here
  }
  // snooze returns early around a suspension: sleep until the change is really due.
  for (bigtime_t now = system_time(); now - origin_ < change; now = system_time())
    snooze(change - (now - origin_));
  *period = change - base;
  last_change_ = change;
  return kOk;
}
