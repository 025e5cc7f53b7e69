// The program started with its media list open, as `koru --open media-list` does it.
#include <gtest/gtest.h>

#include <fstream>

#include "koru_process.h"
#include "test_files.h"

TEST(MediaListProgram, OpensTheListAtStartAndLeavesAnUnchangedFileAlone) {
  TempDir dir;
  const std::string mine = "# mine\n/m/a.ogg\n/m/b.ogg\n";
  std::ofstream(dir.Path() / "_koru_media_list") << mine;
  const std::string key = std::string(KORU_SOURCE_DIR) + "/data/nec_leadtek_key1.mode2";
  const KoruRun run = RunKoru({"--open", "media-list", "--port",
                               QString::fromStdString("replay:" + key), "--exit-after-replay"},
                              dir);
  ASSERT_EQ(run.exit_code, 0) << run.out;
  EXPECT_NE(run.out.find(" ::CheckFolderImages \n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\n ~MEDIAWin  goodbye \n"), std::string::npos) << run.out;
  EXPECT_EQ(ReadAll(dir.Path() / "_koru_media_list"), mine);
}
