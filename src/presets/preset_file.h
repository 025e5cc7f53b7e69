#pragma once
// Preset files: the targets of the numeric keys 0..9 for each remote group, fifty bindings per
// file, kept in the remote folder and marked with "KORU_TYPE" 5.
#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/messaging/status.h"

namespace koru {

inline constexpr int kPresetSlots = 51;  // slot 50 exists but is never shown, written or run
inline constexpr size_t kPresetLineLimit = 255;  // characters of one file line, line feed included
using PresetList = std::array<std::string, kPresetSlots>;

// 51 slots of "-unset-".
PresetList NewPresetList();

// "[D3]: " for slot 13: the group letter (N, D, P, A, V) and the digit.
std::string PresetSlotLabel(int slot);

// Parses one file line; false when the line sets nothing (comment, slot outside 0..50, no
// value). A line with no closing quote sets nothing, except "''", which is an empty value.
bool ParsePresetLine(std::string_view line, int* slot, std::string* value);

// Why `value` cannot be stored in `slot` (a quote or line break, or a line over the line
// limit), or "" when it can.
std::string PresetValueProblem(int slot, std::string_view value);

// Reads a preset file into `list` (slots the file does not name keep their values); the number
// of lines that set a slot, or -1 when the file cannot be opened. Lines longer than the line
// limit were never written by KORU and are ignored whole.
int ReadPresetFile(const std::filesystem::path& path, PresetList* list);

// The file text for a list; a value whose line would not fit the line limit is left out (and
// traced) so that it can never be read back cut into pieces.
std::string FormatPresetFile(const PresetList& list);

// Writes the file safely and marks it "KORU_TYPE" 5.
status_t WritePresetFile(const std::filesystem::path& path, const PresetList& list);

// Names of the preset files in a folder, in directory order (regular files, not links, whose
// "KORU_TYPE" is 5).
std::vector<std::string> ScanPresetFiles(const std::filesystem::path& folder);

}  // namespace koru
