#include "platform/mode2_recording.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>

namespace {

constexpr uint64_t kMaxDuration = std::numeric_limits<uint64_t>::max();
// Far enough that nothing reaches it, small enough that differences of times never overflow.
constexpr int64_t kFarFuture = std::numeric_limits<int64_t>::max() / 4;

// A token as an error message shows it: printable, and not endless (binary files exist).
std::string Shown(std::string_view token) {
  constexpr size_t kMaxShown = 24;
  std::string shown;
  for (char c : token.substr(0, kMaxShown)) shown.push_back(c >= 0x20 && c < 0x7f ? c : '?');
  if (token.size() > kMaxShown) shown += "...";
  return shown;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// Whole non-negative decimal number; false with a reason otherwise.
bool ParseDuration(std::string_view digits, uint64_t* value, std::string* reason) {
  if (digits.empty()) {
    *reason = "missing duration";
    return false;
  }
  if (digits[0] == '-') {
    *reason = "negative duration '" + Shown(digits) + "'";
    return false;
  }
  uint64_t result = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') {
      *reason = "bad duration '" + Shown(digits) + "'";
      return false;
    }
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (result > (kMaxDuration - digit) / 10) {
      *reason = "duration out of range '" + Shown(digits) + "'";
      return false;
    }
    result = result * 10 + digit;
  }
  *value = result;
  return true;
}

std::vector<std::string_view> Tokens(std::string_view line) {
  std::vector<std::string_view> tokens;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsSpace(line[i])) ++i;
    const size_t start = i;
    while (i < line.size() && !IsSpace(line[i])) ++i;
    if (i > start) tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}

}  // namespace

void AppendMode2(Mode2Recording* recording, bool pulse, uint64_t microseconds) {
  if (microseconds == 0) return;
  if (!recording->empty() && recording->back().pulse == pulse) {
    uint64_t& sum = recording->back().microseconds;
    sum = microseconds > kMaxDuration - sum ? kMaxDuration : sum + microseconds;
    return;
  }
  recording->push_back({pulse, microseconds});
}

void AppendMode2(Mode2Recording* recording, const Mode2Recording& more) {
  for (const Mode2Entry& entry : more) AppendMode2(recording, entry.pulse, entry.microseconds);
}

status_t ParseMode2(std::string_view text, std::string_view source, Mode2Recording* recording,
                    std::string* error) {
  Mode2Recording parsed;
  size_t line_number = 0;
  size_t position = 0;
  while (position < text.size()) {
    size_t end = text.find('\n', position);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(position, end - position);
    position = end + 1;
    ++line_number;

    const std::vector<std::string_view> tokens = Tokens(line);
    if (tokens.empty() || tokens[0][0] == '#') continue;

    std::string reason;
    auto fail = [&]() {
      if (error) *error = std::string(source) + ":" + std::to_string(line_number) + ": " + reason;
      return kBadValue;
    };
    const std::string_view word = tokens[0];
    if (word == "pulse" || word == "space" || word == "timeout") {
      if (tokens.size() != 2) {
        reason = "expected '" + std::string(word) + " N'";
        return fail();
      }
      uint64_t value = 0;
      if (!ParseDuration(tokens[1], &value, &reason)) return fail();
      AppendMode2(&parsed, word == "pulse", value);
      continue;
    }
    for (std::string_view token : tokens) {
      uint64_t value = 0;
      if (token[0] != '+' && token[0] != '-') {
        reason = "unexpected '" + Shown(token) + "'";
        return fail();
      }
      if (!ParseDuration(token.substr(1), &value, &reason)) return fail();
      AppendMode2(&parsed, token[0] == '+', value);
    }
  }
  *recording = std::move(parsed);
  return kOk;
}

status_t ReadMode2File(const std::string& path, Mode2Recording* recording, std::string* error) {
  // A folder would read as an empty recording and a device such as /dev/zero would never end.
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode)) {
    if (error) *error = path + ": not a regular file, pipe or FIFO";
    return kBadType;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    const int saved = errno;
    if (error) *error = path + ": " + std::strerror(saved);
    return saved != 0 ? StatusFromErrno(saved) : kEntryNotFound;
  }
  std::ostringstream contents;
  contents << file.rdbuf();
  if (file.bad()) {
    if (error) *error = path + ": read error";
    return kIoError;
  }
  return ParseMode2(contents.str(), path, recording, error);
}

Mode2Timeline::Mode2Timeline(const Mode2Recording& recording, int64_t start) {
  bool pulse = false;
  int64_t time = start;
  changes_.reserve(recording.size() + 1);
  for (const Mode2Entry& entry : recording) {
    if (entry.pulse != pulse) {
      // A saturated time repeats: the toggles at it cancel out, so drop both.
      if (!changes_.empty() && changes_.back() == time) {
        changes_.pop_back();
      } else {
        changes_.push_back(time);
      }
      pulse = entry.pulse;
    }
    const uint64_t room = static_cast<uint64_t>(kFarFuture - time);
    time =
        entry.microseconds >= room ? kFarFuture : time + static_cast<int64_t>(entry.microseconds);
  }
  if (pulse) {
    if (!changes_.empty() && changes_.back() == time) {
      changes_.pop_back();
    } else {
      changes_.push_back(time);
    }
  }
}

bool Mode2Timeline::NextChange(int64_t time, int64_t* change) const {
  const auto it = std::upper_bound(changes_.begin(), changes_.end(), time);
  if (it == changes_.end()) return false;
  *change = *it;
  return true;
}

bool Mode2Timeline::PulseAt(int64_t time) const {
  const auto toggles = std::upper_bound(changes_.begin(), changes_.end(), time) - changes_.begin();
  return toggles % 2 == 1;
}
