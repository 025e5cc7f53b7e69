// "File" > "Import LIRC remote...": the chosen configuration becomes a remote file, and the
// menus and the chart know the new remote at once, as after a teach-in.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QMenu>
#include <QProgressDialog>

#include "platform/messaging/alert.h"
#include "platform/messaging/trace.h"
#include "routing/routing_messages.h"
#include "shell/application_messages.h"
#include "shell_fixture.h"
#include "test_files.h"
#include "toolkit/menu_field.h"
#include "toolkit/message_action.h"
#include "toolkit/mnemonics.h"

namespace {

// How many descriptors of this process have `path` open.
int OpenCount(const std::filesystem::path& path) {
  int count = 0;
  std::error_code error;
  for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd", error))
    if (std::filesystem::read_symlink(fd.path(), error) == path) ++count;
  return count;
}

TEST_F(ShellTest, ALircRemoteIsImportedFromTheFileMenuAndJoinsEveryRemoteMenu) {
  Start();
  std::vector<std::string> alerts;
  SetAlertPresenter([&](const std::string& text) { alerts.push_back(text); });
  TraceCapture trace;

  // Cancelled: nothing happens.
  Window()->SetLircFileChooser([] { return std::vector<std::string>{}; });
  QAction* item = FindMenuItem(FileMenu(), kImportLircRemote);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(WithoutMnemonic(item->text()), "Import LIRC remote...");
  item->trigger();
  Settle();
  EXPECT_TRUE(alerts.empty());

  // Through a FIFO whose writer is slow: the import waits for it off the GUI thread, with a
  // progress dialog, and the window goes on meanwhile.
  const std::filesystem::path fifo = home_.Path() / "slow.conf";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int writer = open(fifo.c_str(), O_RDWR | O_CLOEXEC);
  const std::string text = ReadAll(KORU_SOURCE_DIR "/tests/shell/data/imported_nec.conf");
  ASSERT_EQ(write(writer, text.data(), text.size()), ssize_t(text.size()));
  Window()->SetLircFileChooser([&] { return std::vector<std::string>{fifo.string()}; });
  item->trigger();
  // The importer has the FIFO open and waits for its end: the writer is still there.
  SettleUntil([&] { return OpenCount(fifo) >= 2; });
  Settle();
  EXPECT_TRUE(alerts.empty());
  EXPECT_NE(Window()->findChild<QProgressDialog*>("LircImportProgress"), nullptr);
  close(writer);
  SettleUntil([&] { return !alerts.empty(); });
  SetAlertPresenter(nullptr);
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_NE(alerts[0].find("Imported_NEC: 2 keys imported into 'Imported_NEC' (exact codes)"),
            std::string::npos)
      << alerts[0];
  EXPECT_NE(alerts[0].find("no KORU key function (1): KEY_RED"), std::string::npos);
  EXPECT_NE(ReadAll(Program() / "_Remotes_" / "Imported_NEC").find("[ComByte] 40"),
            std::string::npos);
  EXPECT_NE(FindMenuItem(Find<MenuField>("vaMF")->Menu(), QString("Imported_NEC")), nullptr);
  EXPECT_NE(ReadAll(Program() / "_Remotes_" / "_Chart.html").find("Imported_NEC"),
            std::string::npos);
  EXPECT_TRUE(item->isEnabled());

  // While a remote is taught the import waits.
  Post(kTeachStart);
  EXPECT_FALSE(item->isEnabled());
}

TEST_F(ShellTest, AKernelKeymapIsImportedFromTheFileMenuBesideTheLircImport) {
  Start();
  std::vector<std::string> alerts;
  SetAlertPresenter([&](const std::string& text) { alerts.push_back(text); });
  TraceCapture trace;
  const std::string keymap = KORU_SOURCE_DIR "/tests/shell/data/tv.toml";
  Window()->SetLircFileChooser([&] { return std::vector<std::string>{keymap}; });
  QAction* item = FindMenuItem(FileMenu(), kImportKernelKeymap);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(WithoutMnemonic(item->text()), "Import kernel keymap…");
  item->trigger();
  SettleUntil([&] { return !alerts.empty(); });
  SetAlertPresenter(nullptr);
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_NE(alerts[0].find("TV_box: 2 keys imported into 'TV_box' (exact codes)\n"
                           "Card: not imported, the protocol 'unknown' is not one KORU decodes\n"
                           "1 kernel keymap imported\n"),
            std::string::npos)
      << alerts[0];
  EXPECT_NE(FindMenuItem(Find<MenuField>("vaMF")->Menu(), QString("TV_box")), nullptr);
}

}  // namespace
