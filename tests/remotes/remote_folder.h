#pragma once
// A remote folder of each test's own, in a temporary folder removed after the test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/files/file_node.h"
#include "platform/files/koru_type.h"
#include "remotes/remote_definition.h"
#include "temp_dir.h"

class RemoteFolderTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directory(folder_); }

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

  TempDir dir_;
  const std::filesystem::path folder_ = dir_.Path() / "_Remotes_";
};
