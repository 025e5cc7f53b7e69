#pragma once
// What the last scan of the remote folder read, kept in the folder (".koru-remote-index"): for
// each file its stamp, its kind and, for a remote file, the record read from it. A scan takes a
// file whose stamp is unchanged from the index instead of opening it: with thousands of remotes
// the scan is one status call per file. The index is a cache: a missing, damaged or foreign one
// (its checksum fails) is ignored and written again. A file changed so shortly before a scan that a
// later change might leave its stamp alone (time stamps have a grain) is not kept: it is read every
// time until it is older.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/files/folder_reader.h"

namespace koru {

class RemoteDefinition;

class RemoteFolderIndex {
 public:
  static constexpr const char* kFileName = ".koru-remote-index";

  // Reads the index the listed folder holds.
  explicit RemoteFolderIndex(const FolderReader& folder);

  // The kind of the file `name` when the index knows it with this stamp; a remote's record is
  // then filled as reading the file would have filled it.
  std::optional<int32_t> Find(const std::string& name, const FolderReader::Stamp& stamp,
                              RemoteDefinition* record);
  // What the scan read from a file the index did not know (`record` null when it is no remote).
  void Keep(const std::string& name, const FolderReader::Stamp& stamp, int32_t kind,
            const RemoteDefinition* record);
  // Writes the index when the scan found anything it did not know or missed a file it knew.
  // A folder that cannot be written keeps its old index: the next scan reads the files again.
  void Save(const FolderReader& folder);

  // The index as Save writes it (tests).
  std::string Serialized() const;
  // An index file of these entries: the mark of the format, the entries and their checksum.
  static std::string Sealed(std::string_view entries);

 private:
  struct Entry {
    std::string_view name;
    FolderReader::Stamp stamp;
    int32_t kind = 0;
    std::string_view state;  // the record's, for a remote
  };

  int64_t listed_at_ns_ = 0;
  std::string text_;                                   // the index read
  std::unordered_map<std::string_view, Entry> known_;  // into text_
  std::vector<Entry> kept_;                            // this scan's, into text_ or owned_
  std::deque<std::string> owned_;                      // stable: kept_ points into it
  size_t hits_ = 0;
  bool changed_ = false;
};

}  // namespace koru
