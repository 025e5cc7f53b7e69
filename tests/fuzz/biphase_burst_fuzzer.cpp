// Bursts for the bi-phase readers (FuzzedBurst): a code read must be one its writer sends again
// and reads back the same.
#include "fuzz_check.h"
#include "receiver/exact/exact_frames.h"

using namespace koru;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::optional<ExactCode> code = ReadBiphaseBurst(FuzzedBurst(data, size));
  if (!code) return 0;
  std::vector<int32_t> frame;
  if (!WriteBiphaseFrame(*code, &frame)) return 0;  // a generic frame may not be sendable
  frame.pop_back();                                 // the gap after it
  const std::optional<ExactCode> again = ReadBiphaseBurst(frame);
  FUZZ_CHECK(again && again->SameKey(*code));
  return 0;
}
