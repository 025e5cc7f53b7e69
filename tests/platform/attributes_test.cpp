#include <gtest/gtest.h>

#include <fstream>

#include "platform/files/file_node.h"
#include "platform/files/koru_type.h"
#include "platform/files/memory_node.h"
#include "platform/messaging/trace.h"
#include "temp_dir.h"
#include "test_files.h"

namespace koru {

namespace {

// The same checks for extended attributes and for the sidecar.
using FileNodeTest = ::testing::TestWithParam<bool>;

}  // namespace

TEST_P(FileNodeTest, WritesReadsCutsAndRemovesRawValues) {
  TempDir dir;
  const auto path = dir.Path() / "settings";
  std::ofstream(path) << "";
  FileNode node(path);
  node.UseSidecarOnly(GetParam());
  ASSERT_EQ(node.InitCheck(), kOk);

  int32_t value = 0;
  EXPECT_EQ(node.ReadAttr("PRIORITY", kInt32Type, 0, &value, 4), kEntryNotFound);
  const int32_t priority = 40;
  ASSERT_EQ(node.WriteAttr("PRIORITY", kInt32Type, 0, &priority, 4), 4);
  ASSERT_EQ(node.ReadAttr("PRIORITY", kInt32Type, 0, &value, 4), 4);
  EXPECT_EQ(value, 40);

  const char text[] = "a long text value";
  ASSERT_EQ(node.WriteAttr("Desktop", kStringType, 0, text, sizeof text), ssize_t(sizeof text));
  char small[6];
  ASSERT_EQ(node.ReadAttr("Desktop", kStringType, 0, small, sizeof small), 6);
  EXPECT_EQ(std::string(small, 6), "a long");

  const bool flag = true;
  ASSERT_EQ(node.WriteAttr("use_pimped", kBoolType, 0, &flag, 1), 1);
  EXPECT_EQ(node.ReadAttr("use_pimped", kBoolType, 1, small, 1), kBadValue);  // offset 0 only

  ASSERT_EQ(node.RemoveAttr("PRIORITY"), kOk);
  EXPECT_EQ(node.ReadAttr("PRIORITY", kInt32Type, 0, &value, 4), kEntryNotFound);
  EXPECT_EQ(node.RemoveAttr("PRIORITY"), kEntryNotFound);
  EXPECT_EQ(std::filesystem::exists(node.SidecarPath()), GetParam());

  // A fresh node on the same file sees the same values.
  FileNode again(path);
  again.UseSidecarOnly(GetParam());
  bool read_flag = false;
  EXPECT_EQ(again.ReadAttr("use_pimped", kBoolType, 0, &read_flag, 1), 1);
  EXPECT_TRUE(read_flag);
}

INSTANTIATE_TEST_SUITE_P(XattrAndSidecar, FileNodeTest, ::testing::Values(false, true));

TEST(FileNode, TheSidecarIsNeverWrittenThroughAPlantedLink) {
  TempDir dir;
  const auto outside = dir.Path() / "outside";
  std::filesystem::create_directory(dir.Path() / "folder");
  const auto path = dir.Path() / "folder" / "settings";
  std::ofstream(path) << "";
  FileNode node(path);
  node.UseSidecarOnly(true);
  // Where a temporary of the sidecar used to go, and the sidecar itself.
  for (const auto& link :
       {std::filesystem::path(node.SidecarPath().string() + ".tmp"), node.SidecarPath()}) {
    std::ofstream(outside) << "precious\n";
    std::filesystem::remove(link);
    std::filesystem::create_symlink(outside, link);
    const int32_t value = 7;
    node.WriteAttr("PRIORITY", kInt32Type, 0, &value, sizeof value);
    EXPECT_EQ(ReadAll(outside), "precious\n") << link;
    std::filesystem::remove(link);
  }
}

TEST(FileNode, MissingFileFailsEveryCall) {
  FileNode node("/nonexistent/koru/file");
  int32_t value = 1;
  EXPECT_EQ(node.InitCheck(), kEntryNotFound);
  EXPECT_LT(node.ReadAttr("x", kInt32Type, 0, &value, 4), 0);
  EXPECT_LT(node.WriteAttr("x", kInt32Type, 0, &value, 4), 0);
}

TEST(KoruType, ChangeKoruFiletypeCopiesOnlyAWholeOldMarker) {
  MemoryNode node;
  const int32_t old_kind = 5;
  node.WriteAttr(kOldKoruTypeAttr, kInt32Type, 0, &old_kind, 4);
  {
    TraceCapture trace;
    ChangeKoruFiletype(node);
    EXPECT_EQ(trace.Text(), " changed type  '5' ");
  }
  EXPECT_EQ(ReadKoruType(node), 5);
  EXPECT_TRUE(node.Has(kOldKoruTypeAttr));  // the old marker stays

  MemoryNode short_marker;
  short_marker.SetValue(kOldKoruTypeAttr, {2, 0});
  WriteKoruType(short_marker, 1);
  TraceCapture trace;
  ChangeKoruFiletype(short_marker);
  EXPECT_EQ(trace.Text(), " err  change type ");
  EXPECT_EQ(ReadKoruType(short_marker), 1);

  MemoryNode none;
  ChangeKoruFiletype(none);
  EXPECT_EQ(ReadKoruType(none), 0);
}

}  // namespace koru
