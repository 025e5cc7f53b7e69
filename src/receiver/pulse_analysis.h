#pragma once
// Measures over a duration table: the valid-bit count that chooses the decoder, the mean pair
// period some decoders use as their bit threshold, and a trace dump of the table.
#include <cstdint>

namespace koru {

// Length of the longest run of short pairs (both periods at most 4000 us, the first below,
// sum below 6000 us); the closing pair of zeros counts like a short pair.
int32_t CountValidBits(const int32_t* table, bool verbose);
// Mean period of the pairs whose periods both lie in 1..10000 us; 0 without such a pair.
int32_t ScanHighLowBits(const int32_t* table);
// Prints the first `count` entries (at most the table's 256) to the trace.
void ShowTiming(const int32_t* table, int32_t count);

}  // namespace koru
