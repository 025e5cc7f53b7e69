#pragma once
// Mode2 recordings: "pulse N", "space N", "timeout N" (a space) lines, or whitespace-separated
// "+N" (pulse) and "-N" (space) tokens; '#' starts a comment line. Entries of length 0 are
// dropped, then consecutive entries of one kind are added up.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

struct Mode2Entry {
  bool pulse = false;
  uint64_t microseconds = 0;
  bool operator==(const Mode2Entry&) const = default;
};

using Mode2Recording = std::vector<Mode2Entry>;

// Parses `text`; on failure gives kBadValue and "<source>:<line>: <reason>" in `error`.
status_t ParseMode2(std::string_view text, std::string_view source, Mode2Recording* recording,
                    std::string* error);
// Reads and parses a file, a pipe or a FIFO; a file that cannot be read gives its errno status
// and a message, anything else (a folder, a device) kBadType and a message.
status_t ReadMode2File(const std::string& path, Mode2Recording* recording, std::string* error);

// Appends `more` to `recording` with the merging rule (sums saturate at 2^64 - 1).
void AppendMode2(Mode2Recording* recording, const Mode2Recording& more);
void AppendMode2(Mode2Recording* recording, bool pulse, uint64_t microseconds);

// The level changes of a recording played from `start`: before it and after its last entry the
// line is at the space level. Times saturate far in the future instead of overflowing.
class Mode2Timeline {
 public:
  Mode2Timeline(const Mode2Recording& recording, int64_t start);
  // The first change strictly after `time`, or false when none comes.
  bool NextChange(int64_t time, int64_t* change) const;
  // True while a pulse is on the line at `time`.
  bool PulseAt(int64_t time) const;
  int64_t End() const { return changes_.empty() ? 0 : changes_.back(); }

 private:
  std::vector<int64_t> changes_;  // the pulse level toggles at each; space before the first
};
