#pragma once
// A property a fuzz target checks on every input; a broken one aborts, so libFuzzer keeps the
// input and the corpus replay fails. And bursts made of fuzzed bytes.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)

namespace koru {

// Two bytes a period (little-endian microseconds, 0xFFFF a stuck line).
inline std::vector<int32_t> FuzzedBurst(const uint8_t* data, size_t size) {
  std::vector<int32_t> burst;
  for (size_t i = 0; i + 1 < size; i += 2) {
    const int32_t period = data[i] | data[i + 1] << 8;
    burst.push_back(period == 0xFFFF ? INT32_MAX : period);
  }
  return burst;
}

}  // namespace koru
