// Mode2 recordings as the receiver reads them: parse, then play the timeline a little way.
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/lines/mode2_recording.h"
#include "platform/lines/mode2_timeline.h"

using namespace koru;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Mode2Recording recording;
  std::string error;
  if (ParseMode2(text, "fuzz", &recording, &error) != kOk) {
    FUZZ_CHECK(!error.empty());
    return 0;
  }
  for (size_t i = 1; i < recording.size(); ++i)
    FUZZ_CHECK(recording[i].pulse != recording[i - 1].pulse);  // kinds alternate after merging
  Mode2Timeline timeline(std::make_unique<Mode2MemorySource>(recording), 1000);
  int64_t time = 0;
  for (int step = 0; step < 64; ++step) {
    int64_t change = 0;
    if (!timeline.NextChange(time, &change)) break;
    FUZZ_CHECK(change > time);
    time = change;
    timeline.PulseAt(time);
  }
  return 0;
}
