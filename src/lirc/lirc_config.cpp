#include "lirc/lirc_config.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "lirc/shown_text.h"
#include "platform/files/whole_file.h"

namespace koru {

namespace {

constexpr size_t kMaxFileSize = 16u << 20;
constexpr int64_t kMaxPeriod = 10000000;  // 10 s: longer is no infrared timing

struct FlagName {
  const char* name;
  uint32_t flag;
};

constexpr FlagName kFlagNames[] = {
    {"RAW_CODES", kLircRawCodes},
    {"RC5", kLircRc5},
    {"SHIFT_ENC", kLircRc5},
    {"RC6", kLircRc6},
    {"RCMM", kLircRcmm},
    {"SPACE_ENC", kLircSpaceEnc},
    {"SPACE_FIRST", kLircSpaceFirst},
    {"GOLDSTAR", kLircGoldstar},
    {"GRUNDIG", kLircGrundig},
    {"BO", kLircBo},
    {"SERIAL", kLircSerial},
    {"XMP", kLircXmp},
    {"REVERSE", kLircReverse},
    {"NO_HEAD_REP", kLircNoHeadRep},
    {"NO_FOOT_REP", kLircNoFootRep},
    {"CONST_LENGTH", kLircConstLength},
    {"REPEAT_HEADER", kLircRepeatHeader},
};

// Parameters that are read but change nothing the import needs (receiving details, other
// drivers, sorting in the daemon).
constexpr const char* kQuietParameters[] = {
    "driver",      "duty_cycle",  "suppress_repeat", "manual_sort",
    "ignore_mask", "toggle_mask", "min_code_repeat", "serial_mode",
    "baud",        "min_gap",     "max_gap",         "repeat_gap_min",
};

// The words of a line. '#' in the first column makes the line a comment; elsewhere a word that
// starts with '#' ends the line, unless it is the first word (a button may be named "#").
std::vector<std::string_view> Tokens(std::string_view line) {
  std::vector<std::string_view> tokens;
  if (!line.empty() && line[0] == '#') return tokens;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    if (i >= line.size() || (line[i] == '#' && !tokens.empty())) break;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Keywords and flags are compared without case, as LIRC does.
bool Is(std::string_view token, const char* word) {
  if (token.size() != std::strlen(word)) return false;
  for (size_t i = 0; i < token.size(); ++i)
    if (Upper(token[i]) != Upper(word[i])) return false;
  return true;
}

// A whole number as C writes it (base 0), without sign.
bool ParseNumber(std::string_view token, uint64_t* value) {
  if (token.empty() || token[0] == '-' || token[0] == '+') return false;
  const std::string text(token);
  errno = 0;
  char* end = nullptr;
  const unsigned long long number = std::strtoull(text.c_str(), &end, 0);
  if (errno != 0 || end == text.c_str() || *end != '\0') return false;
  *value = number;
  return true;
}

class Parser {
 public:
  Parser(std::string_view source, std::vector<std::string>* warnings)
      : source_(source), warnings_(warnings) {}

  status_t Run(std::string_view text, std::vector<LircRemote>* remotes, std::string* error) {
    size_t start = 0;
    while (start <= text.size() && ok_) {
      size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      ++line_;
      Line(Tokens(text.substr(start, end - start)));
      start = end + 1;
    }
    if (ok_ && state_ != State::kOutside)
      Fail(in_remote_line_, "\"begin remote\" without \"end remote\"");
    if (!ok_) {
      if (error) *error = error_;
      return kBadValue;
    }
    for (LircRemote& remote : found_) remotes->push_back(std::move(remote));
    return kOk;
  }

 private:
  enum class State { kOutside, kRemote, kCodes, kRawCodes };

  void Fail(int32_t line, const std::string& why) {
    if (!ok_) return;
    ok_ = false;
    std::ostringstream text;
    text << source_ << ":" << line << ": " << why;
    error_ = text.str();
  }
  void Warn(const std::string& why, int32_t line = 0) {
    if (!warnings_) return;
    std::ostringstream text;
    text << source_ << ":" << (line > 0 ? line : line_) << ": " << why;
    warnings_->push_back(text.str());
  }

  // Names given twice in one remote: one line for one, a single summary for many (generated
  // files repeat dozens of names).
  void WarnSecondNames() {
    if (second_names_.size() == 1) {
      Warn("a second button named '" + second_names_[0].second + "'", second_names_[0].first);
    } else if (!second_names_.empty()) {
      std::string names;
      constexpr size_t kShown = 5;
      for (size_t i = 0; i < second_names_.size() && i < kShown; ++i)
        names += (i > 0 ? ", '" : "'") + second_names_[i].second + "'";
      if (second_names_.size() > kShown)
        names += " and " + std::to_string(second_names_.size() - kShown) + " more";
      Warn(std::to_string(second_names_.size()) + " buttons named a second time in '" +
               current_.name + "' (each is kept, as LIRC does): " + names,
           second_names_[0].first);
    }
    second_names_.clear();
  }

  bool Number(std::string_view token, uint64_t* value) {
    if (ParseNumber(token, value)) return true;
    Fail(line_, "'" + std::string(token) + "' is no number");
    return false;
  }
  bool Count(std::string_view token, int32_t limit, int32_t* value) {
    uint64_t number = 0;
    if (!Number(token, &number)) return false;
    if (number > static_cast<uint64_t>(limit)) {
      Fail(line_, "'" + std::string(token) + "' is out of range");
      return false;
    }
    *value = static_cast<int32_t>(number);
    return true;
  }
  bool Period(std::string_view token, int32_t* value) {
    return Count(token, static_cast<int32_t>(kMaxPeriod), value);
  }

  void Line(const std::vector<std::string_view>& t) {
    if (t.empty()) return;
    // An indented comment; only a button may start with '#'.
    if (t[0][0] == '#' && state_ != State::kCodes) return;
    // A button may be called "End" or "Begin".
    const bool section_word =
        t.size() >= 2 && (Is(t[1], "remote") || Is(t[1], "codes") || Is(t[1], "raw_codes"));
    if ((Is(t[0], "begin") || Is(t[0], "end")) && (section_word || state_ != State::kCodes)) {
      if (t.size() < 2)
        Fail(line_, "'" + std::string(t[0]) + "' without a section");
      else
        Section(Is(t[0], "begin"), t[1]);
      return;
    }
    switch (state_) {
      case State::kOutside:
        if (Is(t[0], "include"))
          Warn("\"include\" is not followed");
        else
          Fail(line_, "'" + std::string(t[0]) + "' outside \"begin remote\"");
        return;
      case State::kRemote:
        Parameter(t);
        return;
      case State::kCodes:
        Code(t);
        return;
      case State::kRawCodes:
        RawCode(t);
        return;
    }
  }

  void Section(bool begin, std::string_view what) {
    const bool remote = Is(what, "remote");
    const bool codes = Is(what, "codes");
    const bool raw = Is(what, "raw_codes");
    if (!remote && !codes && !raw) {
      Fail(line_, "unknown section '" + std::string(what) + "'");
      return;
    }
    if (begin) {
      if (remote && state_ == State::kOutside) {
        state_ = State::kRemote;
        in_remote_line_ = line_;
        current_ = LircRemote{};
        current_.line = line_;
        codes_seen_ = false;
      } else if ((codes || raw) && state_ == State::kRemote && !codes_seen_) {
        state_ = codes ? State::kCodes : State::kRawCodes;
        codes_seen_ = true;
        if (raw) current_.flags |= kLircRawCodes;
      } else {
        Fail(line_, "\"begin " + std::string(what) + "\" is out of place");
      }
      return;
    }
    if (remote && state_ == State::kRemote) {
      EndRemote();
    } else if ((codes && state_ == State::kCodes) || (raw && state_ == State::kRawCodes)) {
      if (raw && !EndRawButton()) return;
      state_ = State::kRemote;
    } else {
      Fail(line_, "\"end " + std::string(what) + "\" is out of place");
    }
  }

  void EndRemote() {
    state_ = State::kOutside;
    current_.end_line = line_;
    WarnSecondNames();
    if (current_.name.empty()) {
      Fail(current_.line, "remote without a name");
      return;
    }
    for (const LircRemote& other : found_)
      if (other.name == current_.name) {
        Warn("a second remote named '" + current_.name + "'");
        break;
      }
    if (!current_.Raw() && current_.AllBits() > 64) {
      Fail(current_.line, "more than 64 bits in pre_data, code and post_data");
      return;
    }
    if (current_.toggle_bit > current_.AllBits()) {
      Fail(current_.line, "toggle_bit beyond the last bit");
      return;
    }
    found_.push_back(std::move(current_));
  }

  void Pair(const std::vector<std::string_view>& t, LircPair* pair) {
    if (t.size() != 3) {
      Fail(line_, "'" + std::string(t[0]) + "' needs a pulse and a space");
      return;
    }
    if (Period(t[1], &pair->pulse)) Period(t[2], &pair->space);
  }

  void Parameter(const std::vector<std::string_view>& t) {
    const std::string_view key = t[0];
    LircRemote& r = current_;
    struct PairKey {
      const char* name;
      LircPair* pair;
    };
    const PairKey pairs[] = {{"header", &r.header}, {"one", &r.one},     {"zero", &r.zero},
                             {"two", &r.two},       {"three", &r.three}, {"foot", &r.foot},
                             {"repeat", &r.repeat}, {"pre", &r.pre},     {"post", &r.post}};
    for (const PairKey& p : pairs)
      if (Is(key, p.name)) {
        Pair(t, p.pair);
        return;
      }
    if (Is(key, "flags")) {
      // "SPACE_ENC | CONST_LENGTH" is one value too.
      std::string joined;
      for (size_t i = 1; i < t.size(); ++i) joined += t[i];
      if (joined.empty()) {
        Fail(line_, "'flags' without a value");
        return;
      }
      Flags(joined);
      return;
    }
    if (t.size() < 2) {
      Fail(line_, "'" + std::string(key) + "' without a value");
      return;
    }
    if (Is(key, "name")) {
      r.name = std::string(t[1]);
      return;
    }
    for (const char* quiet : kQuietParameters)
      if (Is(key, quiet)) return;
    if (Is(key, "gap")) {
      // A second gap value is for remotes that alternate gaps; the first is the one sent.
      if (t.size() > 3) Fail(line_, "'gap' takes one or two values");
      Period(t[1], &r.gap);
      return;
    }
    if (t.size() != 2) {
      Fail(line_, "'" + std::string(key) + "' takes one value");
      return;
    }
    struct PeriodKey {
      const char* name;
      int32_t* value;
      int32_t limit;
    };
    const PeriodKey counts[] = {{"bits", &r.bits, 64},
                                {"pre_data_bits", &r.pre_data_bits, 64},
                                {"post_data_bits", &r.post_data_bits, 64},
                                {"eps", &r.eps, 100},
                                {"aeps", &r.aeps, static_cast<int32_t>(kMaxPeriod)},
                                {"plead", &r.plead, static_cast<int32_t>(kMaxPeriod)},
                                {"ptrail", &r.ptrail, static_cast<int32_t>(kMaxPeriod)},
                                {"repeat_gap", &r.repeat_gap, static_cast<int32_t>(kMaxPeriod)},
                                {"min_repeat", &r.min_repeat, 1000},
                                {"toggle_bit", &r.toggle_bit, 64},
                                {"repeat_bit", &r.toggle_bit, 64},
                                {"frequency", &r.frequency, 10000000}};
    for (const PeriodKey& c : counts)
      if (Is(key, c.name)) {
        Count(t[1], c.limit, c.value);
        return;
      }
    struct MaskKey {
      const char* name;
      uint64_t* value;
    };
    const MaskKey masks[] = {{"pre_data", &r.pre_data},
                             {"post_data", &r.post_data},
                             {"toggle_bit_mask", &r.toggle_bit_mask},
                             {"rc6_mask", &r.rc6_mask},
                             {"repeat_mask", &r.repeat_mask}};
    for (const MaskKey& m : masks)
      if (Is(key, m.name)) {
        Number(t[1], m.value);
        return;
      }
    Warn("unknown parameter '" + std::string(key) + "' ignored");
  }

  void Flags(std::string_view text) {
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find('|', start);
      if (end == std::string_view::npos) end = text.size();
      const std::string_view name = text.substr(start, end - start);
      bool known = false;
      for (const FlagName& f : kFlagNames)
        if (Is(name, f.name)) {
          current_.flags |= f.flag;
          known = true;
        }
      if (!known) Warn("unknown flag '" + std::string(name) + "' ignored");
      start = end + 1;
    }
  }

  bool NameTaken(std::string_view name) const {
    for (const LircButton& b : current_.buttons)
      if (b.name == name) return true;
    return false;
  }

  void Code(const std::vector<std::string_view>& t) {
    if (t.size() < 2) {
      Fail(line_, "button '" + std::string(t[0]) + "' without a code");
      return;
    }
    if (NameTaken(t[0])) second_names_.emplace_back(line_, std::string(t[0]));
    LircButton button;
    button.name = std::string(t[0]);
    button.line = line_;
    for (size_t i = 1; i < t.size(); ++i) {
      uint64_t code = 0;
      if (!Number(t[i], &code)) return;
      button.codes.push_back(code);
    }
    current_.buttons.push_back(std::move(button));
  }

  // The periods of a raw button run until the next "name" line.
  void RawCode(const std::vector<std::string_view>& t) {
    size_t i = 0;
    if (Is(t[0], "name")) {
      if (t.size() < 2) {
        Fail(line_, "'name' without a button name");
        return;
      }
      if (!EndRawButton()) return;
      if (NameTaken(t[1])) second_names_.emplace_back(line_, std::string(t[1]));
      LircButton button;
      button.name = std::string(t[1]);
      button.line = line_;
      current_.buttons.push_back(std::move(button));
      raw_open_ = true;
      i = 2;
    } else if (!raw_open_) {
      Fail(line_, "periods before the first 'name'");
      return;
    }
    for (; i < t.size(); ++i) {
      int32_t period = 0;
      if (!Period(t[i], &period)) return;
      if (period == 0) {
        Fail(line_, "a period of 0");
        return;
      }
      current_.buttons.back().raw.push_back(period);
    }
  }

  bool EndRawButton() {
    if (!raw_open_) return true;
    raw_open_ = false;
    const LircButton& button = current_.buttons.back();
    if (button.raw.size() % 2 == 0) {
      Fail(button.line, "button '" + button.name + "' does not end with a pulse");
      return false;
    }
    return true;
  }

  const std::string source_;
  std::vector<std::string>* warnings_;
  std::vector<std::pair<int32_t, std::string>> second_names_;  // line, name
  int32_t line_ = 0;
  bool ok_ = true;
  std::string error_;
  State state_ = State::kOutside;
  int32_t in_remote_line_ = 0;
  bool codes_seen_ = false;
  bool raw_open_ = false;
  LircRemote current_;
  std::vector<LircRemote> found_;
};

}  // namespace

std::string LircFlagsText(uint32_t flags) {
  std::string text;
  uint32_t written = 0;
  for (const FlagName& f : kFlagNames) {
    if ((flags & f.flag) == 0 || (written & f.flag) != 0) continue;
    if (!text.empty()) text += "|";
    text += f.name;
    written |= f.flag;
  }
  return text;
}

status_t ParseLircConfig(std::string_view text, std::string_view source,
                         std::vector<LircRemote>* remotes, std::vector<std::string>* warnings,
                         std::string* error) {
  const size_t earlier = warnings != nullptr ? warnings->size() : 0;
  Parser parser(source, warnings);
  const status_t status = parser.Run(text, remotes, error);
  // They quote the file's words, and are shown on terminals.
  if (warnings != nullptr)
    for (size_t i = earlier; i < warnings->size(); ++i)
      (*warnings)[i] = ShownSafely((*warnings)[i]);
  if (error != nullptr) *error = ShownSafely(*error);
  return status;
}

status_t ReadLircConfigFile(const std::string& path, std::vector<LircRemote>* remotes,
                            std::vector<std::string>* warnings, std::string* error) {
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) {
    if (error) *error = path + ": is a folder, not a remote configuration";
    return kBadType;
  }
  std::string text;
  const status_t status = ReadWholeFile(path, kMaxFileSize, &text);
  if (status == kBadValue) {
    if (error) *error = path + ": too large for a remote configuration";
    return status;
  }
  if (status == kBadType) {
    if (error) *error = path + ": not a regular file, pipe or FIFO";
    return status;
  }
  if (status != kOk) {
    if (error)
      *error = path + ": " + (status == kEntryNotFound ? "No such file" : StatusText(status));
    return status;
  }
  return ParseLircConfig(text, path, remotes, warnings, error);
}

}  // namespace koru
