#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "crash_at_rename.h"
#include "platform/files/data_folder.h"
#include "platform/files/file_node.h"
#include "platform/files/folder_reader.h"
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
  const struct {
    const char *koru_home, *data_home, *config_home, *set, *program, *settings;
  } cases[] = {
      {nullptr, nullptr, nullptr, "", "/home/user/.local/share/koru", "/home/user/.config"},
      {nullptr, "/data", "/cfg", "", "/data/koru", "/cfg"},
      {"/opt/koru", "/data", "/cfg", "/run/here", "/run/here", "/cfg"},
      {"/opt/koru", "/data", "/cfg", "", "/opt/koru", "/cfg"},  // the override given up
  };
  for (const auto& c : cases) {
    ScopedEnv koru("KORU_HOME", c.koru_home), data("XDG_DATA_HOME", c.data_home),
        config("XDG_CONFIG_HOME", c.config_home);
    SetProgramFolder(c.set);
    EXPECT_EQ(ProgramFolder(), c.program);
    EXPECT_EQ(SettingsFolder(), c.settings);
  }
}

TEST(Paths, BootHomeMapsIntoTheHomeFolderOnly) {
  ScopedEnv home("HOME", "/home/user");
  for (const auto& [stored, mapped] :
       {std::pair{"/boot/home/_logfile_KORU_", "/home/user/_logfile_KORU_"},
        {"/boot/home", "/home/user"},
        {"/boot/homework/x", "/boot/homework/x"},
        {"/usr/share/doc", "/usr/share/doc"},
        {"relative", "relative"}})
    EXPECT_EQ(MapStoredPath(stored), mapped);
}

TEST(SafeFile, ReplacesWholeFilesKeepsTheOldOneOnFailureAndNeverWritesThroughALink) {
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

  // A link in the target's place is refused and never written through.
  const auto outside = dir.Path() / "outside";
  std::ofstream(outside) << "precious\n";
  std::filesystem::create_directory(dir.Path() / "folder");
  const auto link = dir.Path() / "folder" / "remote";
  std::filesystem::create_symlink(outside, link);
  EXPECT_EQ(WriteFileSafely(link, "hostile\n"), kNotAllowed);
  EXPECT_EQ(ReadAll(outside), "precious\n");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
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

TEST(KoruFile, AKillAroundTheRenameLeavesTheOldFileOrTheNewMarkedOne) {
  TempDir dir;
  const auto path = dir.Path() / "taught";
  ASSERT_EQ(WriteKoruFile(path, "old\n", kKoruRemoteFile), kOk);

  for (const auto& [die_at, left] :
       {std::pair{DieAt::kBeforeRename, "old\n"}, {DieAt::kAfterRename, "new\n"}}) {
    ASSERT_TRUE(CrashAtRename(1, die_at, [&] { WriteKoruFile(path, "new\n", kKoruRemoteFile); }));
    FileNode node(path);
    EXPECT_EQ(ReadAll(path), left);
    EXPECT_EQ(ReadKoruType(node), kKoruRemoteFile) << left;
  }
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
  TraceCapture trace;
  AnyAlert("only traced", true);
  EXPECT_TRUE(shown.empty());
  AnyAlert("shown", false);
  EXPECT_EQ(shown, "shown");
  SetAlertPresenter(nullptr);
  AnyAlert("no window", false);
  EXPECT_EQ(trace.Text(), "only traced\nshown\nno window\n");
}

// A link at the lock's place is refused in SingleInstanceClaim.ALinkAtTheLockPathRefusesTheStart.
TEST(ProcessLock, OneHolderAtATime) {
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
}

TEST(FolderReader, ListsEntriesWithTheirTypesAndReadsFilesWholeThroughOneDescriptorIfAny) {
  TempDir dir;
  const std::string big(20000, 'x');  // more than one read's first buffer
  std::ofstream(dir.Path() / "big", std::ios::binary) << big;
  std::ofstream(dir.Path() / "empty");
  std::filesystem::create_directory(dir.Path() / "sub");
  std::filesystem::create_symlink("big", dir.Path() / "link");
  FileNode marked(dir.Path() / "big");
  ASSERT_EQ(WriteKoruType(marked, kKoruRemoteFile), kOk);

  FolderReader folder(dir.Path());
  std::map<std::string, FolderReader::EntryType> types;
  for (const auto& entry : folder.Entries()) types[entry.name] = entry.type;
  EXPECT_EQ(types, (std::map<std::string, FolderReader::EntryType>{
                       {"big", FolderReader::EntryType::kRegular},
                       {"empty", FolderReader::EntryType::kRegular},
                       {"link", FolderReader::EntryType::kLink},
                       {"sub", FolderReader::EntryType::kOther}}));

  FolderFile file(folder, "big");
  EXPECT_EQ(ReadKoruType(file.Node()), kKoruRemoteFile);
  std::string text = "stale";
  EXPECT_FALSE(file.ReadAll(big.size() - 1, &text)) << "over the limit";
  EXPECT_TRUE(text.empty());
  FolderFile again(folder, "big");
  ASSERT_TRUE(again.ReadAll(big.size(), &text));
  EXPECT_EQ(text, big);
  FolderFile empty(folder, "empty");
  EXPECT_TRUE(empty.ReadAll(10, &text));
  EXPECT_TRUE(text.empty());

  EXPECT_FALSE(FolderFile(folder, "link").IsOpen()) << "a link is not followed";
  EXPECT_FALSE(FolderFile(folder, "../big").IsOpen());
  EXPECT_FALSE(FolderFile(folder, "gone").ReadAll(10, &text));
  // A FIFO (or a device) is not read, even with something to give: it may never end.
  ASSERT_EQ(mkfifo((dir.Path() / "fifo").c_str(), 0600), 0);
  const int writer = open((dir.Path() / "fifo").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_EQ(write(writer, "data", 4), 4);
  EXPECT_FALSE(FolderFile(folder, "fifo").ReadAll(10, &text)) << text;
  close(writer);

  // A stamp changes with the contents; removal takes the entry away.
  const auto before = folder.StampOf("empty");
  ASSERT_TRUE(before.has_value());
  std::ofstream(dir.Path() / "empty") << "now something";
  EXPECT_NE(folder.StampOf("empty"), before);
  EXPECT_TRUE(folder.Remove("empty"));
  EXPECT_FALSE(folder.Has("empty"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "empty"));
  EXPECT_FALSE(folder.StampOf("empty").has_value());

  FolderReader missing(dir.Path() / "missing");
  EXPECT_TRUE(missing.Entries().empty());
  EXPECT_FALSE(FolderFile(missing, "x").IsOpen());
  EXPECT_FALSE(missing.Remove("x"));
}

// Finding the files KORU ships, from the build folder (the installed layout is checked on the
// extracted package by scripts/package-check.sh).
TEST(DataFolder, NamesAreTakenAsGivenFirstThenLookedUpAmongTheShippedFiles) {
  TempDir dir;
  const std::filesystem::path own = dir.Path() / "demo.mode2";
  std::ofstream(own) << "pulse 1\n";
  const std::filesystem::path source_data = std::filesystem::path(KORU_SOURCE_DIR) / "data";
  const struct {
    std::filesystem::path name;
    std::filesystem::path found;
  } cases[] = {
      {own, own},                                              // an existing file wins
      {"demo.mode2", source_data / "demo.mode2"},              // shipped
      {"no-such.mode2", "no-such.mode2"},                      // reported under its own name
      {dir.Path() / "gone.mode2", dir.Path() / "gone.mode2"},  // absolute: never redirected
  };
  for (const auto& c : cases) EXPECT_EQ(FindDataFile(c.name), c.found) << c.name;
  EXPECT_EQ(DataFolder(), source_data);
}

}  // namespace koru
