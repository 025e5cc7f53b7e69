#pragma once
// Attributes of a real file: Linux extended attributes "user.<name>"; on a file system that
// refuses them, a hidden sidecar file beside the file ("." + name + ".koru-attr").
#include <filesystem>

#include "platform/files/attribute_node.h"

namespace koru {

class FileNode : public AttributeNode {
 public:
  explicit FileNode(std::filesystem::path path);

  status_t InitCheck() const override;
  ssize_t ReadAttr(std::string_view name, type_code type, int64_t offset, void* buffer,
                   size_t size) override;
  ssize_t WriteAttr(std::string_view name, type_code type, int64_t offset, const void* buffer,
                    size_t size) override;
  status_t RemoveAttr(std::string_view name) override;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path SidecarPath() const;
  static std::filesystem::path SidecarOf(const std::filesystem::path& path);
  // Moves the sidecar of `from`, if it has one, to be the sidecar of `to` (a file about to be
  // renamed over `to` takes its attributes along).
  static status_t MoveSidecar(const std::filesystem::path& from, const std::filesystem::path& to);
  // Reads extended attributes through `fd`, an open descriptor of the same file that the
  // caller keeps open while it uses the node.
  void ReadThrough(int fd) { fd_ = fd; }
  // Forces the sidecar (tests of file systems without extended attributes).
  void UseSidecarOnly(bool only) { sidecar_only_ = only; }

 private:
  ssize_t GetXattr(const char* name, void* buffer, size_t size) const;
  std::filesystem::path path_;
  bool sidecar_only_ = false;
  int fd_ = -1;
};

}  // namespace koru
