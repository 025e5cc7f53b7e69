#include "lirc/kernel_keymap.h"

#include <fstream>
#include <optional>
#include <sstream>

namespace koru {

namespace {

constexpr size_t kMaxFileSize = 1 << 20;

void SkipBlanks(std::string_view* text) {
  while (!text->empty() && (text->front() == ' ' || text->front() == '\t')) text->remove_prefix(1);
}

// A basic or literal string at the start of `text` (escapes of basic strings: \" \\ only, the
// keymaps need no others); the text after it is left in `text`.
std::optional<std::string> QuotedString(std::string_view* text) {
  if (text->empty() || (text->front() != '"' && text->front() != '\'')) return std::nullopt;
  const char quote = text->front();
  std::string value;
  for (size_t i = 1; i < text->size(); ++i) {
    const char c = (*text)[i];
    if (c == quote) {
      text->remove_prefix(i + 1);
      return value;
    }
    if (c == '\\' && quote == '"' && i + 1 < text->size())
      value += (*text)[++i];
    else
      value += c;
  }
  return std::nullopt;
}

std::optional<uint64_t> Integer(std::string_view word) {
  if (!word.empty() && word.front() == '+') word.remove_prefix(1);
  int base = 10;
  if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) base = 16;
  if (word.size() > 2 && word[0] == '0' && word[1] == 'o') base = 8;
  if (word.size() > 2 && word[0] == '0' && word[1] == 'b') base = 2;
  if (base != 10) word.remove_prefix(2);
  if (word.empty()) return std::nullopt;
  uint64_t value = 0;
  bool digit_before = false;
  for (const char c : word) {
    if (c == '_' && digit_before) {
      digit_before = false;
      continue;
    }
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0 || digit >= base || value > (UINT64_MAX - digit) / base) return std::nullopt;
    value = value * base + static_cast<uint64_t>(digit);
    digit_before = true;
  }
  if (!digit_before) return std::nullopt;
  return value;
}

// The text up to a comment or the end, without trailing blanks.
std::string_view BeforeComment(std::string_view text) {
  SkipBlanks(&text);
  if (!text.empty() && text.front() == '#') return {};
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

}  // namespace

bool ParseKernelKeymaps(std::string_view text, std::vector<KernelKeymap>* keymaps,
                        std::string* message) {
  enum class Table { kNone, kProtocol, kScancodes, kOther } table = Table::kNone;
  size_t number = 0;
  const auto fail = [&](const std::string& why) {
    *message = "line " + std::to_string(number) + ": " + why;
    return false;
  };
  while (!text.empty()) {
    ++number;
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    SkipBlanks(&line);
    if (line.empty() || line.front() == '#' || line.front() == '\r') continue;
    if (line.front() == '[') {
      const std::string_view header = BeforeComment(line);
      if (header == "[[protocols]]") {
        keymaps->emplace_back();
        table = Table::kProtocol;
      } else if (header == "[protocols.scancodes]") {
        if (keymaps->empty()) return fail("scancodes before any [[protocols]]");
        table = Table::kScancodes;
      } else if (header.size() > 2 && header.back() == ']') {
        table = Table::kOther;  // tables no keymap needs are passed over
      } else {
        return fail("not a table header");
      }
      continue;
    }
    // key = value
    std::string key;
    if (std::optional<std::string> quoted = QuotedString(&line)) {
      key = *quoted;
    } else {
      const size_t stop = line.find_first_of(" \t=");
      key = std::string(line.substr(0, stop));
      line.remove_prefix(stop == std::string_view::npos ? line.size() : stop);
    }
    SkipBlanks(&line);
    if (key.empty() || line.empty() || line.front() != '=') return fail("not a key = value line");
    line.remove_prefix(1);
    SkipBlanks(&line);
    std::optional<std::string> string_value = QuotedString(&line);
    std::optional<uint64_t> integer_value;
    if (!string_value) {
      const std::string_view word = line.substr(0, line.find_first_of(" \t#\r"));
      integer_value = Integer(word);
      if (!integer_value)
        return fail("the value of '" + key + "' is neither a string nor a number");
      line.remove_prefix(word.size());
    }
    if (!BeforeComment(line).empty()) return fail("text after the value of '" + key + "'");
    if (table == Table::kNone) return fail("'" + key + "' outside [[protocols]]");
    if (table == Table::kOther) continue;
    KernelKeymap& keymap = keymaps->back();
    if (table == Table::kScancodes) {
      const std::optional<uint64_t> scancode = Integer(key);
      if (!scancode) return fail("the scancode '" + key + "' is no number");
      if (!string_value) return fail("the key of scancode '" + key + "' is no name");
      keymap.scancodes.emplace_back(*scancode, *string_value);
    } else if (key == "name" || key == "protocol" || key == "variant") {
      if (!string_value) return fail("'" + key + "' is no string");
      (key == "name"       ? keymap.name
       : key == "protocol" ? keymap.protocol
                           : keymap.variant) = *string_value;
    }  // the parameters of the kernel's programmable decoders are not needed
  }
  return true;
}

status_t ReadKernelKeymapFile(const std::string& path, std::vector<KernelKeymap>* keymaps,
                              std::string* message) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    *message = path + ": cannot be read";
    return kEntryNotFound;
  }
  std::ostringstream content;
  content << file.rdbuf();
  const std::string text = content.str();
  if (text.size() > kMaxFileSize) {
    *message = path + ": too large for a keymap";
    return kBadValue;
  }
  std::string why;
  if (!ParseKernelKeymaps(text, keymaps, &why)) {
    *message = path + ": " + why;
    return kBadValue;
  }
  return kOk;
}

}  // namespace koru
