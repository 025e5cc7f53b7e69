#pragma once
// One folder listed once and its files opened by name relative to it. A scan of thousands of
// files then walks one path component per file instead of the whole path, and reads a file's
// attributes and contents through one open descriptor.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/files/file_node.h"

namespace koru {

class FolderReader {
 public:
  enum class EntryType { kRegular, kLink, kOther };
  struct Entry {
    std::string name;
    EntryType type;
  };

  // Opens and lists `folder`; a folder that cannot be read has no entries.
  explicit FolderReader(std::filesystem::path folder);
  ~FolderReader();
  FolderReader(const FolderReader&) = delete;
  FolderReader& operator=(const FolderReader&) = delete;

  const std::filesystem::path& Folder() const { return folder_; }
  // The system's real time (ns since the epoch) just before the listing: a file changed later
  // has a later change time, give or take the file system's time grain.
  int64_t ListedAtNs() const { return listed_at_ns_; }
  // Every entry but "." and "..", in the order the folder lists them.
  const std::vector<Entry>& Entries() const { return entries_; }
  bool Has(const std::string& name) const;

  // What tells one state of a file from another without reading it: any write of its contents
  // or attributes, a rename over it or a new file in its place changes one of these.
  struct Stamp {
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modified_ns = 0;
    int64_t changed_ns = 0;  // contents, attributes or name: not settable by the user
    bool operator==(const Stamp&) const = default;
  };
  // The stamp of the entry `name` itself (a link is not followed); nothing when it is gone.
  std::optional<Stamp> StampOf(const std::string& name) const;
  // Removes the file `name` from the folder and from Entries(); false when it stays.
  bool Remove(const std::string& name);

 private:
  friend class FolderFile;
  std::filesystem::path folder_;
  int fd_ = -1;
  int64_t listed_at_ns_ = 0;
  std::vector<Entry> entries_;
};

// A regular file of a listed folder, opened for reading without following a link and without
// waiting on a pipe. Its attributes are read through the open file (the sidecar of a file system
// without extended attributes still by its path).
class FolderFile {
 public:
  FolderFile(const FolderReader& folder, const std::string& name);
  ~FolderFile();
  FolderFile(const FolderFile&) = delete;
  FolderFile& operator=(const FolderFile&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  FileNode& Node() { return node_; }
  // The whole contents when the file holds at most `limit` bytes; false (and `out` empty)
  // otherwise.
  bool ReadAll(size_t limit, std::string* out);

 private:
  int fd_ = -1;
  FileNode node_;
};

}  // namespace koru
