#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <map>

#include "platform/files/folder_reader.h"
#include "platform/files/koru_type.h"
#include "temp_dir.h"

namespace koru {

namespace {

TEST(FolderReader, ListsEntriesWithTheirTypesAndReadsFilesWholeThroughOneDescriptor) {
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
}

TEST(FolderReader, AMissingFolderHasNoEntries) {
  TempDir dir;
  FolderReader folder(dir.Path() / "missing");
  EXPECT_TRUE(folder.Entries().empty());
  EXPECT_FALSE(FolderFile(folder, "x").IsOpen());
  EXPECT_FALSE(folder.Remove("x"));
}

}  // namespace

}  // namespace koru
