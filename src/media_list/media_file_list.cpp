#include "media_list/media_file_list.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "media_list/media_list_text.h"
#include "platform/files/safe_file.h"
#include "platform/messaging/trace.h"

namespace koru {

namespace {

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) return std::nullopt;
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) return std::nullopt;
  return text.str();
}

const std::vector<std::string> kNoEntries;

}  // namespace

MediaFileList::MediaFileList(std::filesystem::path file) : file_(std::move(file)) {}

const std::vector<std::string>& MediaFileList::Entries() const {
  return list_ ? *list_ : kNoEntries;
}

MediaFileList::DiskStamp MediaFileList::StampNow() const {
  std::error_code error;
  DiskStamp stamp;
  if (!std::filesystem::is_regular_file(file_, error)) return stamp;
  stamp.exists = true;
  stamp.size = std::filesystem::file_size(file_, error);
  stamp.modified = std::filesystem::last_write_time(file_, error);
  return stamp;
}

void MediaFileList::Refresh() {
  if (hooks_.refresh) hooks_.refresh();
}

status_t MediaFileList::DoWithMediaFiles(int32_t operation, const std::string& raw_text,
                                         int32_t index) {
  if (operation == kBuild) {
    if (!list_) list_.emplace();
    return kOk;
  }
  if (operation == kDelete) {
    list_.reset();
    return kOk;
  }
  if (!list_) {
    Trace(" oops NO mflist\n");
    return kEntryNotFound;
  }
  const std::string text = WithoutLineBreaks(raw_text);
  std::vector<std::string>& list = *list_;
  const bool in_range = index >= 0 && static_cast<size_t>(index) < list.size();
  switch (operation) {
    case kAdd:
      if (text.empty()) return kBadValue;
      if (std::find(list.begin(), list.end(), text) != list.end()) {
        Trace("Allways in List:\n%s\n", text.c_str());
        return kOk;
      }
      list.push_back(text);
      changed_ = true;
      return kOk;
    case kRemove: {
      const auto removed = std::erase(list, text);
      Trace(" remove from mflist %zu x '%s'\n", removed, text.c_str());
      if (removed == 0) return kEntryNotFound;
      changed_ = true;
      Refresh();
      return kOk;
    }
    case kLoad:
      return Load();
    case kSave:
      return Save();
    case kShow:
      for (size_t i = 0; i < list.size(); ++i) Trace("[%zu]'%s'\n", i, list[i].c_str());
      return kOk;
    case kDeleteEntry:
      if (!in_range) {
        Trace(" DeleteX %d >> entry not found\n", index);
        return kBadIndex;
      }
      list.erase(list.begin() + index);
      changed_ = true;
      Refresh();
      return kOk;
    case kRefresh:
      Refresh();
      return kOk;
    case kOpenFolder:
      if (!in_range) return kBadIndex;
      if (hooks_.open_folder) {
        hooks_.open_folder(
            std::filesystem::path(list[static_cast<size_t>(index)]).parent_path().string());
      }
      return kOk;
    case kEditFile: {
      // The editor must see what the window shows, and what it saves is reloaded from here on.
      if (const status_t saved = Save(); saved != kOk) return saved;
      Trace("[open][%s]\n", file_.c_str());
      const status_t opened = hooks_.edit ? hooks_.edit(file_.string()) : kUnsupported;
      if (opened != kOk) Trace(" oops: couldn't execute \n");
      return opened;
    }
    default:
      return kBadValue;
  }
}

status_t MediaFileList::Load() {
  std::optional<std::string> text = ReadWholeFile(file_);
  const DiskStamp stamp = StampNow();
  if (!text) {
    Trace("'%s' OpenError!\n", file_.c_str());
    disk_text_.reset();
    disk_stamp_ = stamp;
    return kEntryNotFound;
  }
  for (std::string& entry : ParseMediaList(*text)) list_->push_back(std::move(entry));
  disk_text_ = std::move(text);
  disk_stamp_ = stamp;
  changed_ = false;
  return kOk;
}

status_t MediaFileList::Save() {
  if (!changed_) {
    Trace(" mflist not changed-not saved\n");
    return kOk;
  }
  std::string text = FormatMediaList(*list_);
  if (const status_t status = WriteFileSafely(file_, text); status != kOk) {
    Trace("'%s' OpenError!\n", file_.c_str());
    return status;
  }
  disk_text_ = std::move(text);
  disk_stamp_ = StampNow();
  changed_ = false;
  return kOk;
}

bool MediaFileList::ReloadIfChangedOnDisk() {
  if (!list_) return false;
  const DiskStamp stamp = StampNow();
  if (stamp == disk_stamp_) return false;
  disk_stamp_ = stamp;
  // A file that went away leaves the list as it is: the next save writes it again.
  std::optional<std::string> text = ReadWholeFile(file_);
  if (!text || text == disk_text_) return false;
  if (changed_) Trace(" mflist changed on disk: unsaved changes dropped\n");
  list_->clear();
  disk_text_ = std::nullopt;
  Load();
  Trace(" mflist reloaded '%s'\n", file_.c_str());
  Refresh();
  return true;
}

}  // namespace koru
