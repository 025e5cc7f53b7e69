#include "platform/files/data_folder.h"

#include <system_error>

namespace koru {

namespace {

// Set by the build: the data folder relative to the installed program's folder, and the source
// tree's data folder.
constexpr const char* kInstalledRelative = KORU_INSTALLED_DATA_RELATIVE;
constexpr const char* kSourceData = KORU_SOURCE_DATA_DIR;

bool HoldsData(const std::filesystem::path& folder) {
  std::error_code error;
  return std::filesystem::is_regular_file(folder / "signatures.conf", error);
}

}  // namespace

std::filesystem::path DataFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    const std::filesystem::path installed =
        (program.parent_path() / kInstalledRelative).lexically_normal();
    if (HoldsData(installed)) return installed;
  }
  return kSourceData;
}

std::filesystem::path FindDataFile(const std::filesystem::path& name) {
  std::error_code error;
  if (name.empty() || std::filesystem::exists(name, error)) return name;
  if (name.is_relative()) {
    const std::filesystem::path shipped = DataFolder() / name;
    if (std::filesystem::exists(shipped, error)) return shipped;
  }
  return name;
}

}  // namespace koru
