// The launcher tells the user when a file or a URL cannot be opened: the file, the reason and
// what to install or set. xdg-open and xdg-mime are stand-ins on PATH.
#include "platform/launcher/process_launcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <mutex>

#include "platform/messaging/alert.h"
#include "temp_dir.h"

namespace koru {

namespace {

void WriteScript(const std::filesystem::path& path, const std::string& body) {
  std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

TEST(ProcessLauncher, FilesAndUrlsThatCannotBeOpenedAreShownToTheUser) {
  TempDir bin;
  WriteScript(bin.Path() / "xdg-open",
              "echo \"xdg-open: no method available for opening '$1'\" >&2; exit 3");
  WriteScript(bin.Path() / "xdg-mime", "exit 0");  // no default for text/html
  ScopedEnv path("PATH", bin.Path().c_str());

  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<std::string> alerts;
  SetAlertPresenter([&](const std::string& text) {
    std::lock_guard lock(mutex);
    alerts.push_back(text);
    arrived.notify_all();
  });
  ProcessLauncher launcher;
  const struct {
    std::function<status_t()> open;
    const char* shown;
  } cases[] = {
      {[&] { return launcher.OpenWithPreferredApp("/x/notes.txt"); },
       "Cannot open '/x/notes.txt' (text/plain): xdg-open: no method available for opening "
       "'/x/notes.txt'\nInstall an application for text/plain files, or choose one with: "
       "xdg-mime default APPLICATION.desktop text/plain"},
      {[&] { return launcher.OpenUrl("https://example.org/"); },
       "Cannot open 'https://example.org/': no web browser is set for text/html.\nInstall a web "
       "browser, or choose one with: xdg-settings set default-web-browser APPLICATION.desktop"},
  };
  for (const auto& c : cases) {
    c.open();
    std::unique_lock lock(mutex);
    // xdg-open is waited for on a thread of the launcher's; the minute only stops a hang.
    arrived.wait_for(lock, std::chrono::minutes(1), [&] { return !alerts.empty(); });
    ASSERT_EQ(alerts.size(), 1u) << c.shown;
    EXPECT_EQ(alerts[0], c.shown);
    alerts.clear();
  }
  SetAlertPresenter(nullptr);
}

}  // namespace

}  // namespace koru
