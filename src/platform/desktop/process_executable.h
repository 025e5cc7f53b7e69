#pragma once
// The file name of a running process's executable, for naming applications that give no class.
#include <cstdint>
#include <string>

namespace koru {

// Empty when the process is gone or not ours to read.
std::string ProcessExecutableName(int32_t pid);

}  // namespace koru
