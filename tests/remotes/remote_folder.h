#pragma once
// A remote folder of each test's own, in a temporary folder removed after the test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/files/file_node.h"
#include "platform/files/koru_type.h"
#include "receiver/exact/exact_code.h"
#include "remotes/remote_definition.h"
#include "temp_dir.h"
#include "test_files.h"

namespace koru {

// A classic remote record in memory (no folder): its name, header, mode and the codes of some
// slots.
inline std::unique_ptr<RemoteDefinition> Remote(
    const std::string& name, int32_t header = 0, int32_t mode = 0,
    std::initializer_list<std::pair<int32_t, int32_t>> slot_codes = {}) {
  auto record = std::make_unique<RemoteDefinition>();
  record->name_ = name;
  record->header_ = header;
  record->mode_ = mode;
  for (const auto& [slot, code] : slot_codes) record->SetSlot(slot, code);
  return record;
}

class RemoteFolderTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directory(folder_); }

  std::string Read(const std::string& name) const { return ReadAll(folder_ / name); }
  // An exact remote saved in the folder: its name, head and keys (key function, code field).
  std::unique_ptr<RemoteDefinition> SaveExact(
      const std::string& name, const char* head,
      std::initializer_list<std::pair<int32_t, const char*>> keys) const {
    auto remote = std::make_unique<RemoteDefinition>(folder_);
    remote->name_ = name;
    remote->SetExactHead(head ? *ParseExactField(head) : ExactCode{});
    for (const auto& [function, field] : keys)
      remote->SetExactKey(function, *ParseExactField(field));
    EXPECT_EQ(remote->RemoteSave(), kOk) << name;
    return remote;
  }
  // The record of the file `name` in the folder.
  std::unique_ptr<RemoteDefinition> Load(const std::string& name) const {
    auto record = std::make_unique<RemoteDefinition>(folder_);
    record->RemoteLoad(name);
    return record;
  }

  void Write(const std::string& name, const std::string& text, int32_t kind = kKoruRemoteFile) {
    std::ofstream(folder_ / name, std::ios::binary) << text;
    if (kind != 0) {
      FileNode node(folder_ / name);
      WriteKoruType(node, kind);
    }
  }

  // The folder's entries, without the index of its files that a scan may have written.
  long FileCount() const {
    long count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder_))
      count += entry.path().filename() != ".koru-remote-index";
    return count;
  }

  TempDir dir_;
  const std::filesystem::path folder_ = dir_.Path() / "_Remotes_";
};

}  // namespace koru
