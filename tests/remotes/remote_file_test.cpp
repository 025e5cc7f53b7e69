#include <gtest/gtest.h>

#include <string>

#include "platform/messaging/trace.h"
#include "remote_folder.h"
#include "remotes/key_match.h"
#include "remotes/remote_definition.h"
#include "table_cells.h"
#include "test_files.h"

namespace koru {

namespace {

using RemoteFile = RemoteFolderTest;

std::string DataLine(const std::string& values) {
  return "[ComHead] 175084\n[ComByte] 23\n[ComData] " + values + "\n";
}

TEST_F(RemoteFile, RoundTripKeepsHeaderModeAndFortyNineSlots) {
  RemoteDefinition saved(folder_);
  saved.name_ = "Round";
  saved.header_ = 213042;
  saved.mode_ = 23;
  for (int32_t k = 1; k <= kKeySlots; ++k) saved.SetSlot(k, k * 5003);
  ASSERT_EQ(saved.RemoteSave(), kOk);

  const auto loaded = Load("Round");
  EXPECT_EQ(loaded->name_, "Round");
  EXPECT_EQ(loaded->header_, 213042);
  EXPECT_EQ(loaded->mode_, 23);
  for (int32_t k = 1; k < kKeySlots; ++k) EXPECT_EQ(loaded->Slot(k), k * 5003) << k;
  EXPECT_EQ(loaded->Slot(kKeySlots), 0);
}

TEST_F(RemoteFile, DataValuesOutOfRangeEndTheSlotList) {
  for (const auto& row : ReadTable("remotes/data/data_values.tsv", 3)) {
    Write("Range", DataLine(row[0]));
    RemoteDefinition record(folder_);
    for (int32_t k = 1; k <= kKeySlots; ++k) record.SetSlot(k, 77);
    TraceCapture trace;
    record.RemoteLoad("Range");
    std::vector<int32_t> got, expected = CellNumbers<int32_t>(row[1]);
    for (int32_t k = 1; k <= kKeySlots; ++k) got.push_back(record.Slot(k));
    expected.resize(kKeySlots, 0);
    EXPECT_EQ(got, expected) << row[0];
    EXPECT_EQ(trace.Contains(" FILL UP REST..\n"), row[2] == "1") << row[0];
  }
}

TEST_F(RemoteFile, FileNameWinsOverComNameAndRemInfoIsOnlyTraced) {
  Write("Real",
        "[ComName] Other\n[RemInfo] made by hand\n[ComHead] 12\n[ComByte] 2\n"
        "[ComData] 4,\n\t\n;[ComHead] 99\nxComByte] 7\n");
  TraceCapture trace;
  const auto record = Load("Real");
  EXPECT_EQ(record->name_, "Real");
  EXPECT_EQ(record->header_, 12);
  EXPECT_EQ(record->mode_, 7);  // any one character may stand before the tag
  EXPECT_EQ(record->Slot(1), 4);
  EXPECT_TRUE(trace.Contains(" 'Real' RemInfo: ' made by hand'\n"));
  EXPECT_TRUE(trace.Contains(" too long.. \n"));
}

TEST_F(RemoteFile, MalformedFilesLoadWithoutHarm) {
  std::string junk;
  for (int i = 0; i < 5000; ++i) junk += static_cast<char>((i * 7919) % 256);
  const std::string huge_line = "[ComData] " + std::string(3000, '9') + "," + "\n";
  const std::string long_values = "[ComData] " + std::string(600, ' ') + "5,6,\n";
  const std::string cases[] = {
      junk,
      huge_line,
      long_values,
      "[ComData]\n[ComHead]\n[RemInfo]\n",
      std::string("[ComData] 1,\0,3,\n", 17),
  };
  for (const std::string& text : cases) {
    Write("Junk", text);
    TraceCapture trace;
    const auto record = Load("Junk");
    for (int32_t k = 1; k <= kKeySlots; ++k) {
      EXPECT_GE(record->Slot(k), 0);
      EXPECT_LE(record->Slot(k), kLargestSlotValue);
    }
  }
}

TEST_F(RemoteFile, UnnamedUnfinishedUnsafeAndTakenNamesAreNeverWritten) {
  // A folder in a file's place cannot be replaced by a file, nor can a file of another kind.
  std::filesystem::create_directory(folder_ / "Kept");
  Write("Kept/inside", "old\n", 0);
  Write("MyPresets", "; -- KORU numpad-preset: \n", kKoruPresetFile);
  Write("MyLayout", "layout\n", kKoruLayoutFile);
  for (const auto& row : ReadTable("remotes/data/unsaved_names.tsv", 2)) {
    RemoteDefinition record(folder_);
    record.name_ = row[0];
    TraceCapture trace;
    EXPECT_NE(record.RemoteSave(), kOk) << row[0];
    EXPECT_TRUE(trace.Contains(Unescaped(row[1]))) << row[0];
    EXPECT_FALSE(trace.Contains("Save-Remote")) << row[0];
  }
  EXPECT_EQ(Read("Kept/inside"), "old\n");
  EXPECT_EQ(Read("MyPresets"), "; -- KORU numpad-preset: \n");
  EXPECT_EQ(Read("MyLayout"), "layout\n");
  FileNode preset(folder_ / "MyPresets");
  EXPECT_EQ(ReadKoruType(preset), kKoruPresetFile);
  EXPECT_EQ(FileCount(), 3) << "nothing written, no temporary file left";
  EXPECT_FALSE(std::filesystem::exists(folder_.parent_path() / "escape"));
}

TEST_F(RemoteFile, ARecordWithoutAFolderNeitherReadsNorWritesAFile) {
  // Without a folder a name would be a path relative to the working directory.
  Write("Loose", DataLine("5,6,"));
  const std::filesystem::path was = std::filesystem::current_path();
  std::filesystem::current_path(folder_);
  RemoteDefinition record;
  record.RemoteLoad("Loose");
  record.name_ = "Written";
  const status_t saved = record.RemoteSave();
  RemoteList list;
  EXPECT_EQ(record.LoadRemoteLibrary(&list), 0);
  EXPECT_NE(record.WriteKeysChart(&list, 0), kOk);
  EXPECT_NE(record.WriteCodesChart(&list, 0), kOk);
  std::filesystem::current_path(was);
  EXPECT_EQ(record.Slot(1), 0);
  EXPECT_NE(saved, kOk);
  EXPECT_EQ(FileCount(), 1) << "only the file the test wrote";
}

TEST(RemoteRecord, ExistValueFindsTheLowestSlotWithinRange) {
  const auto record = Remote("", 0, 0, {{4, 256255}, {7, 12}, {9, 12}});
  TraceCapture trace;
  EXPECT_EQ(record->KeyFunctionOfCode(12), 57);
  EXPECT_EQ(record->KeyFunctionOfCode(256255), 54);
  for (const int32_t code : {13, 0, -5, 256256})
    EXPECT_EQ(record->KeyFunctionOfCode(code), kNoKeyFunction) << code;
  record->check_sum_ = 999;  // slot 50 is searched like the others
  EXPECT_EQ(record->KeyFunctionOfCode(999), 100);
}

TEST(RemoteRecord, FindRemoteReturnsTheLastOfDuplicatesAndSkipsEmptyItems) {
  RemoteList list;
  EXPECT_EQ(RemoteDefinition::FindRemote(&list, "A"), nullptr);
  EXPECT_EQ(RemoteDefinition::FindRemote(nullptr, "A"), nullptr);
  for (const char* name : {"A", "A", "B"}) list.push_back(Remote(name));
  list.push_back(nullptr);
  EXPECT_EQ(RemoteDefinition::FindRemote(&list, "A"), list[1].get());
  EXPECT_EQ(RemoteDefinition::FindRemote(&list, "B"), list[2].get());
  EXPECT_EQ(RemoteDefinition::FindRemote(&list, "a"), nullptr);
}

TEST(KeyMatch, WalkFromTheLastRecordWithCarriedKeyValue) {
  RemoteList list;
  list.push_back(Remote("OneByte", 255108, 2, {{1, 191}, {2, 42}}));
  list.push_back(Remote("Other", 111111, 2, {{1, 191}}));
  list.push_back(Remote("TwoByte", 255108, 23, {{5, 191064}}));
  list.push_back(Remote("Later", 255108, 2, {{3, 191}}));
  list.push_back(nullptr);

  for (const auto& row : ReadTable("remotes/data/key_matches.tsv", 5)) {
    const KeyMatch match =
        MatchKey(list, CellNumber(row[0]), CellNumber(row[1]), CellNumber(row[2]), row[3] == "1");
    EXPECT_EQ(std::to_string(match.key_function) + " " + match.remote_label + " " +
                  match.key_label + " " + std::to_string(match.key_value),
              row[4])
        << row[0] << "/" << row[1];
    EXPECT_EQ(match.found, match.key_function > kUnknownRemote);
  }
}

TEST(KeyMatch, RecordOfTheMatchOrTheFirstOfTheList) {
  RemoteList list;
  list.push_back(Remote("First", 1, 2, {{1, 5}}));
  list.push_back(Remote("Second", 2, 2, {{1, 5}}));
  TraceCapture trace;
  KeyMatch match = MatchKey(list, 2, 5, 0, false);
  EXPECT_EQ(match.remote, list[1].get());
  EXPECT_TRUE(trace.Contains(" ask Remote: 2   Key:5|0  \n"));
  match = MatchKey(list, 3, 5, 0, false);
  EXPECT_EQ(match.remote, list[0].get());
  EXPECT_FALSE(match.shown_value);
  match = MatchKey(RemoteList{}, 3, 5, 0, false);
  EXPECT_EQ(match.remote, nullptr);
  EXPECT_EQ(match.remote_label, "-unknown-");
  EXPECT_EQ(match.key_function, kUnknownRemote);
}

}  // namespace

}  // namespace koru
