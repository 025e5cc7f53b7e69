#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/alert.h"
#include "platform/paths.h"
#include "platform/safe_file.h"
#include "platform/trace.h"
#include "temp_dir.h"
#include "test_files.h"

TEST(Paths, ProgramFolderFollowsOverrideThenKoruHomeThenXdg) {
  ScopedEnv home("HOME", "/home/user");
  ScopedEnv koru("KORU_HOME", nullptr);
  ScopedEnv data("XDG_DATA_HOME", nullptr);
  ScopedEnv config("XDG_CONFIG_HOME", nullptr);
  EXPECT_EQ(ProgramFolder(), "/home/user/.local/share/koru");
  EXPECT_EQ(SettingsFolder(), "/home/user/.config");
  {
    ScopedEnv xdg("XDG_DATA_HOME", "/data");
    ScopedEnv xdg_config("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(ProgramFolder(), "/data/koru");
    EXPECT_EQ(SettingsFolder(), "/cfg");
    ScopedEnv koru_home("KORU_HOME", "/opt/koru");
    EXPECT_EQ(ProgramFolder(), "/opt/koru");
    SetProgramFolder("/run/here");
    EXPECT_EQ(ProgramFolder(), "/run/here");
    SetProgramFolder({});
    EXPECT_EQ(ProgramFolder(), "/opt/koru");
  }
}

TEST(Paths, BootHomeMapsIntoTheHomeFolderOnly) {
  ScopedEnv home("HOME", "/home/user");
  EXPECT_EQ(MapStoredPath("/boot/home/_logfile_KORU_"), "/home/user/_logfile_KORU_");
  EXPECT_EQ(MapStoredPath("/boot/home"), "/home/user");
  EXPECT_EQ(MapStoredPath("/boot/homework/x"), "/boot/homework/x");
  EXPECT_EQ(MapStoredPath("/usr/share/doc"), "/usr/share/doc");
  EXPECT_EQ(MapStoredPath("relative"), "relative");
}

TEST(SafeFile, ReplacesWholeFilesAndKeepsTheOldOneOnFailure) {
  TempDir dir;
  const auto path = dir.Path() / "remote";
  ASSERT_EQ(WriteFileSafely(path, "first\n"), kOk);
  ASSERT_EQ(WriteFileSafely(path, "second\n"), kOk);
  EXPECT_EQ(ReadAll(path), "second\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

  // A target that cannot be replaced (a non-empty folder) fails and leaves no temp file.
  std::filesystem::create_directory(dir.Path() / "busy");
  std::ofstream(dir.Path() / "busy" / "x") << "x";
  EXPECT_NE(WriteFileSafely(dir.Path() / "busy", "data"), kOk);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
  EXPECT_NE(WriteFileSafely("/nonexistent/dir/file", "data"), kOk);
}

TEST(SafeFile, FileNamesNeverLeaveTheirFolder) {
  for (const char* bad : {"", ".", "..", "a/b", "../x", "/etc"})
    EXPECT_FALSE(IsSafeFileName(bad)) << bad;
  for (const char* good : {"AIWA_A", "my remote", ".hidden", "a..b"})
    EXPECT_TRUE(IsSafeFileName(good)) << good;
}

TEST(Alert, EveryAlertIsTracedAndOnlyShownAlertsReachThePresenter) {
  std::string shown;
  SetAlertPresenter([&](const std::string& text) { shown = text; });
  {
    TraceCapture trace;
    AnyAlert("only traced", true);
    EXPECT_EQ(trace.Text(), "only traced\n");
    EXPECT_TRUE(shown.empty());
    AnyAlert("shown", false);
    EXPECT_EQ(shown, "shown");
    EXPECT_EQ(trace.Text(), "only traced\nshown\n");
  }
  SetAlertPresenter(nullptr);
  TraceCapture trace;
  AnyAlert("no window", false);
  EXPECT_EQ(trace.Text(), "no window\n");
}
