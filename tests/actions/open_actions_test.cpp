#include <fstream>

#include "action_fixture.h"
#include "table_cells.h"
#include "temp_dir.h"
#include "test_files.h"

namespace koru {

namespace {

using OpenActionsTest = ActionTest;

TEST(CutUrl, FindsAndCutsTheUrl) {
  for (const auto& row : ReadTable("actions/data/urls.tsv", 2))
    EXPECT_EQ(CutUrl(Unescaped(row[0])), row[1]) << row[0];
}

TEST_F(OpenActionsTest, UrlGoesToTheBrowserAsOneArgument) {
  IOpenThisUrl(services, "go to http://x/'a';b now", false);
  EXPECT_EQ(clock.Now(), 1'000'000 + 1000 + 2'000'000);
  EXPECT_EQ(desktop.calls, (std::vector<std::string>{"fmf 0"}));
  IOpenThisUrl(services, "https://example.org/page?q=1", false);
  EXPECT_EQ(launcher.calls,
            (std::vector<std::string>{"url http://x/'a';b", "url https://example.org/page?q=1"}));
}

TEST_F(OpenActionsTest, UrlAlerts) {
  // A short address is said only when asked; a text without one always.
  IOpenThisUrl(services, "http", true);
  IOpenThisUrl(services, "http", false);
  IOpenThisUrl(services, "abcde", false);
  EXPECT_EQ(alerts,
            (std::vector<std::string>{"URL to Short!", "abcde \n -- no http or file:/.. "}));
  EXPECT_TRUE(launcher.calls.empty());

  launcher.result = kEntryNotFound;
  IOpenThisUrl(services, "http://x", false);
  EXPECT_TRUE(trace.Contains(" oops: couldn't execute :\n[open]http://x \n"));
}

TEST_F(OpenActionsTest, FilesFoldersAndExecutablesAlsoUnderTheStoredHome) {
  TempDir dir;
  ScopedEnv home("HOME", dir.Path().c_str());
  const auto write = [&](const char* name, const std::string& contents, int mode) {
    std::filesystem::path path = dir.Path() / name;
    std::ofstream(path, std::ios::binary) << contents;
    std::filesystem::permissions(path, std::filesystem::perms(mode));
    return path.string();
  };
  std::string document = write("it's; a doc.txt", "text", 0644);
  std::string program = write("prog", "\177ELF\002\001", 0755);
  std::string script = write("script.sh", "#!/bin/sh\n", 0755);
  std::string elf_not_executable = write("lib.so", "\177ELF", 0644);
  const std::pair<std::string, std::string> cases[] = {
      {document, "open " + document},
      {dir.Path().string(), "open " + dir.Path().string()},
      {program, "exec " + program},
      {script, "open " + script},
      {elf_not_executable, "open " + elf_not_executable},
      {"/boot/home/it's; a doc.txt", "open " + document},
  };
  for (const auto& [path, call] : cases) {
    launcher.calls.clear();
    bigtime_t start = clock.Now();
    IOpenThisFile(services, path, true);
    EXPECT_EQ(launcher.calls, (std::vector<std::string>{call}));
    EXPECT_EQ(clock.Now() - start, 1000 + 120'000);
  }
  EXPECT_TRUE(alerts.empty());

  // A missing file is said only when asked.
  launcher.calls.clear();
  IOpenThisFile(services, "/nowhere/x", false);
  EXPECT_TRUE(alerts.empty());
  IOpenThisFile(services, "/nowhere/x", true);
  EXPECT_EQ(alerts, (std::vector<std::string>{"/nowhere/x\n ..File not found :("}));
  EXPECT_TRUE(launcher.calls.empty());
}

}  // namespace

}  // namespace koru
