#include "lircd/lircd_repeat_counter.h"

int LircdRepeatCounter::Count(const std::string& remote, int32_t keyfn, bigtime_t when) {
  const bool held =
      fCount >= 0 && remote == fRemote && keyfn == fKey && when >= fLast && when - fLast <= kWindow;
  fCount = held ? fCount + 1 : 0;
  fRemote = remote;
  fKey = keyfn;
  fLast = when;
  return fCount;
}
