// The settings page's switch opens and closes the lircd socket and is stored; a stored switch
// opens it at start-up.
#include <QCheckBox>
#include <filesystem>

#include "shell/application_messages.h"
#include "shell_fixture.h"
#include "toolkit/mnemonics.h"

TEST_F(ShellTest, TheLircdSwitchServesClientsOnTheDefaultSocketAndIsStored) {
  const std::filesystem::path runtime = home_.Path() / "run";
  std::filesystem::create_directories(runtime);
  ScopedEnv env("XDG_RUNTIME_DIR", runtime.c_str());
  const std::filesystem::path socket = runtime / "koru" / "lircd";
  Start();
  Post(kShowSettings);
  auto* check = Find<QCheckBox>("ScbL");
  ASSERT_NE(check, nullptr);
  EXPECT_EQ(WithoutMnemonic(check->text()), "Serve LIRC clients (lircd socket)");
  EXPECT_FALSE(check->isChecked());
  EXPECT_FALSE(std::filesystem::exists(socket));

  check->click();
  EXPECT_TRUE(Settings()->lircd_socket);
  EXPECT_EQ(std::filesystem::status(socket).type(), std::filesystem::file_type::socket);
  EXPECT_EQ(std::filesystem::status(runtime / "koru").permissions(),
            std::filesystem::perms::owner_all);
  check->click();
  EXPECT_FALSE(Settings()->lircd_socket);
  EXPECT_FALSE(std::filesystem::exists(socket));

  // Stored on: the next start serves at once, and the page shows it.
  Settings()->lircd_socket = true;
  app_.reset();
  Start();
  EXPECT_TRUE(std::filesystem::exists(socket));
  Post(kShowSettings);
  EXPECT_TRUE(Find<QCheckBox>("ScbL")->isChecked());
  app_.reset();
  EXPECT_FALSE(std::filesystem::exists(socket));
}
