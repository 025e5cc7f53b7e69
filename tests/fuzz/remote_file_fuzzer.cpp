// Remote files as the library loads them, then the origin check and a code lookup.
#include <cstdint>

#include "fuzz_check.h"
#include "fuzz_folder.h"
#include "remotes/remote_definition.h"

using namespace koru;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QuietTrace();
  WriteFuzzFile("Fuzzed", data, size);
  RemoteList list;
  list.push_back(std::make_unique<RemoteDefinition>(FuzzFolder()));
  RemoteDefinition& record = *list.back();
  record.RemoteLoad("Fuzzed");
  for (int32_t k = 1; k <= kKeySlots; ++k)
    FUZZ_CHECK(record.Slot(k) >= 0 && record.Slot(k) <= kLargestSlotValue);
  const int32_t kind = record.UpdateOriginKind("Fuzzed", &list);
  FUZZ_CHECK(kind >= kKindOrg && kind <= kKindUser);
  const int32_t function = record.KeyFunctionOfCode(record.Slot(1));
  FUZZ_CHECK(function == kNoKeyFunction || (function >= 51 && function <= 100));
  return 0;
}
