// Bursts for the short serial reader: two bytes a period (little-endian microseconds, 0xFFFF a
// stuck line). A code read must be one its writer sends again and reads back the same.
#include <climits>
#include <cstdint>
#include <vector>

#include "fuzz_check.h"
#include "receiver/exact/exact_frames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<int32_t> burst;
  for (size_t i = 0; i + 1 < size; i += 2) {
    const int32_t period = data[i] | data[i + 1] << 8;
    burst.push_back(period == 0xFFFF ? INT32_MAX : period);
  }
  const std::optional<ExactCode> code = ReadSerialBurst(burst);
  if (!code) return 0;
  std::vector<int32_t> frame;
  FUZZ_CHECK(WriteSerialFrame(*code, &frame));
  frame.pop_back();  // the gap after it
  const std::optional<ExactCode> again = ReadSerialBurst(frame);
  FUZZ_CHECK(again && again->SameKey(*code));
  return 0;
}
