#pragma once
// Mode2 recordings: "pulse N", "space N", "timeout N" (a space) lines, or whitespace-separated
// "+N" (pulse) and "-N" (space) tokens; '#' starts a comment line. Entries of length 0 are
// dropped, then consecutive entries of one kind are added up. A duration longer than a day is
// refused: no receiver measures one, and times that far ahead overflow the clocks that wait
// for them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/messaging/status.h"

namespace koru {

struct Mode2Entry {
  bool pulse = false;
  uint64_t microseconds = 0;
  bool operator==(const Mode2Entry&) const = default;
};

using Mode2Recording = std::vector<Mode2Entry>;

constexpr uint64_t kLongestMode2Duration = uint64_t{86400} * 1000 * 1000;

// Parses one line: appends its entries (those of length 0 left out) to `entries`, or gives
// false and the reason.
bool ParseMode2Line(std::string_view line, std::vector<Mode2Entry>* entries, std::string* reason);
// Parses whole "+N"/"-N" tokens only: a piece of a line too long to hold at once.
bool ParseMode2Tokens(std::string_view piece, std::vector<Mode2Entry>* entries,
                      std::string* reason);

// Parses `text`; on failure gives kBadValue and "<source>:<line>: <reason>" in `error`.
status_t ParseMode2(std::string_view text, std::string_view source, Mode2Recording* recording,
                    std::string* error);
// Reads and parses a file, a pipe or a FIFO; a file that cannot be read gives its errno status
// and a message, anything else (a folder, a device) kBadType and a message. Long recordings are
// better played from a Mode2File, which never holds them in memory.
status_t ReadMode2File(const std::string& path, Mode2Recording* recording, std::string* error);

// Appends `more` to `recording` with the merging rule (sums saturate at 2^64 - 1).
void AppendMode2(Mode2Recording* recording, const Mode2Recording& more);
void AppendMode2(Mode2Recording* recording, bool pulse, uint64_t microseconds);

}  // namespace koru
