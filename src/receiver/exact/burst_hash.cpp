// The universal fallback code: the first frame's periods grouped into classes of like length
// (jitter of 200 us never moves a period to another class) and the sequence of class numbers
// hashed with FNV-1a (32 bits).
#include "receiver/exact/duration_classes.h"
#include "receiver/exact/exact_frames.h"

ExactCode HashBurst(BurstPeriods burst) {
  const std::vector<int32_t> classes = DurationClasses(burst.first(FirstFrameEnd(burst)));
  uint32_t hash = 2166136261u;
  for (int32_t level : classes) {
    hash ^= static_cast<uint8_t>(level);
    hash *= 16777619u;
  }
  return ExactCode{ExactProtocol::kHash, 0, hash, 0};
}
