// The remote folder as a list of records, the built-in remotes and the origin check.
#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <optional>
#include <unordered_set>

#include "platform/files/file_node.h"
#include "platform/files/folder_reader.h"
#include "platform/files/koru_type.h"
#include "platform/files/safe_file.h"
#include "platform/messaging/alert.h"
#include "platform/messaging/clock.h"
#include "platform/messaging/trace.h"
#include "remotes/builtin_remotes.h"
#include "remotes/key_menu.h"
#include "remotes/remote_definition.h"
#include "remotes/remote_folder_index.h"
#include "settings/label_table.h"

namespace koru {

namespace {

// Reads an int32 attribute as far as it goes; false when fewer than 2 bytes were there.
bool ReadMarker(AttributeNode& node, const char* name, int32_t* value) {
  *value = 0;
  const ssize_t got = node.ReadAttr(name, kInt32Type, 0, value, sizeof *value);
  return got >= 2;
}

// The attribute layer's sidecar files ("." + name + ".koru-attr") are not entries of the folder.
bool IsSidecar(const std::string& leaf) {
  static const std::string kSuffix = ".koru-attr";
  return leaf.size() > kSuffix.size() + 1 && leaf[0] == '.' &&
         leaf.compare(leaf.size() - kSuffix.size(), kSuffix.size(), kSuffix) == 0;
}

// A remote file is a few KiB; a larger file in the folder is read line by line from its path.
constexpr size_t kLargestRemoteFile = 1 << 20;

// Present from the moment a first start begins writing the built-in remotes until every one
// of them is written: a start that finds it completes the work.
constexpr const char* kFirstStartMarker = ".koru-first-start";

// Temporaries of earlier versions: "." + name + "." + six letters or digits, never marked.
bool IsOldTemporary(AttributeNode& node, const std::string& leaf) {
  constexpr size_t kUnique = 6;
  if (leaf.size() < kUnique + 3 || leaf[0] != '.' || leaf[leaf.size() - kUnique - 1] != '.')
    return false;
  for (size_t i = leaf.size() - kUnique; i < leaf.size(); ++i)
    if (!std::isalnum(static_cast<unsigned char>(leaf[i]))) return false;
  int32_t kind = 0;
  return !ReadMarker(node, kKoruTypeAttr, &kind) && !ReadMarker(node, kOldKoruTypeAttr, &kind);
}

// What interrupted writes left: temporaries of this version and of earlier ones. One listing
// serves the removal and the scan after it.
void RemoveTemporaries(FolderReader& folder) {
  std::vector<std::string> doomed;
  for (const FolderReader::Entry& entry : folder.Entries()) {
    // Only hidden names can be temporaries: the cheap test first, a scan of many files.
    if (entry.type != FolderReader::EntryType::kRegular || entry.name[0] != '.') continue;
    if (IsKoruTemporary(entry.name)) {
      doomed.push_back(entry.name);
      continue;
    }
    FileNode node(folder.Folder() / entry.name);
    if (IsOldTemporary(node, entry.name)) doomed.push_back(entry.name);
  }
  for (const std::string& name : doomed) folder.Remove(name);
}

bool IsRemoteFile(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(path, error))) return false;
  FileNode node(path);
  return ReadKoruType(node) == kKoruRemoteFile;
}

// Sum of the first 49 values, stopping at the first negative one.
int32_t SumOf(const int32_t* values) {
  int32_t sum = 0;
  for (int32_t k = 0; k < kKeySlots - 1 && values[k] >= 0; ++k) sum += values[k];
  return sum;
}

}  // namespace

int32_t RemoteDefinition::LookForRemotes(RemoteList* list) {
  return LookForRemotes(FolderReader(folder_), list);
}

int32_t RemoteDefinition::LookForRemotes(const FolderReader& folder, RemoteList* list) {
  Trace(" LookForRemotes: ");
  if (list) {
    Trace(" clear List first... %ld Items\n", static_cast<long>(list->size()));
    list->clear();
  }
  int32_t remotes = 0;
  int32_t others = 0;
  std::string text;
  // A full scan takes the files that have not changed since the last one from its index.
  std::optional<RemoteFolderIndex> index;
  std::unordered_set<std::string> sidecars;
  if (list != nullptr) {
    index.emplace(folder);
    for (const FolderReader::Entry& entry : folder.Entries())
      if (IsSidecar(entry.name)) sidecars.insert(entry.name);
  }
  for (const FolderReader::Entry& entry : folder.Entries()) {
    // The entry's type as the folder listing gives it: no status call per file.
    if (entry.type != FolderReader::EntryType::kRegular) continue;
    const std::string& leaf = entry.name;
    if (IsSidecar(leaf) || IsKoruTemporary(leaf) || leaf == kFirstStartMarker ||
        leaf == RemoteFolderIndex::kFileName)
      continue;
    // A kind kept in a sidecar changes without changing the file's stamp.
    std::optional<FolderReader::Stamp> stamp;
    if (index && !sidecars.contains(FileNode::SidecarOf(leaf).string()))
      stamp = folder.StampOf(leaf);
    auto record = list != nullptr ? std::make_unique<RemoteDefinition>(folder.Folder()) : nullptr;
    if (stamp) {
      if (const std::optional<int32_t> known = index->Find(leaf, *stamp, record.get())) {
        if (*known == kKoruRemoteFile) {
          ++remotes;
          list->push_back(std::move(record));
        } else {
          ++others;
        }
        continue;
      }
    }
    const uint64_t traced = TraceCount();
    // Kind and contents through one open file.
    FolderFile file(folder, leaf);
    AttributeNode& node = file.Node();
    int32_t kind = 0;
    if (!ReadMarker(node, kKoruTypeAttr, &kind)) {
      Trace("\n[%ld] OOPS '%s' ", 0L, leaf.c_str());
      int32_t old = 0;
      if (ReadMarker(node, kOldKoruTypeAttr, &old)) {
        ChangeKoruFiletype(node);
        Trace(" '%s' \n", leaf.c_str());
      }
      continue;
    }
    if (kind == kKoruRemoteFile) {
      ++remotes;
      if (list) {
        if (file.ReadAll(kLargestRemoteFile, &text)) {
          record->RemoteLoadText(leaf, text);
        } else {
          record->RemoteLoad(leaf);  // larger than any remote of ours, or gone: by the path
        }
        // A file that traced while it was read is read every time, so the trace stays the same.
        if (stamp && TraceCount() == traced) index->Keep(leaf, *stamp, kind, record.get());
        list->push_back(std::move(record));
      }
    } else {
      ++others;
      if (stamp && TraceCount() == traced) index->Keep(leaf, *stamp, kind, nullptr);
    }
  }
  if (index && writes_index_) index->Save(folder);
  Trace(" '%ld none-remotefiles' ", static_cast<long>(others));
  return remotes;
}

int32_t RemoteDefinition::LoadRemoteLibrary(RemoteList* list) {
  // Without a folder the marker and the built-in remotes would land in the working directory.
  if (folder_.empty()) return 0;
  const std::filesystem::path marker = folder_ / kFirstStartMarker;
  int32_t count = 0;
  bool unfinished = false;
  {
    FolderReader folder(folder_);
    RemoveTemporaries(folder);
    unfinished = folder.Has(kFirstStartMarker);
    count = LookForRemotes(folder, list);
  }
  if (count > 0 && !unfinished) return count;
  if (!unfinished) {
    const int fd = open(marker.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0) close(fd);
  }
  if (SaveBuiltInRemotes(true)) unlink(marker.c_str());
  return LookForRemotes(list);
}

bool RemoteDefinition::SaveBuiltInRemotes(bool missing_only) {
  int failed = 0;
  std::string first_failure;
  for (const BuiltInRemote* entry = kBuiltInRemotes; std::strlen(entry->name) > 2; ++entry) {
    if (missing_only && IsRemoteFile(folder_ / entry->name)) continue;
    const status_t status = SaveBuiltInRemoteFile(folder_, entry->name, entry->header, entry->mode,
                                                  entry->codes, WriteSync::kNone);
    if (status == kOk) continue;
    if (failed++ == 0) first_failure = std::string("'") + entry->name + "': " + StatusText(status);
  }
  // One sync for all of them, before the first start counts as finished.
  if (const status_t status = SyncFileSystemOf(folder_); status != kOk && failed++ == 0)
    first_failure = "sync: " + StatusText(status);
  if (failed == 0) return true;
  AnyAlert("Built-in remotes not written: " + std::to_string(failed) + " (" + first_failure +
               ").\nThey are written again at the next start.",
           false);
  return false;
}

status_t RemoteDefinition::SaveBuiltInRemoteFile(const std::filesystem::path& folder,
                                                 const char* name, int32_t header, int32_t mode,
                                                 const int32_t* codes, WriteSync sync) {
  RemoteDefinition record(folder);
  record.ClearKeys();
  record.header_ = header;
  record.mode_ = mode;
  record.name_ = name;
  for (int32_t k = 1; k <= kKeySlots; ++k) {
    record.key_[k] = 0;
    if (codes[k - 1] < 0) break;
    record.key_[k] = codes[k - 1];
  }
  return record.RemoteSave(sync);
}

int32_t RemoteDefinition::UpdateOriginKind(const std::string& name, RemoteList* list) {
  RemoteDefinition* record = FindRemote(list, name);
  if (!record) return kKindUser;
  return UpdateOriginKind(record);
}

int32_t RemoteDefinition::UpdateOriginKind(RemoteDefinition* record) {
  const std::string& name = record->name_;
  record->check_sum_ = SumOf(&record->key_[1]);
  int32_t builtin = 0;
  for (const BuiltInRemote* entry = kBuiltInRemotes; std::strlen(entry->name) > 2; ++entry)
    if (name == entry->name) builtin = SumOf(entry->codes);
  const int32_t kind =
      builtin == 0 ? kKindUser : (builtin != record->check_sum_ ? kKindMod : kKindOrg);
  record->kind_ = kind;
  return kind;
}

void RemoteDefinition::SetMenuCheckMarks(KeyMenu* menu, int32_t mode, const char* label,
                                         int32_t slot) {
  if (!menu) {
    Trace(" ..SetMenuHarken fMenu NULL\n");
    return;
  }
  if (!label) {
    Trace(" ..SetMenuHarken fLabel NULL\n");
    return;
  }
  Trace(" ..SetMenuHarken fModus %d\n", static_cast<int>(mode));
  auto mark = [&](int32_t index) {
    menu->SetItemTo(getLabel(index + kFirstKeyFunction), true, HasKey(index + 1));
  };
  if (mode == 1) {
    if (slot >= 0 && slot < kKeySlots) mark(slot);
  } else if (mode == 0) {
    for (int32_t index = 0; index < kKeySlots; ++index)
      if (IsReduced(index + kFirstKeyFunction)) mark(index);
  }
}

void AppendBuiltinRemotes(RemoteList* list) {
  for (const BuiltInRemote* entry = kBuiltInRemotes; std::strlen(entry->name) > 2; ++entry) {
    auto record = std::make_unique<RemoteDefinition>();
    record->name_ = entry->name;
    record->header_ = entry->header;
    record->mode_ = entry->mode;
    for (int32_t k = 1; k < kKeySlots && entry->codes[k - 1] >= 0; ++k)
      record->SetSlot(k, entry->codes[k - 1]);
    list->push_back(std::move(record));
  }
}

}  // namespace koru
