// LIRC in the main window. "File" > "Import LIRC remote...": the chosen configuration becomes a
// remote file, and the menus and the chart know the new remote at once, as after a teach-in.
// The settings page's switch opens and closes the lircd socket and is stored; a stored switch
// opens it at start-up.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProgressDialog>

#include "shell_fixture.h"

namespace koru {

namespace {

// How many descriptors of this process have `path` open.
int OpenCount(const std::filesystem::path& path) {
  int count = 0;
  std::error_code error;
  for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd", error))
    count += std::filesystem::read_symlink(fd.path(), error) == path;
  return count;
}

TEST_F(ShellTest, ALircRemoteAndAKernelKeymapAreImportedFromTheFileMenuAndJoinEveryRemoteMenu) {
  Start();
  TraceCapture trace;
  // Cancelled: nothing happens.
  Window()->SetLircFileChooser([] { return std::vector<std::string>{}; });
  QAction* item = FindMenuItem(FileMenu(), kImportLircRemote);
  ASSERT_NE(item, nullptr);
  item->trigger();
  Settle();
  EXPECT_TRUE(alerts_.empty());

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
  EXPECT_TRUE(alerts_.empty());
  EXPECT_NE(Window()->findChild<QProgressDialog*>("LircImportProgress"), nullptr);
  close(writer);
  SettleUntil([&] { return !alerts_.empty(); });
  EXPECT_EQ(alerts_, std::vector<std::string>{
                         "Imported_NEC: 2 keys imported into 'Imported_NEC' (exact codes)\n"
                         "  no KORU key function (1): KEY_RED\n1 LIRC remote imported\n"});
  EXPECT_NE(ReadAll(Program() / "_Remotes_" / "Imported_NEC").find("[ComByte] 40"),
            std::string::npos);
  EXPECT_NE(FindMenuItem(Find<MenuField>("vaMF")->Menu(), QString("Imported_NEC")), nullptr);
  EXPECT_NE(ReadAll(Program() / "_Remotes_" / "_Chart.html").find("Imported_NEC"),
            std::string::npos);
  EXPECT_TRUE(item->isEnabled());

  // A kernel keymap, beside it.
  Window()->SetLircFileChooser(
      [] { return std::vector<std::string>{KORU_SOURCE_DIR "/tests/shell/data/tv.toml"}; });
  alerts_.clear();
  FindMenuItem(FileMenu(), kImportKernelKeymap)->trigger();
  SettleUntil([&] { return !alerts_.empty(); });
  EXPECT_EQ(alerts_, std::vector<std::string>{
                         "TV_box: 2 keys imported into 'TV_box' (exact codes)\n"
                         "Card: not imported, the protocol 'unknown' is not one KORU decodes\n"
                         "1 kernel keymap imported\n"});
  EXPECT_NE(FindMenuItem(Find<MenuField>("vaMF")->Menu(), QString("TV_box")), nullptr);

  // While a remote is taught the import waits.
  Post(kTeachStart);
  EXPECT_FALSE(item->isEnabled());
}

TEST_F(ShellTest, TheLircdSwitchServesClientsOnTheDefaultSocketAndIsStored) {
  const std::filesystem::path runtime = home_.Path() / "run";
  std::filesystem::create_directories(runtime);
  ScopedEnv env("XDG_RUNTIME_DIR", runtime.c_str());
  const std::filesystem::path socket = runtime / "koru" / "lircd";
  Start();
  Post(kShowSettings);
  EXPECT_EQ(Texts("ScbL"), "Serve LIRC clients (lircd socket)");
  for (const bool on : {true, false}) {
    EXPECT_NE(Find<QCheckBox>("ScbL")->isChecked(), on);
    EXPECT_NE(std::filesystem::exists(socket), on);
    Find<QCheckBox>("ScbL")->click();
    EXPECT_EQ(Settings()->lircd_socket, on);
    EXPECT_EQ(std::filesystem::exists(socket), on);
  }
  Find<QCheckBox>("ScbL")->click();
  EXPECT_EQ(std::filesystem::status(socket).type(), std::filesystem::file_type::socket);
  EXPECT_EQ(std::filesystem::status(runtime / "koru").permissions(),
            std::filesystem::perms::owner_all);

  // Stored on: the next start serves at once, and the page shows it.
  app_.reset();
  EXPECT_FALSE(std::filesystem::exists(socket));
  Start();
  EXPECT_TRUE(std::filesystem::exists(socket));
  Post(kShowSettings);
  EXPECT_TRUE(Find<QCheckBox>("ScbL")->isChecked());
  app_.reset();
  EXPECT_FALSE(std::filesystem::exists(socket));
}

}  // namespace

}  // namespace koru
