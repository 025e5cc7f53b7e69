#include "platform/files/file_node.h"

#include "platform/files/safe_file.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace koru {

namespace {

using Bytes = std::vector<uint8_t>;

bool Unsupported(int error) {
  return error == ENOTSUP || error == EOPNOTSUPP;
}

std::string XattrName(std::string_view name) {
  return "user." + std::string(name);
}

// Sidecar: one line per attribute, "<hex of name> <hex of value>".
std::string Hex(const uint8_t* data, size_t size) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(size * 2);
  for (size_t i = 0; i < size; ++i) {
    text += kDigits[data[i] >> 4];
    text += kDigits[data[i] & 15];
  }
  return text;
}

bool Unhex(const std::string& text, Bytes* out) {
  if (text.size() % 2 != 0) return false;
  out->clear();
  for (size_t i = 0; i < text.size(); i += 2) {
    unsigned value = 0;
    if (std::sscanf(text.c_str() + i, "%2x", &value) != 1) return false;
    out->push_back(static_cast<uint8_t>(value));
  }
  return true;
}

// A sidecar holds a handful of short values; anything larger is not one of ours.
constexpr size_t kSidecarLimit = 1 << 20;

std::map<std::string, Bytes> LoadSidecar(const std::filesystem::path& path) {
  std::map<std::string, Bytes> attrs;
  std::string text;
  if (!ReadSmallRegularFile(path, kSidecarLimit, &text)) return attrs;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string name_hex, value_hex;
    Bytes name, value;
    if (!(fields >> name_hex)) continue;
    fields >> value_hex;  // an empty value has no second field
    if (!Unhex(name_hex, &name) || !Unhex(value_hex, &value)) continue;
    attrs[std::string(name.begin(), name.end())] = value;
  }
  return attrs;
}

status_t StoreSidecar(const std::filesystem::path& path,
                      const std::map<std::string, Bytes>& attrs) {
  std::string text;
  for (const auto& [name, value] : attrs) {
    text += Hex(reinterpret_cast<const uint8_t*>(name.data()), name.size()) + ' ' +
            Hex(value.data(), value.size()) + '\n';
  }
  return WriteFileSafely(path, text);
}

}  // namespace

// getxattr by path, or through the open descriptor when the node has one.
ssize_t FileNode::GetXattr(const char* name, void* buffer, size_t size) const {
  return fd_ >= 0 ? fgetxattr(fd_, name, buffer, size)
                  : getxattr(path_.c_str(), name, buffer, size);
}

FileNode::FileNode(std::filesystem::path path) : path_(std::move(path)) {}

std::filesystem::path FileNode::SidecarPath() const {
  return SidecarOf(path_);
}

std::filesystem::path FileNode::SidecarOf(const std::filesystem::path& path) {
  return path.parent_path() / ("." + path.filename().string() + ".koru-attr");
}

status_t FileNode::MoveSidecar(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::error_code error;
  const auto status = std::filesystem::symlink_status(SidecarOf(from), error);
  if (!std::filesystem::exists(status)) return kOk;
  if (!std::filesystem::is_regular_file(status)) return kNotAllowed;
  std::filesystem::rename(SidecarOf(from), SidecarOf(to), error);
  return error ? StatusFromErrno(error.value()) : kOk;
}

status_t FileNode::InitCheck() const {
  std::error_code error;
  return std::filesystem::exists(path_, error) ? kOk : kEntryNotFound;
}

ssize_t FileNode::ReadAttr(std::string_view name, type_code /*type*/, int64_t offset, void* buffer,
                           size_t size) {
  if (offset != 0) return kBadValue;
  if (!sidecar_only_) {
    const std::string xname = XattrName(name);
    // Most values are a few bytes: one call reads them (a folder scan reads one per file).
    char small[256];
    const ssize_t first = GetXattr(xname.c_str(), small, sizeof small);
    if (first >= 0) {
      const size_t copied = std::min(static_cast<size_t>(first), size);
      if (copied > 0) std::memcpy(buffer, small, copied);
      return static_cast<ssize_t>(copied);
    }
    if (errno == ENOENT) return kEntryNotFound;
    if (errno != ERANGE && errno != ENODATA && !Unsupported(errno)) return StatusFromErrno(errno);
    // A longer value: read it whole, then cut.
    for (int attempt = 0; errno == ERANGE && attempt < 4; ++attempt) {
      const ssize_t length = GetXattr(xname.c_str(), nullptr, 0);
      if (length < 0) {
        if (errno == ENODATA) break;  // maybe in the sidecar (a copy from another file system)
        if (Unsupported(errno)) break;
        return StatusFromErrno(errno);
      }
      Bytes value(static_cast<size_t>(length));
      const ssize_t got = GetXattr(xname.c_str(), value.data(), value.size());
      if (got < 0) {
        if (errno == ERANGE) continue;  // it grew between the two calls
        return StatusFromErrno(errno);
      }
      const size_t copied = std::min(static_cast<size_t>(got), size);
      if (copied > 0) std::memcpy(buffer, value.data(), copied);
      return static_cast<ssize_t>(copied);
    }
  }
  if (InitCheck() != kOk) return kEntryNotFound;
  const auto attrs = LoadSidecar(SidecarPath());
  const auto it = attrs.find(std::string(name));
  if (it == attrs.end()) return kEntryNotFound;
  const size_t copied = std::min(it->second.size(), size);
  if (copied > 0) std::memcpy(buffer, it->second.data(), copied);
  return static_cast<ssize_t>(copied);
}

ssize_t FileNode::WriteAttr(std::string_view name, type_code /*type*/, int64_t offset,
                            const void* buffer, size_t size) {
  if (offset != 0) return kBadValue;
  if (buffer == nullptr && size > 0) return kBadValue;
  if (InitCheck() != kOk) return kEntryNotFound;
  if (!sidecar_only_) {
    if (setxattr(path_.c_str(), XattrName(name).c_str(), buffer, size, 0) == 0) {
      return static_cast<ssize_t>(size);
    }
    if (!Unsupported(errno)) return StatusFromErrno(errno);
  }
  auto attrs = LoadSidecar(SidecarPath());
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  attrs[std::string(name)] = Bytes(bytes, bytes + size);
  const status_t status = StoreSidecar(SidecarPath(), attrs);
  return status == kOk ? static_cast<ssize_t>(size) : status;
}

status_t FileNode::RemoveAttr(std::string_view name) {
  if (InitCheck() != kOk) return kEntryNotFound;
  bool removed = false;
  if (!sidecar_only_) {
    if (removexattr(path_.c_str(), XattrName(name).c_str()) == 0) {
      removed = true;
    } else if (errno != ENODATA && !Unsupported(errno)) {
      return StatusFromErrno(errno);
    }
  }
  std::error_code error;
  if (std::filesystem::exists(SidecarPath(), error)) {
    auto attrs = LoadSidecar(SidecarPath());
    if (attrs.erase(std::string(name)) > 0) {
      removed = true;
      if (const status_t status = StoreSidecar(SidecarPath(), attrs); status != kOk) return status;
    }
  }
  return removed ? kOk : kEntryNotFound;
}

}  // namespace koru
