#include "platform/lines/modem_wait.h"

#include "platform/lines/line_polling.h"
#include "platform/messaging/threads.h"

namespace koru {

namespace {

status_t ReadCount(ModemLine& line, DcdWaitState* state, uint64_t* count) {
  if (!state->counter) return kOk;
  const status_t status = line.DcdEdgeCount(count);
  if (status == kUnsupported) {
    state->counter = false;
    return kOk;
  }
  return status;
}

}  // namespace

status_t WaitForDcdChange(ModemLine& line, DcdWaitState* state, bigtime_t since, bigtime_t deadline,
                          LevelChange* change) {
  if (state->last_change != since) {
    if (status_t status = ReadCount(line, state, &state->count); status != kOk) return status;
    if (status_t status = line.ReadDcd(&state->level); status != kOk) return status;
  }
  if (!state->interrupts) UseMinimalTimerSlack();
  for (;;) {
    thread_checkpoint();  // suspension and kill take effect here
    const bigtime_t before = system_time();
    if (before >= deadline) return kTimedOut;
    if (state->interrupts) {
      const status_t waited = line.WaitForModemChange(deadline);
      if (waited == kUnsupported) {
        state->interrupts = false;
        UseMinimalTimerSlack();
        continue;
      }
      if (waited != kOk && waited != kInterrupted && waited != kTimedOut) return waited;
    } else {
      bigtime_t interval = PollInterval(before - since);
      if (deadline - before < interval) interval = deadline - before;
      snooze(interval);
    }
    const bigtime_t now = system_time();
    uint64_t count = state->count;
    bool level = state->level;
    if (status_t status = ReadCount(line, state, &count); status != kOk) return status;
    if (status_t status = line.ReadDcd(&level); status != kOk) return status;
    const uint64_t edges = state->counter ? count - state->count : (level != state->level);
    if (edges == 0 && level == state->level) continue;  // another modem line changed
    const bool one_change = (edges == 1 || edges == 0) && level != state->level;
    state->count = count;
    state->level = level;
    state->last_change = now;
    change->time = now;
    change->pulse = level;
    return one_change ? kOk : kEdgesLost;
  }
}

}  // namespace koru
