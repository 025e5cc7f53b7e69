#pragma once
// Writes a whole file through a temporary file in the same folder renamed over the old one, so
// a failed or interrupted write never loses the old file.
#include <filesystem>
#include <string_view>

#include "platform/status.h"

status_t WriteFileSafely(const std::filesystem::path& path, std::string_view contents);

// True when `name` can be a file name inside a folder: not empty, not "." or "..", no '/'
// and no zero byte.
bool IsSafeFileName(std::string_view name);
