#include "virtual_remote/layout_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/files/file_node.h"
#include "platform/files/koru_type.h"

namespace koru {

namespace {

// The file is read in pieces of at most this many characters, as lines always were.
constexpr size_t kReadPiece = 255;

// One piece of the file as it is read: a line, or the part of an over-long line that fits.
void ParseLine(std::string_view raw, std::vector<LayoutPlace>* places, bool* stop) {
  if (raw.empty() || raw[0] == ';') return;
  std::string line;
  for (char c : raw) {
    if (c != '\n' && c != '\t') line += c;
  }
  if (line.empty() || line[0] != '[') return;
  const long slot = std::strtol(line.c_str() + 1, nullptr, 10);
  if (slot < 0 || slot > 71) {
    *stop = true;
    return;
  }
  const size_t first = line.find(',');
  // Lines whose first comma comes too early were never written by KORU: skipped.
  if (first == std::string::npos || first < 4) return;
  const long x = std::strtol(line.c_str() + first + 1, nullptr, 10);
  const size_t second = line.find(',', first + 2);
  if (second == std::string::npos || second < 6) return;
  const long y = std::strtol(line.c_str() + second + 1, nullptr, 10);
  places->push_back(
      LayoutPlace{static_cast<int>(slot), static_cast<int>(x), static_cast<int>(y), std::string()});
}

}  // namespace

std::string FormatLayoutFile(const std::vector<LayoutPlace>& places) {
  std::string text = "; - \n; - KORU / LAYOUT-FILE \n; - \n";
  for (const LayoutPlace& place : places) {
    char line[64];
    std::snprintf(line, sizeof line, "[%2ld], %3.0f ,%3.0f ,(", static_cast<long>(place.slot),
                  static_cast<double>(place.x), static_cast<double>(place.y));
    text += line;
    text += place.label;
    text += ")\n";
  }
  text += "; - \n";
  return text;
}

std::vector<LayoutPlace> ParseLayoutFile(std::string_view text) {
  std::vector<LayoutPlace> places;
  bool stop = false;
  size_t at = 0;
  while (at < text.size() && !stop) {
    const size_t end = text.find('\n', at);
    const size_t line_end = end == std::string_view::npos ? text.size() : end + 1;
    const size_t piece = std::min(line_end - at, kReadPiece);
    ParseLine(text.substr(at, piece), &places, &stop);
    at += piece;
  }
  return places;
}

status_t WriteLayoutFile(const std::filesystem::path& path,
                         const std::vector<LayoutPlace>& places) {
  return WriteKoruFile(path, FormatLayoutFile(places), kKoruLayoutFile);
}

std::vector<std::string> ScanLayoutFileNames(const std::filesystem::path& folder) {
  return ScanKoruFiles(folder, kKoruLayoutFile);
}

}  // namespace koru
