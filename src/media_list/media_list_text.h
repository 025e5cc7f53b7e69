#pragma once
// The media list file's text: one path per line between ';' comment lines.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace koru {

// Where the list lives as stored ("/boot/home" stands for the user's home folder).
inline constexpr const char* kMediaListStoredPath = "/boot/home/_koru_media_list";

// The list file on this machine: $HOME/_koru_media_list.
std::filesystem::path MediaListFile();

// The entries of a list file's text: every line not starting with ';' or '#', with carriage
// returns and line feeds removed. Lines are read whole, so a long path stays one entry; a line
// left empty names no file and is skipped.
std::vector<std::string> ParseMediaList(std::string_view text);

// The written form: three header lines, one line per entry, the closing line.
std::string FormatMediaList(const std::vector<std::string>& entries);

// `text` without carriage returns and line feeds.
std::string WithoutLineBreaks(std::string_view text);

}  // namespace koru
