#include "media_list/media_file_list.h"

#include <gtest/gtest.h>

#include <fstream>

#include "media_list/media_file_kind.h"
#include "platform/messaging/trace.h"
#include "temp_dir.h"
#include "test_files.h"

namespace koru {

namespace {

using Entries = std::vector<std::string>;

class MediaFileListTest : public ::testing::Test {
 protected:
  std::filesystem::path File() const { return dir_.Path() / "_koru_media_list"; }
  void Write(const std::string& text) { std::ofstream(File(), std::ios::binary) << text; }
  // A list built and loaded from the file, as the window does it.
  std::unique_ptr<MediaFileList> Loaded() {
    auto list = std::make_unique<MediaFileList>(File());
    list->DoWithMediaFiles(MediaFileList::kBuild, "", -1);
    list->DoWithMediaFiles(MediaFileList::kLoad, "", -1);
    return list;
  }

  TempDir dir_;
};

const char kWritten[] = "; - \n; - KORU / MEDIA-FILES \n; - \n/m/a.ogg\n/m/b.ogg\n; - \n";

}  // namespace

TEST_F(MediaFileListTest, LoadKeepsEveryPathLineAndNothingElse) {
  const std::string long_path = "/m/" + std::string(1100, 'x') + ".ogg";
  const std::tuple<const char*, std::string, Entries> cases[] = {
      {"only comments", "; - \n; - KORU / MEDIA-FILES \n# mine\n; - \n", {}},
      {"written form", kWritten, {"/m/a.ogg", "/m/b.ogg"}},
      {"hash comments, CR line ends",
       "# top\r\n/m/a.ogg\r\n#/m/x.ogg\r\n/m/b.ogg\r\n",
       {"/m/a.ogg", "/m/b.ogg"}},
      {"no final line feed", "/m/a.ogg\n/m/b.ogg", {"/m/a.ogg", "/m/b.ogg"}},
      {"blank lines name no file", "\n/m/a.ogg\n\r\n\n", {"/m/a.ogg"}},
      {"a comment sign inside a path", "/m/;a#.ogg\n", {"/m/;a#.ogg"}},
      {"a line longer than 1024 characters", long_path + "\n/m/b.ogg\n", {long_path, "/m/b.ogg"}},
  };
  for (const auto& [name, text, entries] : cases) {
    Write(text);
    auto list = Loaded();
    EXPECT_EQ(list->Entries(), entries) << name;
    EXPECT_FALSE(list->Changed()) << name;
  }
}

TEST_F(MediaFileListTest, AMissingFileLoadsEmptyAddingTwiceListsOnceAndSavingWritesTheWrittenForm) {
  MediaFileList list(File());
  TraceCapture trace;
  EXPECT_NE(list.DoWithMediaFiles(MediaFileList::kAdd, "/m/a.ogg", -1), kOk);
  EXPECT_EQ(trace.Text(), " oops NO mflist\n") << "without a list nothing happens";
  list.DoWithMediaFiles(MediaFileList::kBuild, "", -1);
  EXPECT_NE(list.DoWithMediaFiles(MediaFileList::kLoad, "", -1), kOk);
  EXPECT_TRUE(trace.Contains(File().string() + "' OpenError!"));
  EXPECT_TRUE(list.Entries().empty());
  EXPECT_EQ(list.DoWithMediaFiles(MediaFileList::kAdd, "/m/a.ogg\n", -1), kOk);
  list.DoWithMediaFiles(MediaFileList::kAdd, "/m/b.ogg", -1);
  list.DoWithMediaFiles(MediaFileList::kAdd, "/m/a.ogg", -1);
  EXPECT_TRUE(trace.Contains("Allways in List:\n/m/a.ogg"));
  EXPECT_EQ(list.Entries(), (Entries{"/m/a.ogg", "/m/b.ogg"}));
  EXPECT_EQ(list.DoWithMediaFiles(MediaFileList::kSave, "", -1), kOk);
  EXPECT_EQ(ReadAll(File()), kWritten);
  EXPECT_FALSE(list.Changed());
}

TEST_F(MediaFileListTest, RemovingByPathRemovesEveryEntryWithItAndNothingOutsideTheList) {
  Write("/m/a.ogg\n/m/b.ogg\n/m/a.ogg\n/m/c.ogg\n");
  auto list = Loaded();
  int refreshed = 0;
  list->SetHooks({.refresh = [&] { ++refreshed; }});
  TraceCapture trace;
  EXPECT_NE(list->DoWithMediaFiles(MediaFileList::kRemove, "/m/x.ogg", -1), kOk);
  EXPECT_EQ(list->DoWithMediaFiles(MediaFileList::kDeleteEntry, "--", 5), kBadIndex);
  EXPECT_TRUE(trace.Contains(" DeleteX 5 >> entry not found"));
  EXPECT_FALSE(list->Changed());
  EXPECT_EQ(list->DoWithMediaFiles(MediaFileList::kRemove, "/m/a.ogg", -1), kOk);
  EXPECT_EQ(list->Entries(), (Entries{"/m/b.ogg", "/m/c.ogg"}));
  EXPECT_EQ(refreshed, 1);
  EXPECT_TRUE(list->Changed());
}

TEST_F(MediaFileListTest, EditingSavesPendingChangesBeforeTheEditorOpens) {
  Write("/m/a.ogg\n");
  auto list = Loaded();
  std::string file_when_opened;
  status_t editor = kOk;
  list->SetHooks({.edit = [&](const std::string& file) {
    file_when_opened = ReadAll(file);
    return editor;
  }});
  list->DoWithMediaFiles(MediaFileList::kAdd, "/m/b.ogg", -1);
  TraceCapture trace;
  EXPECT_EQ(list->DoWithMediaFiles(MediaFileList::kEditFile, "--", 0), kOk);
  EXPECT_EQ(file_when_opened, kWritten);
  EXPECT_TRUE(trace.Contains("[open][" + File().string() + "]"));

  editor = kError;
  EXPECT_EQ(list->DoWithMediaFiles(MediaFileList::kEditFile, "--", 0), kError);
  EXPECT_TRUE(trace.Contains(" oops: couldn't execute "));
}

TEST_F(MediaFileListTest, AnEditOnDiskIsReloadedAndAnUnchangedListNeverOverwritten) {
  Write(kWritten);
  auto list = Loaded();
  int refreshed = 0;
  list->SetHooks({.refresh = [&] { ++refreshed; }});
  EXPECT_FALSE(list->ReloadIfChangedOnDisk());

  list->DoWithMediaFiles(MediaFileList::kDeleteEntry, "--", 0);
  list->DoWithMediaFiles(MediaFileList::kSave, "", -1);
  EXPECT_FALSE(list->ReloadIfChangedOnDisk()) << "its own save is no edit";

  // Unchanged since, it is not written again: its comments and line ends stay.
  const std::string edited = "# edited by hand\n/m/z.ogg\r\n/m/b.ogg\n; the end\n";
  Write(edited);
  refreshed = 0;
  EXPECT_TRUE(list->ReloadIfChangedOnDisk());
  EXPECT_EQ(list->Entries(), (Entries{"/m/z.ogg", "/m/b.ogg"}));
  EXPECT_EQ(refreshed, 1);
  TraceCapture trace;
  EXPECT_EQ(list->DoWithMediaFiles(MediaFileList::kSave, "", -1), kOk);
  EXPECT_TRUE(trace.Contains(" mflist not changed-not saved"));
  EXPECT_EQ(ReadAll(File()), edited);
}

TEST(MediaFileKindTest, AudioAndVideoTypesAreAcceptedAndNothingElse) {
  for (const auto& row : ReadTable("media_list/data/media_kinds.tsv", 2))
    EXPECT_EQ(MediaKindOfType(row[0]), row[1] == "audio"   ? kAudioFile
                                       : row[1] == "video" ? kVideoFile
                                                           : kNoMediaFile)
        << row[0];
}

TEST(MediaFileKindTest, AFolderPictureIsFoundInItsOrder) {
  TempDir dir;
  EXPECT_TRUE(FolderPictureFile(dir.Path()).empty());
  for (const char* name : {"cover.png", "cover.jpg", "folder.jpg", "Folder.jpg"}) {
    std::ofstream(dir.Path() / name) << "x";
    EXPECT_EQ(FolderPictureFile(dir.Path()), dir.Path() / name);
  }
}

}  // namespace koru
