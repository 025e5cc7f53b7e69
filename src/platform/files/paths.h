#pragma once
// Where KORU keeps its files on Linux.
#include <filesystem>
#include <string>
#include <string_view>

namespace koru {

// The program folder ("_Remotes_", "Language/Dictionaries", ...): the folder set for this run,
// else $KORU_HOME, else $XDG_DATA_HOME/koru, else ~/.local/share/koru.
std::filesystem::path ProgramFolder();
// Overrides the program folder for this run (--home); empty restores the default.
void SetProgramFolder(const std::filesystem::path& folder);

// The user settings folder: $XDG_CONFIG_HOME, else ~/.config.
std::filesystem::path SettingsFolder();

// The user's home: $HOME, else the password database's entry.
std::filesystem::path HomeFolder();

// A stored path as a Linux path: "/boot/home" and "/boot/home/..." map into the home folder;
// anything else stays as it is.
std::string MapStoredPath(std::string_view stored);

}  // namespace koru
