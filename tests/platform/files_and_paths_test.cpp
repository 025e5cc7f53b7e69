#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "crash_at_rename.h"
#include "platform/files/file_node.h"
#include "platform/files/koru_type.h"
#include "platform/files/paths.h"
#include "platform/files/process_lock.h"
#include "platform/files/safe_file.h"
#include "platform/messaging/alert.h"
#include "platform/messaging/trace.h"
#include "temp_dir.h"
#include "test_files.h"

namespace koru {

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

TEST(SafeFile, UserNamedFilesNeverLeaveTheirFolderNorTakeTheNameOfKorusOwn) {
  for (const char* bad : {"", ".", "..", "a/b", "../x", "/etc", ".hidden", ".x.koru-attr",
                          "_preset_", "_LAYOUT_", "_Chart.html", "_ChartData.html"})
    EXPECT_FALSE(IsSafeFileName(bad)) << bad;
  for (const char* good : {"AIWA_A", "my remote", "a..b", "_preset_2", "Chart.html"})
    EXPECT_TRUE(IsSafeFileName(good)) << good;
  EXPECT_TRUE(IsPlainFileName(".hidden"));
  EXPECT_FALSE(IsPlainFileName("a/b"));
}

TEST(SafeFile, ALinkInTheTargetsPlaceIsRefusedAndNeverWrittenThrough) {
  TempDir dir;
  const auto outside = dir.Path() / "outside";
  std::ofstream(outside) << "precious\n";
  std::filesystem::create_directory(dir.Path() / "folder");
  const auto link = dir.Path() / "folder" / "remote";
  std::filesystem::create_symlink(outside, link);
  EXPECT_EQ(WriteFileSafely(link, "hostile\n"), kNotAllowed);
  EXPECT_EQ(ReadAll(outside), "precious\n");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
}

TEST(KoruFile, AKillAroundTheRenameLeavesTheOldFileOrTheNewMarkedOne) {
  TempDir dir;
  const auto path = dir.Path() / "taught";
  ASSERT_EQ(WriteKoruFile(path, "old\n", kKoruRemoteFile), kOk);

  ASSERT_TRUE(CrashAtRename(1, DieAt::kBeforeRename,
                            [&] { WriteKoruFile(path, "new\n", kKoruRemoteFile); }));
  FileNode old_node(path);
  EXPECT_EQ(ReadAll(path), "old\n");
  EXPECT_EQ(ReadKoruType(old_node), kKoruRemoteFile);

  ASSERT_TRUE(CrashAtRename(1, DieAt::kAfterRename,
                            [&] { WriteKoruFile(path, "new\n", kKoruRemoteFile); }));
  FileNode new_node(path);
  EXPECT_EQ(ReadAll(path), "new\n");
  EXPECT_EQ(ReadKoruType(new_node), kKoruRemoteFile);
}

TEST(SafeFile, TemporariesLeftByAKillAreRemovedAndNothingElse) {
  TempDir dir;
  ASSERT_TRUE(CrashAtRename(1, DieAt::kBeforeRename, [&] {
    WriteKoruFile(dir.Path() / "taught", "new\n", kKoruRemoteFile);
  }));
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    left.push_back(entry.path().filename().string());
  ASSERT_EQ(left.size(), 1u);
  EXPECT_TRUE(IsKoruTemporary(left[0])) << left[0];
  EXPECT_TRUE(IsKoruTemporary("." + left[0] + ".koru-attr"));  // its sidecar

  // What is not a temporary of ours stays: a user's files, and a link named like one.
  for (const char* keep : {".hidden", "notes.koru-tmp.abcdef", ".x.koru-tmp.abc"})
    std::ofstream(dir.Path() / keep) << "keep";
  std::filesystem::create_symlink(dir.Path() / ".hidden", dir.Path() / ".y.koru-tmp.AbC123");
  EXPECT_EQ(RemoveLeftoverTemporaries(dir.Path(), "other"), 0);
  EXPECT_EQ(RemoveLeftoverTemporaries(dir.Path()), 1);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 4);
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / left[0]));
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

TEST(ProcessLock, OneHolderAtATimeAndNeverThroughALink) {
  TempDir dir;
  const std::string path = (dir.Path() / "instance.lock").string();
  ProcessLock first(path);
  ProcessLock second(path);
  ASSERT_EQ(first.TryLock(), ProcessLock::kLocked);
  EXPECT_EQ(second.TryLock(), ProcessLock::kTaken);
  first.Unlock();
  EXPECT_EQ(second.TryLock(), ProcessLock::kLocked) << "a lock given up is free again";
  {
    ProcessLock ended(path);
    second.Unlock();
    ASSERT_EQ(ended.TryLock(), ProcessLock::kLocked);
  }  // gone with its holder, as when the process ends
  EXPECT_EQ(first.TryLock(), ProcessLock::kLocked);
  first.Unlock();
  EXPECT_FALSE(std::filesystem::exists(path)) << "earlier versions would take it as held";

  // A link planted where the lock belongs is neither followed nor taken.
  const std::filesystem::path target = dir.Path() / "someone_elses";
  const std::filesystem::path planted = dir.Path() / "planted.lock";
  std::filesystem::create_symlink(target, planted);
  ProcessLock through_link(planted.string());
  EXPECT_EQ(through_link.TryLock(), ProcessLock::kLink);
  EXPECT_FALSE(std::filesystem::exists(target));
}

}  // namespace koru
