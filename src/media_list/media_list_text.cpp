#include "media_list/media_list_text.h"

#include "platform/files/paths.h"

namespace koru {

std::filesystem::path MediaListFile() {
  return MapStoredPath(kMediaListStoredPath);
}

std::string WithoutLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != '\r' && c != '\n') out.push_back(c);
  }
  return out;
}

std::vector<std::string> ParseMediaList(std::string_view text) {
  std::vector<std::string> entries;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && (line.front() == ';' || line.front() == '#')) continue;
    std::string path = WithoutLineBreaks(line);
    if (!path.empty()) entries.push_back(std::move(path));
  }
  return entries;
}

std::string FormatMediaList(const std::vector<std::string>& entries) {
  std::string text = "; - \n; - KORU / MEDIA-FILES \n; - \n";
  for (const std::string& entry : entries) text += entry + "\n";
  text += "; - \n";
  return text;
}

}  // namespace koru
