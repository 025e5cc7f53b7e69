#pragma once
// Test cases kept in a data file, in sections: a section opens with a line that starts with
// `marker` (its rest names the case or holds what is expected) and holds the lines up to the
// next such line. Lines before the first section are comments.
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "test_files.h"

namespace koru {

// The sections of the file at `path`: the rest of each marker line, and the text after it.
inline std::vector<std::pair<std::string, std::string>> ReadSections(const std::string& path,
                                                                     const std::string& marker) {
  std::istringstream in(ReadAll(path));
  std::vector<std::pair<std::string, std::string>> sections;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with(marker))
      sections.push_back({line.substr(marker.size()), ""});
    else if (!sections.empty())
      sections.back().second += line + "\n";
  }
  return sections;
}

}  // namespace koru
