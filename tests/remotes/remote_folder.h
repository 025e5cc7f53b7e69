#pragma once
// The remote folder is process-wide and set once; every test of this binary shares one
// temporary folder and empties it first.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/files/file_node.h"
#include "platform/files/koru_type.h"
#include "remotes/remote_definition.h"
#include "temp_dir.h"

inline const std::filesystem::path& TestRemoteFolder() {
  static TempDir dir;
  static const std::filesystem::path folder = [] {
    const auto path = dir.Path() / "_Remotes_";
    std::filesystem::create_directory(path);
    RemoteDefinition::SetFolder(path);
    return path;
  }();
  return folder;
}

// Sets the folder before any test runs, whatever the filter or order.
class RemoteFolderEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { TestRemoteFolder(); }
};
inline ::testing::Environment* const kRemoteFolderEnvironment =
    ::testing::AddGlobalTestEnvironment(new RemoteFolderEnvironment);

class RemoteFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = TestRemoteFolder();
    // A record constructed before the folder was set would point into the user's home.
    ASSERT_EQ(RemoteDefinition::Folder(), folder_);
    for (const auto& entry : std::filesystem::directory_iterator(folder_))
      std::filesystem::remove_all(entry.path());
  }

  std::string Read(const std::string& name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  void Write(const std::string& name, const std::string& text, int32_t kind = kKoruRemoteFile) {
    std::ofstream(folder_ / name, std::ios::binary) << text;
    if (kind != 0) {
      FileNode node(folder_ / name);
      WriteKoruType(node, kind);
    }
  }

  // The folder's entries, without the index of its files that a scan may have written.
  long FileCount() const {
    long count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder_))
      count += entry.path().filename() != ".koru-remote-index";
    return count;
  }

  std::filesystem::path folder_;
};
