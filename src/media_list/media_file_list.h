#pragma once
// The media list in memory and its file: every list and file operation of the media list
// window (`DoWithMediaFiles`). No widgets: what an operation needs of the window (redraw the
// entries, open a folder, open the file in an editor) comes in through Hooks.
//
//   MediaFileList list(MediaListFile());
//   list.DoWithMediaFiles(MediaFileList::kBuild, "", -1);
//   list.DoWithMediaFiles(MediaFileList::kLoad, "", -1);
//   list.DoWithMediaFiles(MediaFileList::kAdd, "/music/a.ogg", -1);
//   list.DoWithMediaFiles(MediaFileList::kSave, "", -1);   // writes only when changed
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/messaging/status.h"

namespace koru {

class MediaFileList {
 public:
  enum Operation : int32_t {
    kBuild = 0,
    kDelete = 1,
    kAdd = 2,
    kRemove = 3,
    kLoad = 4,
    kSave = 5,
    kShow = 6,
    kDeleteEntry = 7,
    kRefresh = 8,
    kOpenFolder = 9,
    kEditFile = 10,
  };

  struct Hooks {
    std::function<void()> refresh = nullptr;  // the entries changed
    std::function<void(const std::string& folder)> open_folder = nullptr;
    std::function<status_t(const std::string& file)> edit = nullptr;  // the list file as text
  };

  explicit MediaFileList(std::filesystem::path file);

  void SetHooks(Hooks hooks) { hooks_ = std::move(hooks); }

  // One operation; `text` a path where the operation needs one (line breaks are removed),
  // `index` an entry number or -1. kOk, or why the operation failed (a save that could not
  // write the file, an index out of range, no list).
  status_t DoWithMediaFiles(int32_t operation, const std::string& text, int32_t index);

  bool Exists() const { return list_.has_value(); }
  // The entries (empty without a list).
  const std::vector<std::string>& Entries() const;
  bool Changed() const { return changed_; }
  const std::filesystem::path& File() const { return file_; }

  // Reloads the list when someone else has changed the file since it was last read or written
  // here, so that a later save never overwrites that edit; true when it reloaded.
  bool ReloadIfChangedOnDisk();

 private:
  struct DiskStamp {
    bool exists = false;
    uintmax_t size = 0;
    std::filesystem::file_time_type modified;
    bool operator==(const DiskStamp&) const = default;
  };
  DiskStamp StampNow() const;
  status_t Load();
  status_t Save();
  void Refresh();

  std::filesystem::path file_;
  std::optional<std::vector<std::string>> list_;
  bool changed_ = false;
  // The file's text as last read or written here (none: no file), and its stamp then.
  std::optional<std::string> disk_text_;
  DiskStamp disk_stamp_;
  Hooks hooks_;
};

}  // namespace koru
