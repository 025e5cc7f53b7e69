#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

#include "platform/files/folder_reader.h"
#include "platform/messaging/trace.h"
#include "remote_folder.h"
#include "remotes/remote_folder_index.h"

namespace koru {

namespace {

class RemoteFolderIndexTest : public RemoteFolderTest {
 protected:
  RemoteList Scan() const {
    RemoteDefinition library(folder_);
    RemoteList list;
    library.LookForRemotes(&list);
    return list;
  }
};

constexpr const char* kClassic =
    "; - \n[ComName] Tv\n[ComHead] 255127\n[ComByte] 23\n[ComData] 11,12,13,0,250250,\n";
constexpr const char* kExact =
    "; - \n[ComName] Tuner\n[ComHead] NEC:0x04\n[ComByte] 40\n"
    "[ComData] -,0x08,RC-5:0x1F:0x0C,0x0A,\n";

// Files are kept in the index once they are older than the grain of the file system's clock.
void LetTheClockPassTheFiles() {
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
}

// Everything a record holds that a scan fills.
std::string Describe(const RemoteDefinition& record) {
  std::string text = record.name_ + " " + std::to_string(record.header_) + " " +
                     std::to_string(record.mode_) + " " + ExactField(record.ExactHead());
  for (int32_t k = 1; k <= kKeySlots; ++k) text += "," + std::to_string(record.Slot(k));
  for (int32_t f = kFirstKeyFunction; f < kLastKeyFunction; ++f)
    if (const auto code = record.ExactKey(f))
      text += " " + std::to_string(f) + "=" + ExactField(*code);
  return text;
}

std::vector<std::string> Describe(const RemoteList& list) {
  std::vector<std::string> all;
  for (const auto& record : list) all.push_back(Describe(*record));
  std::sort(all.begin(), all.end());
  return all;
}

std::optional<int32_t> FindInIndex(const std::filesystem::path& folder, const std::string& name,
                                   RemoteDefinition* record) {
  FolderReader reader(folder);
  RemoteFolderIndex index(reader);
  const auto stamp = reader.StampOf(name);
  return stamp ? index.Find(name, *stamp, record) : std::nullopt;
}

TEST_F(RemoteFolderIndexTest, UnchangedFilesComeFromTheIndexAsTheFilesWouldGiveThem) {
  Write("Tv", kClassic);
  Write("Tuner", kExact);
  Write("_Chart.html", "<html/>", kKoruChartFile);
  Write("README", "not ours", 0);
  LetTheClockPassTheFiles();
  const std::vector<std::string> read = Describe(Scan());
  ASSERT_EQ(read.size(), 2u);
  ASSERT_TRUE(std::filesystem::exists(folder_ / RemoteFolderIndex::kFileName));

  RemoteDefinition tv, tuner;
  EXPECT_EQ(FindInIndex(folder_, "Tv", &tv), kKoruRemoteFile);
  EXPECT_EQ(FindInIndex(folder_, "Tuner", &tuner), kKoruRemoteFile);
  EXPECT_EQ(FindInIndex(folder_, "_Chart.html", nullptr), kKoruChartFile);
  EXPECT_EQ(FindInIndex(folder_, "README", nullptr), std::nullopt) << "unmarked: traced each scan";
  EXPECT_TRUE(tuner.IsExact());
  std::vector<std::string> found{Describe(tv), Describe(tuner)};
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, read);
  EXPECT_EQ(Describe(Scan()), read);

  // A change of contents, of the kind or a new file under the name is read from the file.
  std::ofstream(folder_ / "Tv", std::ios::app) << "; a comment\n";
  EXPECT_EQ(FindInIndex(folder_, "Tv", nullptr), std::nullopt);
  FileNode node(folder_ / "Tuner");
  WriteKoruType(node, kKoruChartFile);
  std::filesystem::remove(folder_ / "_Chart.html");
  Write("_Chart.html", "<html/>", kKoruRemoteFile);
  const RemoteList changed = Scan();
  ASSERT_EQ(changed.size(), 2u);  // Tv and the new _Chart.html; Tuner is a chart now
  EXPECT_NE(RemoteDefinition::FindRemote(&changed, "_Chart.html"), nullptr);
  EXPECT_EQ(RemoteDefinition::FindRemote(&changed, "Tuner"), nullptr);
}

TEST_F(RemoteFolderIndexTest, FilesOlderThanTheScanAreKeptTracedAlikeAndRemovedOnesLeave) {
  Write("Tv", kClassic);
  Write("Old", kClassic);
  Write("Info", "[RemInfo] a remote with a note\n[ComHead] 1\n[ComByte] 3\n[ComData] 5,\n");
  Write("README", "not ours", 0);
  Scan();  // the files changed as the scan began: read again next time
  EXPECT_EQ(FindInIndex(folder_, "Tv", nullptr), std::nullopt);
  LetTheClockPassTheFiles();
  std::filesystem::remove(folder_ / RemoteFolderIndex::kFileName);
  RemoteDefinition reader(folder_);
  reader.writes_index_ = false;  // a scan that only reads writes no index
  RemoteList list;
  EXPECT_EQ(reader.LookForRemotes(&list), 3);
  EXPECT_FALSE(std::filesystem::exists(folder_ / RemoteFolderIndex::kFileName));
  std::string traced[2];  // without the index, and with it
  for (std::string& text : traced) {
    TraceCapture trace;
    Scan();
    text = trace.Text();
  }
  EXPECT_EQ(traced[1], traced[0]);
  EXPECT_NE(traced[0].find("RemInfo: ' a remote with a note'"), std::string::npos) << traced[0];
  EXPECT_NE(traced[0].find("OOPS 'README'"), std::string::npos) << traced[0];
  EXPECT_EQ(FindInIndex(folder_, "Tv", nullptr), kKoruRemoteFile);

  const size_t with_both = Read(RemoteFolderIndex::kFileName).size();
  std::filesystem::remove(folder_ / "Old");
  EXPECT_EQ(Scan().size(), 2u);
  EXPECT_LT(Read(RemoteFolderIndex::kFileName).size(), with_both);
  EXPECT_EQ(FindInIndex(folder_, "Tv", nullptr), kKoruRemoteFile);
}

TEST_F(RemoteFolderIndexTest, ADamagedIndexIsIgnoredAndWrittenAgain) {
  Write("Tv", kClassic);
  Write("Tuner", kExact);
  LetTheClockPassTheFiles();
  const std::vector<std::string> read = Describe(Scan());
  const std::string whole = Read(RemoteFolderIndex::kFileName);
  std::vector<std::string> damaged = {
      whole.substr(0, whole.size() - 3), "garbage\n",
      whole.substr(0, 40) + std::string(8, '\xff') + whole.substr(48)};
  // One flipped bit anywhere: most still parse, and could turn a key's code into another.
  for (size_t at = 0; at < whole.size(); at += 7) {
    damaged.push_back(whole);
    damaged.back()[at] ^= static_cast<char>(1 << (at % 8));
  }
  for (const std::string& bad : damaged) {
    std::ofstream(folder_ / RemoteFolderIndex::kFileName, std::ios::binary) << bad;
    EXPECT_EQ(Describe(Scan()), read);
    EXPECT_EQ(Read(RemoteFolderIndex::kFileName), whole);
  }
}

}  // namespace

}  // namespace koru
