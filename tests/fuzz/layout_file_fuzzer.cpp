// Layout files of the virtual remote: parse, and what the writer makes of the result reads
// back as the same places.
#include <string_view>
#include <tuple>
#include <vector>

#include "fuzz_check.h"
#include "virtual_remote/layout_file.h"

using namespace koru;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<LayoutPlace> places = ParseLayoutFile(text);
  for (const LayoutPlace& place : places) FUZZ_CHECK(place.slot >= 0 && place.slot <= 71);
  const std::vector<LayoutPlace> again = ParseLayoutFile(FormatLayoutFile(places));
  FUZZ_CHECK(again.size() == places.size());
  for (size_t i = 0; i < places.size(); ++i) {
    const LayoutPlace &a = again[i], &p = places[i];
    FUZZ_CHECK(std::tie(a.slot, a.x, a.y) == std::tie(p.slot, p.x, p.y));
  }
  return 0;
}
