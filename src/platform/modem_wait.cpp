#include "platform/modem_wait.h"

#include "platform/line_polling.h"
#include "platform/threads.h"

namespace {

bool ReadLevel(void* context, bool* level, status_t* status) {
  *status = static_cast<ModemLine*>(context)->ReadDcd(level);
  return *status == kOk;
}

}  // namespace

status_t WaitForDcdChange(ModemLine& line, bool* interrupts, bigtime_t since, bigtime_t* period) {
  if (!*interrupts) return PollForChange(ReadLevel, &line, since, period);
  uint64_t before = 0;
  bool start_level = false;
  if (status_t status = line.DcdEdgeCount(&before); status != kOk) return status;
  if (status_t status = line.ReadDcd(&start_level); status != kOk) return status;
  for (;;) {
    thread_checkpoint();  // suspension and kill take effect here
    const status_t waited = line.WaitForModemChange();
    const bigtime_t now = system_time();
    if (waited == kInterrupted) continue;
    if (waited == kUnsupported) {
      *interrupts = false;
      return PollForChange(ReadLevel, &line, since, period);
    }
    if (waited != kOk) return waited;
    uint64_t after = 0;
    bool level = start_level;
    if (status_t status = line.DcdEdgeCount(&after); status != kOk) return status;
    if (status_t status = line.ReadDcd(&level); status != kOk) return status;
    if (after != before || level != start_level) {
      *period = now - since;
      return kOk;
    }
  }
}
