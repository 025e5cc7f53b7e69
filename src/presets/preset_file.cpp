#include "presets/preset_file.h"

#include <cctype>
#include <cstdint>
#include <fstream>

#include "platform/files/file_node.h"
#include "platform/files/koru_type.h"
#include "platform/messaging/trace.h"
#include "settings/label_ids.h"
#include "settings/label_table.h"

namespace koru {

namespace {

constexpr const char* kSections[5] = {
    "by unset-splitting:", "DT_Remote set  0-9:", "AP_Remote set  0-9:", "AU_Remote set  0-9:",
    "VI_Remote set  0-9:"};

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// The optionally signed decimal number at the start of `text` after white space; 0 without
// digits. Saturates instead of overflowing.
int64_t LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t number = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    if (number < 1000000000000) number = number * 10 + (text[i] - '0');
  }
  return negative ? -number : number;
}

}  // namespace

PresetList NewPresetList() {
  PresetList list;
  list.fill(getLabel(kLabelUnset));
  return list;
}

std::string PresetSlotLabel(int slot) {
  const char letter = slot < 10 ? 'N' : slot < 20 ? 'D' : slot < 30 ? 'P' : slot < 40 ? 'A' : 'V';
  return std::string("[") + letter + static_cast<char>('0' + slot % 10) + "]: ";
}

bool ParsePresetLine(std::string_view line, int* slot, std::string* value) {
  if (line.empty() || line[0] == ';' || line[0] == '#') return false;
  if (line.size() < 2) return false;
  int64_t number = LeadingNumber(line.substr(2));
  switch (line[1]) {
    case 'D':
      number += 10;
      break;
    case 'P':
      number += 20;
      break;
    case 'A':
      number += 30;
      break;
    case 'V':
      number += 40;
      break;
    default:
      break;
  }
  if (number < 0 || number >= kPresetSlots) return false;
  const size_t open = line.find('\'');
  if (open == std::string_view::npos) return false;
  // The closing quote is searched from the second character after the opening one.
  const size_t close = open + 2 <= line.size() ? line.find('\'', open + 2) : std::string_view::npos;
  if (close == std::string_view::npos) {
    // Only an empty value ('') has no closing quote of its own; anything else is a broken line.
    if (open + 1 < line.size() && line[open + 1] == '\'') {
      *slot = static_cast<int>(number);
      value->clear();
      return true;
    }
    return false;
  }
  *slot = static_cast<int>(number);
  *value = std::string(line.substr(open + 1, close - open - 1));
  return true;
}

int ReadPresetFile(const std::filesystem::path& path, PresetList* list) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return -1;
  int used = 0;
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() + 1 > kPresetLineLimit) continue;
    int slot = 0;
    std::string value;
    if (ParsePresetLine(line, &slot, &value)) {
      (*list)[slot] = value;
      ++used;
    }
  }
  return used;
}

std::string PresetValueProblem(int slot, std::string_view value) {
  if (value.find('\'') != std::string_view::npos)
    return "it holds a quote ('), which would end the value in the preset file";
  if (value.find('\n') != std::string_view::npos)
    return "it holds a line break, which would end the line in the preset file";
  // The line: label, two quotes, two blanks and the line feed around the value.
  const size_t longest = kPresetLineLimit - PresetSlotLabel(slot).size() - 5;
  if (value.size() > longest) {
    return "it is " + std::to_string(value.size()) + " characters long; a preset holds " +
           std::to_string(longest) + " at most";
  }
  return "";
}

std::string FormatPresetFile(const PresetList& list) {
  std::string text =
      "; ----------------------\n"
      "; -- KORU numpad-preset: \n"
      ";----------------------\n";
  for (int group = 0; group < 5; ++group) {
    if (group > 0) text += "; --  \n";
    text += std::string("; -- ") + kSections[group] + "\n";
    for (int slot = group * 10; slot < group * 10 + 10; ++slot) {
      const std::string& value = list[slot];
      if (StartsWith(value, getLabel(kLabelUnset))) continue;
      if (!PresetValueProblem(slot, value).empty()) {
        Trace("preset %s not written: too long or holds a quote or line break\n",
              PresetSlotLabel(slot).c_str());
        continue;
      }
      text += PresetSlotLabel(slot) + "'" + value + "'  \n";
    }
  }
  text += "; --\n";
  return text;
}

status_t WritePresetFile(const std::filesystem::path& path, const PresetList& list) {
  return WriteKoruFile(path, FormatPresetFile(list), kKoruPresetFile);
}

std::vector<std::string> ScanPresetFiles(const std::filesystem::path& folder) {
  return ScanKoruFiles(folder, kKoruPresetFile);
}

}  // namespace koru
