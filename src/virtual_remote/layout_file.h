#pragma once
// Layout files: where the user put each button of the virtual remote. Plain text in the remote
// folder, one line per button ("[ 5],  10 , 96 ,(N5)"), marked with "KORU_TYPE" 3; the file
// name is the layout's name.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/messaging/status.h"

namespace koru {

struct LayoutPlace {
  int slot = 0;
  int x = 0;
  int y = 0;
  std::string label;  // written for the reader's sake; never read back
};

// The file text for the given buttons, in the order given (the board writes slots 0..71).
std::string FormatLayoutFile(const std::vector<LayoutPlace>& places);

// The places a layout text sets, in file order. Reading ends at the first line whose slot lies
// outside 0..71, so a damaged tail never moves anything; the labels are not read.
std::vector<LayoutPlace> ParseLayoutFile(std::string_view text);

// Writes the file safely and marks it "KORU_TYPE" 3; the old file stays when writing fails.
status_t WriteLayoutFile(const std::filesystem::path& path, const std::vector<LayoutPlace>& places);

// Names of the layout files in a folder (regular files whose "KORU_TYPE" is 3), sorted.
std::vector<std::string> ScanLayoutFileNames(const std::filesystem::path& folder);

}  // namespace koru
