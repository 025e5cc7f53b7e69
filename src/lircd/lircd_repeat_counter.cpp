#include "lircd/lircd_repeat_counter.h"

namespace koru {

int LircdRepeatCounter::Count(const std::string& remote, int32_t keyfn, bigtime_t when) {
  const bool held =
      count_ >= 0 && remote == remote_ && keyfn == key_ && when >= last_ && when - last_ <= kWindow;
  count_ = held ? count_ + 1 : 0;
  remote_ = remote;
  key_ = keyfn;
  last_ = when;
  return count_;
}

}  // namespace koru
