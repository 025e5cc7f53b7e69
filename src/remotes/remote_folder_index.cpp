#include "remotes/remote_folder_index.h"

#include <cstring>
#include <type_traits>

#include "platform/files/koru_type.h"
#include "platform/files/safe_file.h"
#include "remotes/remote_definition.h"

namespace koru {

namespace {

constexpr std::string_view kMagic = "KORU remote folder index 2\n";
// Far above any real folder's index (3500 remotes take about 1 MiB).
constexpr size_t kLargestIndex = size_t{256} << 20;
constexpr int64_t kSecond = 1000000000;

template <typename T>
void Put(std::string* out, T value) {
  static_assert(std::is_trivially_copyable_v<T>);
  out->append(reinterpret_cast<const char*>(&value), sizeof value);
}

void PutText(std::string* out, std::string_view text) {
  Put(out, static_cast<uint32_t>(text.size()));
  out->append(text);
}

template <typename T>
bool Take(std::string_view* in, T* value) {
  if (in->size() < sizeof *value) return false;
  std::memcpy(value, in->data(), sizeof *value);
  in->remove_prefix(sizeof *value);
  return true;
}

bool TakeText(std::string_view* in, std::string_view* text) {
  uint32_t size = 0;
  if (!Take(in, &size) || in->size() < size) return false;
  *text = in->substr(0, size);
  in->remove_prefix(size);
  return true;
}

void PutCode(std::string* out, const ExactCode& code) {
  Put(out, static_cast<int32_t>(code.protocol));
  Put(out, code.address);
  Put(out, code.command);
  Put(out, code.bits);
}

bool TakeCode(std::string_view* in, ExactCode* code) {
  int32_t protocol = 0;
  if (!Take(in, &protocol) || protocol < 0 ||
      protocol > static_cast<int32_t>(ExactProtocol::kSerial))
    return false;
  code->protocol = static_cast<ExactProtocol>(protocol);
  return Take(in, &code->address) && Take(in, &code->command) && Take(in, &code->bits);
}

// FNV-1a: a flipped bit anywhere in the entries changes it.
uint64_t Checksum(std::string_view bytes) {
  uint64_t hash = 14695981039346656037ull;
  for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return hash;
}

bool TakeStamp(std::string_view* in, FolderReader::Stamp* stamp) {
  return Take(in, &stamp->inode) && Take(in, &stamp->size) && Take(in, &stamp->modified_ns) &&
         Take(in, &stamp->changed_ns);
}

}  // namespace

void RemoteDefinition::AppendIndexState(std::string* out) const {
  Put(out, header_);
  Put(out, mode_);
  for (int32_t k = 1; k <= kKeySlots; ++k) Put(out, key_[k]);
  uint64_t present = 0;
  for (size_t k = 0; k < exact_key_.size(); ++k)
    if (exact_key_[k]) present |= uint64_t{1} << k;
  Put(out, present);
  PutCode(out, exact_head_);
  for (const std::optional<ExactCode>& code : exact_key_)
    if (code) PutCode(out, *code);
}

bool RemoteDefinition::TakeIndexState(std::string_view in) {
  int32_t head = 0, mode = 0;
  int32_t keys[kKeySlots + 1] = {};
  uint64_t present = 0;
  ExactCode exact_head;
  std::array<std::optional<ExactCode>, kKeySlots + 1> exact_keys;
  if (!Take(&in, &head) || !Take(&in, &mode)) return false;
  for (int32_t k = 1; k <= kKeySlots; ++k)
    if (!Take(&in, &keys[k])) return false;
  if (!Take(&in, &present) || (present >> exact_keys.size()) != 0 || !TakeCode(&in, &exact_head))
    return false;
  for (size_t k = 0; k < exact_keys.size(); ++k) {
    if ((present & (uint64_t{1} << k)) == 0) continue;
    ExactCode code;
    if (!TakeCode(&in, &code)) return false;
    exact_keys[k] = code;
  }
  if (!in.empty()) return false;
  header_ = head;
  mode_ = mode;
  std::memcpy(key_, keys, sizeof key_);
  exact_head_ = exact_head;
  exact_key_ = exact_keys;
  return true;
}

RemoteFolderIndex::RemoteFolderIndex(const FolderReader& folder)
    : listed_at_ns_(folder.ListedAtNs()) {
  if (!folder.StampOf(kFileName)) return;
  // A damaged index is written again even when the scan finds nothing new.
  changed_ = true;
  FolderFile file(folder, kFileName);
  if (!file.ReadAll(kLargestIndex, &text_)) return;
  std::string_view in(text_);
  if (in.size() < kMagic.size() + sizeof(uint64_t) || in.substr(0, kMagic.size()) != kMagic) return;
  in.remove_prefix(kMagic.size());
  uint64_t sum = 0;
  std::memcpy(&sum, in.data() + in.size() - sizeof sum, sizeof sum);
  in.remove_suffix(sizeof sum);
  // A flipped bit may still parse, and turn a key's code into another.
  if (sum != Checksum(in)) return;
  std::unordered_map<std::string_view, Entry> known;
  while (!in.empty()) {
    Entry entry;
    if (!TakeText(&in, &entry.name) || !TakeStamp(&in, &entry.stamp) || !Take(&in, &entry.kind) ||
        !TakeText(&in, &entry.state))
      return;  // damaged: every file is read again
    known.insert_or_assign(entry.name, entry);
  }
  known_ = std::move(known);
  changed_ = false;
}

std::optional<int32_t> RemoteFolderIndex::Find(const std::string& name,
                                               const FolderReader::Stamp& stamp,
                                               RemoteDefinition* record) {
  const auto it = known_.find(name);
  if (it == known_.end() || !(it->second.stamp == stamp)) return std::nullopt;
  const Entry& entry = it->second;
  if (record != nullptr && entry.kind == kKoruRemoteFile) {
    if (!record->TakeIndexState(entry.state)) return std::nullopt;
    record->name_ = name;
  }
  ++hits_;
  kept_.push_back(entry);
  return entry.kind;
}

void RemoteFolderIndex::Keep(const std::string& name, const FolderReader::Stamp& stamp,
                             int32_t kind, const RemoteDefinition* record) {
  changed_ = true;
  // A change in the same grain of time as this stamp might leave it as it is: a file changed
  // about when the scan began is read again next time. Whole seconds mean a coarse file system.
  const int64_t grain = stamp.changed_ns % kSecond == 0 ? 3 * kSecond : kSecond / 10;
  if (stamp.changed_ns >= listed_at_ns_ - grain) return;
  std::string state;
  if (record != nullptr) record->AppendIndexState(&state);
  owned_.push_back(name);
  const std::string_view owned_name = owned_.back();
  owned_.push_back(std::move(state));
  kept_.push_back({owned_name, stamp, kind, owned_.back()});
}

std::string RemoteFolderIndex::Serialized() const {
  std::string out;
  for (const Entry& entry : kept_) {
    PutText(&out, entry.name);
    Put(&out, entry.stamp.inode);
    Put(&out, entry.stamp.size);
    Put(&out, entry.stamp.modified_ns);
    Put(&out, entry.stamp.changed_ns);
    Put(&out, entry.kind);
    PutText(&out, entry.state);
  }
  return Sealed(out);
}

std::string RemoteFolderIndex::Sealed(std::string_view entries) {
  std::string out(kMagic);
  out += entries;
  Put(&out, Checksum(entries));
  return out;
}

void RemoteFolderIndex::Save(const FolderReader& folder) {
  if (!changed_ && hits_ == known_.size()) return;
  if (kept_.empty() && known_.empty() && !changed_) return;  // nothing to keep or forget
  // Not synced: a lost index only costs the next scan the reading of every file.
  WriteFileSafely(folder.Folder() / kFileName, Serialized(), {}, WriteSync::kNone);
}

}  // namespace koru
