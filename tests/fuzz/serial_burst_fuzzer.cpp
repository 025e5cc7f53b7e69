// Bursts for the short serial reader (FuzzedBurst): a code read must be one its writer sends
// again and reads back the same.
#include "fuzz_check.h"
#include "receiver/exact/exact_frames.h"

using namespace koru;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::optional<ExactCode> code = ReadSerialBurst(FuzzedBurst(data, size));
  if (!code) return 0;
  std::vector<int32_t> frame;
  FUZZ_CHECK(WriteSerialFrame(*code, &frame));
  frame.pop_back();  // the gap after it
  const std::optional<ExactCode> again = ReadSerialBurst(frame);
  FUZZ_CHECK(again && again->SameKey(*code));
  return 0;
}
