// Placeholder until the bi-phase readers and writers arrive: no frame is recognised and none
// can be written.
#include "receiver/exact/exact_frames.h"

std::optional<ExactCode> ReadBiphaseBurst(BurstPeriods) {
  return std::nullopt;
}

bool WriteBiphaseFrame(const ExactCode&, std::vector<int32_t>*) {
  return false;
}
