#include "platform/lines/mode2_recording.h"

#include <limits>

#include "platform/lines/mode2_file_reader.h"

namespace koru {

namespace {

constexpr uint64_t kMaxDuration = std::numeric_limits<uint64_t>::max();

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
    result = result * 10 + digit;
    if (result > kLongestMode2Duration) {
      *reason = "duration out of range '" + Shown(digits) + "'";
      return false;
    }
  }
  *value = result;
  return true;
}

// The next whitespace-separated token of `line` from `*at` on; empty at the line's end.
std::string_view NextToken(std::string_view line, size_t* at) {
  size_t i = *at;
  while (i < line.size() && IsSpace(line[i])) ++i;
  const size_t start = i;
  while (i < line.size() && !IsSpace(line[i])) ++i;
  *at = i;
  return line.substr(start, i - start);
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

bool ParseMode2Line(std::string_view line, std::vector<Mode2Entry>* entries, std::string* reason) {
  // Nearly every line is a plain "pulse N" or "space N": read it without the tokenizer. Up to
  // 19 digits cannot overflow; anything unusual takes the general way below.
  constexpr size_t kWord = 6;
  if (line.size() > kWord && line.size() <= kWord + 19 &&
      (line.starts_with("pulse ") || line.starts_with("space "))) {
    uint64_t value = 0;
    size_t i = kWord;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i)
      value = value * 10 + static_cast<uint64_t>(line[i] - '0');
    if (i == line.size() && value <= kLongestMode2Duration) {
      if (value != 0) entries->push_back({line[0] == 'p', value});
      return true;
    }
  }
  size_t at = 0;
  const std::string_view word = NextToken(line, &at);
  if (word.empty() || word[0] == '#') return true;
  if (word == "pulse" || word == "space" || word == "timeout") {
    const std::string_view digits = NextToken(line, &at);
    if (digits.empty() || !NextToken(line, &at).empty()) {
      *reason = "expected '" + std::string(word) + " N'";
      return false;
    }
    uint64_t value = 0;
    if (!ParseDuration(digits, &value, reason)) return false;
    if (value != 0) entries->push_back({word == "pulse", value});
    return true;
  }
  return ParseMode2Tokens(line, entries, reason);
}

bool ParseMode2Tokens(std::string_view piece, std::vector<Mode2Entry>* entries,
                      std::string* reason) {
  size_t at = 0;
  for (std::string_view token = NextToken(piece, &at); !token.empty();
       token = NextToken(piece, &at)) {
    uint64_t value = 0;
    if (token[0] != '+' && token[0] != '-') {
      *reason = "unexpected '" + Shown(token) + "'";
      return false;
    }
    if (!ParseDuration(token.substr(1), &value, reason)) return false;
    if (value != 0) entries->push_back({token[0] == '+', value});
  }
  return true;
}

status_t ParseMode2(std::string_view text, std::string_view source, Mode2Recording* recording,
                    std::string* error) {
  Mode2Recording parsed;
  std::vector<Mode2Entry> entries;
  std::string reason;
  size_t line_number = 0;
  size_t position = 0;
  while (position < text.size()) {
    size_t end = text.find('\n', position);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(position, end - position);
    position = end + 1;
    ++line_number;
    entries.clear();
    if (!ParseMode2Line(line, &entries, &reason)) {
      if (error) *error = std::string(source) + ":" + std::to_string(line_number) + ": " + reason;
      return kBadValue;
    }
    for (const Mode2Entry& entry : entries) AppendMode2(&parsed, entry.pulse, entry.microseconds);
  }
  *recording = std::move(parsed);
  return kOk;
}

status_t ReadMode2File(const std::string& path, Mode2Recording* recording, std::string* error) {
  const std::unique_ptr<Mode2FileReader> reader = Mode2FileReader::Open(path);
  Mode2Recording read;
  Mode2Entry entry;
  while (reader->Next(&entry)) AppendMode2(&read, entry.pulse, entry.microseconds);
  if (reader->Status() != kOk) {
    if (error) *error = reader->Error();
    return reader->Status();
  }
  *recording = std::move(read);
  return kOk;
}

}  // namespace koru
