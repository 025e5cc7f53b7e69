#include <gtest/gtest.h>

#include <string>

#include "platform/messaging/trace.h"
#include "remote_folder.h"
#include "remotes/exact_remote_text.h"
#include "remotes/key_match.h"
#include "remotes/remote_definition.h"
#include "table_cells.h"
#include "test_files.h"

namespace koru {

namespace {

using ExactRemoteFile = RemoteFolderTest;

// An exact code from its field text ("NEC:0x04:0x08").
ExactCode X(std::string_view field) {
  return ParseExactField(field).value();
}

// The key function an exact code is matched to in `list`.
int32_t KeyOf(const RemoteList& list, std::string_view field) {
  return MatchExactKey(list, X(field)).key_function;
}

TEST_F(ExactRemoteFile, SavedFileHasHeaderBareCommandsFullFieldsAndReadableInformation) {
  // N0, N1 of another address, Mute and |<<.
  SaveExact("Tuner", "NEC:0x04:0x00",
            {{51, "NEC:0x04:0x08"},
             {52, "NEC:0x05:0x08"},
             {67, "RC-5:0x1F:0x0C"},
             {91, "hash:1A2B3C4D"}});

  const std::string text = Read("Tuner");
  EXPECT_EQ(text, ReadAll(KORU_SOURCE_DIR "/tests/remotes/data/Tuner"));
  FileNode node(folder_ / "Tuner");
  EXPECT_EQ(ReadKoruType(node), kKoruRemoteFile);

  const auto loaded = Load("Tuner");
  EXPECT_TRUE(loaded->IsExact());
  EXPECT_EQ(loaded->header_, kNoClassicHeader);
  EXPECT_EQ(ExactField(loaded->ExactHead()), "NEC:0x04:0x00");
  for (int32_t k = 1; k <= kKeySlots; ++k) EXPECT_EQ(loaded->Slot(k), 0) << k;

  // Saved again, the file is the same to the byte: every key was read back.
  ASSERT_EQ(loaded->RemoteSave(), kOk);
  EXPECT_EQ(Read("Tuner"), text);
}

TEST_F(ExactRemoteFile, HashRemoteKeepsItsHashesAsBareValues) {
  SaveExact("Odd", nullptr, {{51, "hash:1A2B3C4D"}, {99, "Sony12:0x01:0x15"}});  // 99: the last
  EXPECT_EQ(Read("Odd"), ReadAll(KORU_SOURCE_DIR "/tests/remotes/data/Odd"));

  RemoteList list;
  list.push_back(Load("Odd"));
  EXPECT_EQ(list[0]->ExactFunction(X("hash:1A2B3C4D")), 51);
  EXPECT_EQ(list[0]->ExactFunction(X("Sony12:0x01:0x15")), 99);
  EXPECT_EQ(list[0]->ExactFunction(X("Sony12:0x02:0x15")), kNoKeyFunction);

  // The hash made now carries the earlier hash of the same frame, which keys taught with it match.
  EXPECT_EQ(KeyOf(list, "hash2:0x1A2B3C4D:0x5E6F7A8B"), 51);
  EXPECT_EQ(KeyOf(list, "hash2:0x1A2B3C4E:0x1A2B3C4D"), kNoKeyFunction);
  // Keys taught with it keep both hashes.
  SaveExact("Now", "hash2:0x1A2B3C4D:0x00",
            {{52, "hash2:0x1A2B3C4D:0x5E6F7A8B"}, {53, "hash2:0x01020304:0x05060708"}});
  list.push_back(Load("Now"));
  EXPECT_EQ(KeyOf(list, "hash2:0x1A2B3C4D:0x5E6F7A8B"), 52);
  EXPECT_EQ(KeyOf(list, "hash2:0x01020304:0x05060708"), 53);
}

TEST_F(ExactRemoteFile, AKeyIsFoundByProtocolAddressAndCommandNotByBitCount) {
  RemoteDefinition remote;
  remote.SetExactHead(X("RC-5:0x1E:0x00"));
  ExactCode taught = X("RC-5:0x1E:0x0C");
  taught.bits = 14;
  remote.SetExactKey(61, taught);
  remote.SetExactKey(100, X("RC-5:0x1E:0x0D"));  // no such key: ignored
  EXPECT_EQ(remote.ExactFunction(X("RC-5:0x1E:0x0C")), 61);
  for (const char* other : {"RC-5X:0x1E:0x0C", "RC-5:0x1F:0x0C", "RC-5:0x1E:0x0D"})
    EXPECT_EQ(remote.ExactFunction(X(other)), kNoKeyFunction) << other;
}

TEST_F(ExactRemoteFile, DamagedValuesLoadAsKeysNotTaught) {
  for (const auto& row : ReadTable("remotes/data/damaged_exact.tsv", 4)) {
    Write("Damaged", "[ComHead] " + row[0] + "\n[ComByte] 40\n[ComData] " + row[1] + "\n");
    TraceCapture trace;
    const auto loaded = Load("Damaged");
    ASSERT_TRUE(loaded->IsExact());
    std::vector<std::string> taught;
    for (int32_t function = kFirstKeyFunction; function < kLastKeyFunction; ++function) {
      const auto code = loaded->ExactKey(function);
      taught.push_back(code ? ExactField(*code) : "");
    }
    std::vector<std::string> expected = {row[2], row[3]};
    expected.resize(taught.size());
    EXPECT_EQ(taught, expected) << row[1];
  }
}

TEST_F(ExactRemoteFile, LongDataLinesOfFullFieldsLoadCompletely) {
  RemoteDefinition remote(folder_);
  remote.name_ = "Wide";
  remote.SetExactHead(X("NEC:0x00:0x00"));
  for (int32_t function = kFirstKeyFunction; function < kLastKeyFunction; ++function) {
    ExactCode code = X("Kaseikyo:0x20024000:0x1000");
    code.address += function;
    code.command += function;
    remote.SetExactKey(function, code);
  }
  ASSERT_EQ(remote.RemoteSave(), kOk);
  const auto loaded = Load("Wide");
  for (int32_t function = kFirstKeyFunction; function < kLastKeyFunction; ++function)
    EXPECT_EQ(loaded->ExactFunction(*remote.ExactKey(function)), function);
}

TEST_F(ExactRemoteFile, OldAndNewFilesSideBySideLoadMatchRescanAndSaveUnchanged) {
  RemoteDefinition library(folder_);
  ASSERT_TRUE(library.SaveBuiltInRemotes());
  SaveExact("Tuner", "NEC:0x04:0x00", {{52, "NEC:0x04:0x08"}, {91, "RC-5:0x1F:0x0C"}});
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder_))
    if (entry.path().filename().string()[0] != '.')
      files.emplace_back(entry.path().filename().string(), Read(entry.path().filename()));

  for (int scan = 0; scan < 2; ++scan) {  // the start-up scan and a rescan
    RemoteList list;
    ASSERT_EQ(library.LookForRemotes(&list), static_cast<int32_t>(files.size()));
    KeyMatch match = MatchExactKey(list, X("RC-5:0x1F:0x0C"));
    EXPECT_TRUE(match.found);
    EXPECT_EQ(match.remote_label, "Tuner");
    EXPECT_EQ(match.key_function, 91);
    // A classic code of a built-in remote: the exact remote is passed over.
    match = MatchKey(list, 253128, 179, 204, false);
    EXPECT_EQ(match.remote_label, "LR-SAT");
    EXPECT_EQ(match.key_function, 52);
    EXPECT_EQ(KeyOf(list, "NEC:0x04:0x09"), kNoKeyFunction);
    EXPECT_EQ(KeyOf(list, "NEC:0x05:0x08"), kUnknownRemote);
    for (const auto& record : list) ASSERT_EQ(record->RemoteSave(), kOk);
    for (const auto& [name, text] : files) EXPECT_EQ(Read(name), text) << name;
  }
}

}  // namespace

}  // namespace koru
