#include "presets/preset_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/files/file_node.h"
#include "platform/files/koru_type.h"
#include "platform/messaging/trace.h"
#include "temp_dir.h"
#include "test_files.h"

namespace koru {

TEST(PresetFile, LinesLandWhereTheirLetterAndNumberPoint) {
  for (const auto& c : ReadTable("presets/data/preset_lines.tsv", 2)) {
    SCOPED_TRACE(c[0]);
    int slot = -1;
    std::string value = "unchanged";
    const bool sets = c[1] == "true";
    EXPECT_EQ(ParsePresetLine(c[0], &slot, &value), sets);
    if (sets) {
      ASSERT_GE(c.size(), 4u);
      EXPECT_EQ(slot, std::stoi(c[2]));
      EXPECT_EQ(value, c[3]);
    }
  }
}

TEST(PresetFile, WritesTheExactLayoutAndReadsItBack) {
  TempDir dir;
  PresetList list = NewPresetList();
  list[0] = "Workspace";
  list[13] = "/boot/home/mail";
  list[21] = "";
  list[39] = "http://example.org";
  list[45] = "-unset- but longer";  // begins with "-unset-": not written
  list[50] = "never written";
  EXPECT_EQ(FormatPresetFile(list), ReadAll(KORU_SOURCE_DIR "/tests/presets/data/written_presets"));

  const auto path = dir.Path() / "_preset_";
  ASSERT_EQ(WritePresetFile(path, list), kOk);
  FileNode node(path);
  EXPECT_EQ(ReadKoruType(node), kKoruPresetFile);
  PresetList back = NewPresetList();
  EXPECT_EQ(ReadPresetFile(path, &back), 4);
  list[45] = list[50] = "-unset-";
  EXPECT_EQ(back, list);
}

TEST(PresetFile, ValuesThatCannotBeReadBackAreNeverWritten) {
  PresetList list = NewPresetList();
  list[1] = std::string(300, 'x');
  list[2] = "it's";
  list[3] = "two\nlines";
  list[4] = "fine";
  list[15] = std::string(244, 'y');  // the longest value whose line reads back whole
  list[16] = std::string(245, 'z');
  TraceCapture trace;
  const std::string text = FormatPresetFile(list);
  EXPECT_EQ(PresetValueProblem(15, list[15]), "");
  EXPECT_EQ(PresetValueProblem(16, list[16]),
            "it is 245 characters long; a preset holds 244 at most");
  EXPECT_TRUE(trace.Contains("preset [N1]:  not written"));
  for (const char* never : {"xxx", "it's", "two", "zzz"})
    EXPECT_EQ(text.find(never), std::string::npos) << never;
  TempDir dir;
  std::ofstream(dir.Path() / "p") << text;
  PresetList back = NewPresetList();
  EXPECT_EQ(ReadPresetFile(dir.Path() / "p", &back), 2) << text;
  list[1] = list[2] = list[3] = list[16] = "-unset-";
  EXPECT_EQ(back, list);
}

TEST(PresetFile, OverlongLinesAreIgnoredWholeAndMissingFilesReported) {
  TempDir dir;
  const auto path = dir.Path() / "hand-made";
  // A hand-edited line of 400 characters must not spill its tail into other slots.
  std::ofstream(path) << "[N1]: '" << std::string(200, 'a') << "[D5]: 'tail'"
                      << std::string(180, 'b') << "'\n[N2]: 'short'\n";
  PresetList list = NewPresetList();
  EXPECT_EQ(ReadPresetFile(path, &list), 1);
  EXPECT_EQ(list[1], "-unset-");
  EXPECT_EQ(list[15], "-unset-");
  EXPECT_EQ(list[2], "short");
  EXPECT_EQ(ReadPresetFile(dir.Path() / "missing", &list), -1);
  EXPECT_EQ(list[2], "short");
}

TEST(PresetFile, ScanFindsOnlyRegularFilesMarkedAsPresets) {
  TempDir dir;
  ASSERT_EQ(WritePresetFile(dir.Path() / "_preset_", NewPresetList()), kOk);
  ASSERT_EQ(WritePresetFile(dir.Path() / "evening", NewPresetList()), kOk);
  std::ofstream(dir.Path() / "AIWA_A") << "remote";
  FileNode remote(dir.Path() / "AIWA_A");
  WriteKoruType(remote, kKoruRemoteFile);
  std::ofstream(dir.Path() / "plain") << "no attribute";
  std::filesystem::create_symlink(dir.Path() / "evening", dir.Path() / "link");
  std::filesystem::create_directory(dir.Path() / "folder");
  std::vector<std::string> names = ScanPresetFiles(dir.Path());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"_preset_", "evening"}));
  EXPECT_TRUE(ScanPresetFiles(dir.Path() / "nothing").empty());
}

}  // namespace koru
