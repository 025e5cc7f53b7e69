#include "platform/line_polling.h"

#include "platform/threads.h"

status_t PollForChange(LevelReader read_level, void* context, bigtime_t since, bigtime_t* period) {
  bool start_level = false;
  status_t status = kOk;
  if (!read_level(context, &start_level, &status)) return status;
  for (;;) {
    snooze(kLinePollInterval);
    bool level = start_level;
    if (!read_level(context, &level, &status)) return status;
    if (level != start_level) {
      *period = system_time() - since;
      return kOk;
    }
  }
}
