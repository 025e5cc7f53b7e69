#include "receiver/pulse_analysis.h"

#include <algorithm>
#include <cstdio>

#include "platform/messaging/trace.h"
#include "receiver/duration_table.h"

namespace koru {

int32_t CountValidBits(const int32_t* table, bool verbose) {
  int32_t run = 0;
  int32_t best = 0;
  int i = 0;
  while (i <= kLastPairIndex) {
    // 64-bit arithmetic: a sum of two periods must not overflow.
    const int64_t a = table[i];
    const int64_t b = table[i + 1];
    if (a > 4000 || b > 4000) {
      run = 0;
      i += 1;
    } else if (a == 4000) {
      i += 1;
    } else {
      const int64_t sum = a + b;
      if (sum < 6000) {
        ++run;
        if (run > best) ++best;
      }
      if (sum == 0) break;
      i += 2;
    }
    if (verbose) Trace(" [%d] run %d best %d\n", i, run, best);
  }
  if (best == 0) Trace(" hoppala \n");
  return best;
}

int32_t ScanHighLowBits(const int32_t* table) {
  int64_t count = 0;
  int64_t total = 0;
  int i = 0;
  while (i <= kLastPairIndex) {
    const int32_t a = table[i];
    const int32_t b = table[i + 1];
    if (a >= 1 && a <= 10000 && b >= 1 && b <= 10000) {
      ++count;
      total += a + b;
      i += 2;
    } else {
      i += 1;
    }
  }
  if (count == 0) {
    Trace(" [DIV.ERR]\n");
    return 0;
  }
  return static_cast<int32_t>(total / count);
}

void ShowTiming(const int32_t* table, int32_t count) {
  Trace(" ##ShowTiming (%d)\n", count);
  const int32_t shown = std::clamp(count, 0, kDurationTableSize);
  // One trace call per row of eight: a row is at most 8 * 12 characters.
  char row[128];
  int used = 0;
  for (int32_t i = 0; i < shown; ++i) {
    used += std::snprintf(row + used, sizeof row - used, "%8ld ", static_cast<long>(table[i]));
    if ((i + 1) % 8 == 0) {
      Trace("%s\n", row);
      used = 0;
    }
  }
  row[used] = '\0';
  Trace("%s\n", row);
}

}  // namespace koru
