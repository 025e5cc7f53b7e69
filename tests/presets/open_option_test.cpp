// `koru --open preset-editor` as a user starts it (offscreen): the editor opens beside the main
// window and, with no preset file yet, writes the current one.
#include <gtest/gtest.h>

#include "koru_process.h"
#include "test_files.h"

TEST(OpenOption, OpensThePresetEditorAtStartUp) {
  TempDir dir;
  const QString recording = QString("replay:") + KORU_SOURCE_DIR + "/data/nec_leadtek_key1.mode2";
  const KoruRun run =
      RunKoru({"--port", recording, "--exit-after-replay", "--open", "preset-editor"}, dir);
  ASSERT_EQ(run.exit_code, 0) << run.out;
  EXPECT_NE(ReadAll(dir.Path() / "koru" / "_Remotes_" / "_preset_").find("[N0]: 'Workspace'  \n"),
            std::string::npos)
      << run.out;
}
