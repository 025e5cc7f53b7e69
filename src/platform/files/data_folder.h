#pragma once
// The folder of the files KORU ships (the signature table, the demo recording): share/koru
// beside the installed program, else the source tree's data folder for a program run from its
// build folder.
#include <filesystem>

namespace koru {

std::filesystem::path DataFolder();

// `name` as it is when such a file exists, else the file of that name in the data folder when
// that one exists, else `name` unchanged (so that the caller reports the name it was given).
std::filesystem::path FindDataFile(const std::filesystem::path& name);

}  // namespace koru
