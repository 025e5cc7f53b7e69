#pragma once
// One remote definition: its name, header code, command-byte mode and the codes of its 50 key
// slots, with the remote folder its file is stored in. The library (folder scan, built-in
// remotes, origin check) and the charts are members defined in remote_library.cpp and
// remote_chart.cpp; they work on the folder of the record they are called on.
#include <array>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/safe_file.h"
#include "platform/messaging/status.h"
#include "receiver/exact/exact_code.h"

namespace koru {

class RemoteDefinition;
class KeyMenu;
class FolderReader;

// The remote list: ordered, owning; an item may be empty.
using RemoteList = std::vector<std::unique_ptr<RemoteDefinition>>;

inline constexpr int32_t kKeySlots = 50;       // slot k (1..50) is key function 50 + k
inline constexpr int32_t kNoKeyFunction = 49;  // "-?-": code not found
inline constexpr int32_t kUnknownRemote = 50;  // "-unknown-": no remote has the header
inline constexpr int32_t kFirstKeyFunction = 51;
inline constexpr int32_t kLastKeyFunction = 100;
// Slot k (1..50) holds the code of key function 50 + k.
inline constexpr int32_t SlotOf(int32_t key_function) {
  return key_function - kFirstKeyFunction + 1;
}
inline constexpr int32_t KeyFunctionOfSlot(int32_t slot) {
  return slot + kFirstKeyFunction - 1;
}
inline constexpr int32_t kLargestSlotValue = 256256;  // larger values end a "[ComData]" line
// The command-byte mode of a remote of exact codes: its keys are matched by protocol, address
// and command, never by classic code bytes.
inline constexpr int32_t kExactMode = 40;
// The header of an exact remote: no classic header (0..255255) equals it.
inline constexpr int32_t kNoClassicHeader = -1;

// Origin kinds (kind_).
enum RemoteKind : int32_t { kKindOrg = 0, kKindMod = 1, kKindUser = 2, kKindErr = 3 };

class RemoteDefinition {
 public:
  // `folder`: the remote folder the record is loaded from and saved to, and the library's; a
  // record without one lives in memory only (it loads and saves no file).
  explicit RemoteDefinition(std::filesystem::path folder = {});
  ~RemoteDefinition();
  RemoteDefinition(const RemoteDefinition&) = delete;
  RemoteDefinition& operator=(const RemoteDefinition&) = delete;

  // Takes name, header, mode, kind and all 50 slots of another record; the folder stays.
  void CopyFrom(const RemoteDefinition& other);
  void ClearKeys();
  static bool IsReduced(int32_t key_function);
  // Key function 51..100 of the first slot holding `code`, else 49.
  int32_t KeyFunctionOfCode(int32_t code) const;
  // The last record of that name, or null.
  static RemoteDefinition* FindRemote(const RemoteList* list, const std::string& name);

  // Reads the remote file `name` of the record's folder; a missing file leaves the record empty.
  void RemoteLoad(const std::string& name);
  // The same from the file's contents, already read.
  void RemoteLoadText(const std::string& name, std::string_view text);
  // The user's remotes reach the disk before the call returns; the built-in ones, which are
  // written again when missing, are synced once after all of them (kNone).
  status_t RemoteSave(WriteSync sync = WriteSync::kEachFile);

  // The loaded state (header, mode, slots, exact codes) in the remote folder index, and back;
  // false, and the record unchanged, when `state` is not one (remote_folder_index.cpp).
  void AppendIndexState(std::string* out) const;
  bool TakeIndexState(std::string_view state);

  // Library (remote_library.cpp).
  int32_t LookForRemotes(RemoteList* list);
  int32_t LookForRemotes(const FolderReader& folder, RemoteList* list);
  // The start-up load: removes what interrupted writes left, scans the folder and, on a first
  // start (no remote file) or one that did not finish, writes the missing built-in remotes and
  // scans again. A built-in the user deleted after a finished first start stays deleted.
  int32_t LoadRemoteLibrary(RemoteList* list);
  // Writes the built-in remotes (with `missing_only`, those without a remote file); a write
  // that fails is reported in one alert. True when every write worked.
  bool SaveBuiltInRemotes(bool missing_only = false);
  static status_t SaveBuiltInRemoteFile(const std::filesystem::path& folder, const char* name,
                                        int32_t header, int32_t mode, const int32_t* codes,
                                        WriteSync sync = WriteSync::kEachFile);
  // The origin kind of the record named `name`: built in and unchanged (kKindOrg), built in and
  // changed (kKindMod, its check sum differs) or the user's (kKindUser); kept in kind_.
  int32_t UpdateOriginKind(const std::string& name, RemoteList* list);
  // The same for a record already in hand (no search of the list: start-up checks them all).
  static int32_t UpdateOriginKind(RemoteDefinition* record);
  void SetMenuCheckMarks(KeyMenu* menu, int32_t mode, const char* label, int32_t slot);

  // Charts (remote_chart.cpp); `now` is the time written into the count line.
  status_t WriteKeysChart(RemoteList* list, std::time_t now = std::time(nullptr));
  status_t WriteCodesChart(RemoteList* list, std::time_t now = std::time(nullptr));
  static void ChartHeader(std::string* file);

  // Slot k (1..50); key_[0] is unused so that slot numbers index directly.
  int32_t Slot(int32_t k) const { return key_[k]; }
  void SetSlot(int32_t k, int32_t value) { key_[k] = value; }
  bool IsTwoByte() const { return mode_ == 3 || mode_ == 23; }
  // True when slot k (1..50) holds a classic or an exact code.
  bool HasKey(int32_t k) const { return key_[k] != 0 || exact_key_[k].has_value(); }

  // Exact mode. SetExactHead turns the record into an exact remote (mode 40, no classic header
  // and no classic codes); the head's protocol and address are what most keys share and are
  // written once in the file. Key functions outside 51..99 are ignored.
  bool IsExact() const { return mode_ == kExactMode; }
  const ExactCode& ExactHead() const { return exact_head_; }
  void SetExactHead(const ExactCode& head);
  void SetExactKey(int32_t key_function, const ExactCode& code);
  void ClearExactKey(int32_t key_function);
  std::optional<ExactCode> ExactKey(int32_t key_function) const;
  // Key function 51..99 of the first key that is the same key as `code`, else 49.
  int32_t ExactFunction(const ExactCode& code) const;

  std::string name_;
  int32_t header_ = 0;  // the file's "[ComHead]": the header code of the remote's frames
  int32_t mode_ = 0;    // "[ComByte]": the command-byte mode (kExactMode: exact codes)
  int32_t key_[kKeySlots + 1] = {};  // key_[50] is check_sum_
  int32_t& check_sum_ = key_[kKeySlots];
  int32_t kind_ = kKindErr;
  // A full scan may write the folder's index; tools that only read the user's folders say no.
  bool writes_index_ = true;

 private:
  void ParseExactLines(const std::string& head, const std::string& data);

  std::filesystem::path folder_;
  ExactCode exact_head_;
  std::array<std::optional<ExactCode>, kKeySlots + 1> exact_key_;  // by slot, like key_
};

// The start's trace line that names the remote folder in use.
void TraceRemoteFolder(const std::filesystem::path& folder);

}  // namespace koru
