#include "platform/desktop/signature_table.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "platform/files/paths.h"
#include "platform/messaging/trace.h"

namespace koru {

namespace {

constexpr std::string_view kMprisPrefix = "org.mpris.MediaPlayer2.";

std::string Lower(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return result;
}

std::vector<std::string> SplitList(std::string_view text) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) comma = text.size();
    if (comma > start) items.emplace_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  return items;
}

// The next word of `line` from `*at` on (empty at the line's end), as a stream reads words: runs
// of characters between white space.
std::string_view NextWord(std::string_view line, size_t* at) {
  auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  size_t start = *at;
  while (start < line.size() && space(line[start])) ++start;
  size_t end = start;
  while (end < line.size() && !space(line[end])) ++end;
  *at = end;
  return line.substr(start, end - start);
}

}  // namespace

SignatureTable SignatureTable::Parse(std::string_view text) {
  // Read at every start: words are cut from the text in place, without a stream per line.
  SignatureTable table;
  int line_number = 0;
  size_t line_start = 0;
  while (line_start < text.size()) {
    size_t line_end = text.find('\n', line_start);
    if (line_end == std::string_view::npos) line_end = text.size();
    const std::string_view line = text.substr(line_start, line_end - line_start);
    line_start = line_end + 1;
    ++line_number;
    size_t at = 0;
    std::string_view signature = NextWord(line, &at);
    if (signature.empty() || signature[0] == ';' || signature[0] == '#') continue;
    SignatureEntry entry;
    entry.signature = signature;
    bool good = true;
    for (std::string_view word = NextWord(line, &at); !word.empty(); word = NextWord(line, &at)) {
      const size_t equals = word.find('=');
      const std::string_view key = word.substr(0, equals);
      const std::vector<std::string> values = equals == std::string_view::npos
                                                  ? std::vector<std::string>{}
                                                  : SplitList(word.substr(equals + 1));
      if (key == "wmclass") {
        entry.wm_classes.insert(entry.wm_classes.end(), values.begin(), values.end());
      } else if (key == "mpris") {
        entry.mpris_names.insert(entry.mpris_names.end(), values.begin(), values.end());
      } else if (key == "desktop") {
        entry.desktop_ids.insert(entry.desktop_ids.end(), values.begin(), values.end());
      } else {
        good = false;
      }
    }
    if (!good) {
      Trace("signatures.conf: line %d not understood: %s\n", line_number,
            std::string(line).c_str());
      continue;
    }
    table.Add(std::move(entry));
  }
  return table;
}

SignatureTable SignatureTable::Load() {
  SignatureTable table = Parse(BuiltInText());
  std::ifstream user(SettingsFolder() / "signatures.conf");
  if (user) {
    std::stringstream text;
    text << user.rdbuf();
    table.Merge(Parse(text.str()));
  }
  return table;
}

void SignatureTable::Merge(const SignatureTable& other) {
  for (const SignatureEntry& entry : other.entries_) Add(entry);
}

void SignatureTable::Add(SignatureEntry entry) {
  auto same = std::find_if(entries_.begin(), entries_.end(),
                           [&](const SignatureEntry& e) { return e.signature == entry.signature; });
  if (same != entries_.end())
    *same = std::move(entry);
  else
    entries_.push_back(std::move(entry));
}

const SignatureEntry* SignatureTable::Find(std::string_view signature) const {
  for (const SignatureEntry& entry : entries_) {
    if (entry.signature == signature) return &entry;
  }
  return nullptr;
}

std::string SignatureTable::SignatureForWindowClass(std::string_view instance,
                                                    std::string_view klass) const {
  std::string lower_instance = Lower(instance);
  std::string lower_class = Lower(klass);
  for (const SignatureEntry& entry : entries_) {
    for (const std::string& name : entry.wm_classes) {
      std::string lower_name = Lower(name);
      if (lower_name == lower_instance || lower_name == lower_class) return entry.signature;
    }
  }
  return "application/x-vnd.linux-" + (lower_class.empty() ? lower_instance : lower_class);
}

bool SignatureTable::BusNameMatches(const SignatureEntry& entry, std::string_view bus_name) {
  if (!bus_name.starts_with(kMprisPrefix)) return false;
  std::string_view rest = bus_name.substr(kMprisPrefix.size());
  for (const std::string& name : entry.mpris_names) {
    if (rest == name) return true;
    if (rest.size() > name.size() && rest.starts_with(name) && rest[name.size()] == '.') {
      return true;
    }
  }
  return false;
}

std::string SignatureTable::SignatureForMprisBusName(std::string_view bus_name) const {
  for (const SignatureEntry& entry : entries_) {
    if (BusNameMatches(entry, bus_name)) return entry.signature;
  }
  return {};
}

}  // namespace koru
