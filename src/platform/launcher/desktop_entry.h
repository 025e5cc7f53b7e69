#pragma once
// Desktop entries (*.desktop files): finding one by id and turning its Exec line into an
// argument vector, the way a desktop starts an application (no shell involved).
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace koru {

// The file of a desktop-file id in $XDG_DATA_HOME/applications, then each of $XDG_DATA_DIRS
// (default /usr/local/share:/usr/share); "a-b.desktop" may also live at "a/b.desktop".
std::optional<std::filesystem::path> FindDesktopEntry(std::string_view id);

// The value of "Exec" in the [Desktop Entry] group, or nothing.
std::optional<std::string> ReadDesktopExec(const std::filesystem::path& file);

// Splits an Exec value into arguments: double-quoted arguments with \" \` \$ \\ escapes,
// %f/%u take the first of `files`, %F/%U all of them (each as one argument), %% is a percent
// sign, other field codes vanish. When the line has no file field code, `files` are appended.
// Empty when the line is malformed (unterminated quote).
std::vector<std::string> ExpandDesktopExec(std::string_view exec,
                                           const std::vector<std::string>& files);

}  // namespace koru
