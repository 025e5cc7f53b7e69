#pragma once
// One private folder per fuzz process for targets whose parser reads a file, and a quiet trace.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/messaging/trace.h"
#include "remotes/remote_definition.h"

namespace koru {

inline const std::filesystem::path& FuzzFolder() {
  static const std::filesystem::path folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "koru-fuzz-XXXXXX").string();
    const char* made = mkdtemp(pattern.data());
    if (made == nullptr) std::abort();
    return std::filesystem::path(made);
  }();
  return folder;
}

inline std::filesystem::path WriteFuzzFile(const std::string& name, const uint8_t* data,
                                           size_t size) {
  const std::filesystem::path path = FuzzFolder() / name;
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return path;
}

// The trace would print every parsed line; a fuzz run reads millions.
inline void QuietTrace() {
  static TraceCapture* capture = new TraceCapture;  // lives for the whole run
  capture->Clear();
}

}  // namespace koru
