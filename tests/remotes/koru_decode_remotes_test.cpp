// koru-decode --remotes and koru-encode as programs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "remote_folder.h"
#include "remotes/remote_definition.h"
#include "run_tool.h"
#include "table_cells.h"

namespace koru {

namespace {

// The " remote=... key=..." ends of the report lines ("" for lines without).
std::vector<std::string> Matches(const std::string& out) {
  std::vector<std::string> matches;
  for (const std::string& line : CellList(out, '\n')) {
    const auto at = line.find(" remote=");
    matches.push_back(at == std::string::npos ? "" : line.substr(at + 1));
  }
  return matches;
}

const std::string kDemo = KORU_SOURCE_DIR "/data/demo.mode2";

// What the demo's report lines match among the built-in remotes: the start report reaches no
// matching, and the held key at the end is reported again after the resume.
const std::vector<std::string> kDemoKeys =
    Matches(ReadAll(KORU_SOURCE_DIR "/tests/remotes/data/demo_keys.txt"));

using KoruDecodeRemotes = RemoteFolderTest;

// The remotes written to a folder: UsersRemotesEncodeAndDecodeBackExactOnesMatchedFirst.
TEST_F(KoruDecodeRemotes, DemoKeysFromBuiltInRemotesAndWithoutRemotesLinesStayAsTheyAre) {
  ToolRun result = RunTool("koru-decode", "--remotes builtin " + kDemo);
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(Matches(result.out), kDemoKeys);
  result = RunTool("koru-decode", kDemo);
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(Matches(result.out), std::vector<std::string>(kDemoKeys.size(), ""));
}

TEST_F(KoruDecodeRemotes, UsersRemotesEncodeAndDecodeBackExactOnesMatchedFirst) {
  RemoteDefinition library(folder_);
  library.SaveBuiltInRemotes();
  RemoteDefinition mine(folder_);
  mine.name_ = "My Remote";
  mine.header_ = 200123;
  mine.mode_ = 23;
  mine.SetSlot(4, 17230);  // N3
  ASSERT_EQ(mine.RemoteSave(), kOk);
  SaveExact("Tuner", "Kaseikyo:0x20020100:0x00",
            {{65, "Kaseikyo:0x20020100:0x3D"}, {66, "Kaseikyo:0x20020100:0x3E"}});  // Vol+, Vol-
  // Presses of the remotes' keys (koru-encode sends an exact remote's keys as exact codes).
  const std::string remotes = "--remotes " + folder_.string() + " ";
  std::string recordings;
  for (const char* key : {"'My Remote' N3", "--jitter 200 Tuner Vol+", "--jitter 200 Tuner Vol-"}) {
    const std::string path =
        (folder_.parent_path() / (std::to_string(recordings.size()) + ".mode2")).string();
    ASSERT_EQ(RunTool("koru-encode", remotes + key + " > '" + path + "'").exit_code, 0) << key;
    recordings += " '" + path + "'";
  }
  EXPECT_EQ(RunTool("koru-encode", remotes + "Tuner N1").exit_code, 1);
  // The two keys share one classic code: only their exact codes tell them apart.
  const ToolRun result = RunTool("koru-decode", remotes + recordings);
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(Matches(result.out),
            (std::vector<std::string>{"", "remote=My Remote key=N3", "remote=Tuner key=Vol+",
                                      "remote=Tuner key=Vol-"}))
      << result.out;
  EXPECT_NE(result.out.find(" exact=Kaseikyo:0x20020100:0x3D remote="), std::string::npos);
  // The classic remotes are matched as before with the exact one in the folder.
  EXPECT_EQ(Matches(RunTool("koru-decode", remotes + kDemo).out), kDemoKeys);
  EXPECT_FALSE(std::filesystem::exists(folder_ / ".koru-remote-index"))
      << "the tools only read the folders they are given";
}

TEST(KoruEncode, RefusesWhatItCannotSend) {
  for (const auto& row : ReadTable("remotes/data/koru_encode_runs.tsv", 2)) {
    const ToolRun result = RunTool("koru-encode", row[0]);
    EXPECT_EQ(result.exit_code, CellNumber(row[1])) << row[0];
    EXPECT_EQ(result.out.empty(), row[1] != "0") << row[0];
    EXPECT_TRUE(result.out.starts_with(row.size() > 2 ? row[2] : "")) << row[0];
  }
  const ToolRun held = RunTool("koru-encode", "Sony618 Mute --hold 2");
  EXPECT_NE(held.out.find("(long code, frames 3)"), std::string::npos) << held.out;
}

TEST(KoruEncode, ExactCodesDecodeBackUnderJitter) {
  TempDir dir;
  const std::string press = "'" + (dir.Path() / "press.mode2").string() + "'";
  for (const std::string field :
       {"NEC:0x04:0x08", "Sony20:0x1A05:0x3C", "Kaseikyo:0x20020102:0x3D"}) {
    ASSERT_EQ(
        RunTool("koru-encode", "--exact " + field + " --hold 2 --jitter 200 --seed 9 > " + press)
            .exit_code,
        0);
    EXPECT_NE(RunTool("koru-decode", press).out.find(" exact=" + field + "\n"), std::string::npos)
        << field;
  }
}

}  // namespace

}  // namespace koru
