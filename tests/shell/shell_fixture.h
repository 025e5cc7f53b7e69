#pragma once
// A main window (through the application object) on a fresh program folder and settings
// folder, offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <chrono>
#include <memory>
#include <thread>

#include "fake_receiver_devices.h"
#include "platform/desktop/fake_desktop.h"
#include "platform/files/paths.h"
#include "platform/media/fake_media_players.h"
#include "receiver/receiver_flags.h"
#include "routing/code_text.h"
#include "settings/label_table.h"
#include "settings/prefs.h"
#include "shell/koru_application.h"
#include "shell/main_window.h"
#include "temp_dir.h"

// Readable failure messages for Qt texts.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

class ShellTest : public ::testing::Test {
 protected:
  // One program folder for the whole test program, emptied before each test; the windows are
  // handed its remote folder, as main() hands them the program's.
  static const std::filesystem::path& ProgramHome() {
    static TempDir dir;  // removed when the process ends
    return dir.Path();
  }
  static std::filesystem::path Program() { return ProgramHome() / "koru"; }

  void SetUp() override {
    std::error_code error;
    std::filesystem::remove_all(Program(), error);
    SetProgramFolder(Program());
    setup_.remote_folder = Program() / "_Remotes_";
    SetReceiverDevices(devices_);
    // The actions act on recording fakes: a test never touches the desktop it runs on.
    setup_.services = [this] {
      DesktopServices services;
      auto desktop = std::make_unique<FakeDesktop>();
      desktop->Activate("application/x-vnd.linux-gedit");
      desktop->report = desktop_report_;
      desktop_ = desktop.get();
      auto players = std::make_unique<FakeMediaPlayers>();
      players_ = players.get();
      auto mixer = std::make_unique<FakeMixer>();
      mixer_ = mixer.get();
      auto launcher = std::make_unique<FakeLauncher>();
      launcher_ = launcher.get();
      services.desktop = std::move(desktop);
      services.players = std::move(players);
      services.mixer = std::move(mixer);
      services.launcher = std::move(launcher);
      return services;
    };
    ReloadLabelCatalogue();
  }
  void TearDown() override {
    app_.reset();
    ForgetSettings();
    SetProgramFolder({});
    SetReceiverDevices(nullptr);
  }
  void Start() {
    setup_.settings = Settings();
    app_ = std::make_unique<KoruApplication>(setup_);
  }
  // The settings store on the settings file, opened on first use, as the program opens it.
  Prefs* Settings() {
    if (!settings_) settings_ = Prefs::OpenSettingsFile();
    return settings_.get();
  }
  // Writes the settings back and forgets them, as the program does when it ends.
  void ForgetSettings() { settings_.reset(); }
  MainWindow* Window() { return app_->GetMainWindow(); }
  template <typename T>
  T* Find(const char* name) {
    return Window()->findChild<T*>(name);
  }
  void Post(uint32_t what) {
    Message message(what);
    Window()->MessageReceived(&message);
  }
  // A receiver report, a key of a remote, to the main window; its action has run on return.
  void Report(const std::string& blink) {
    Window()->ReceiverReported(ReportOf(blink));
    Window()->WaitForActions();
  }
  void Key(int header, int byte2, int byte3 = 0) { Report(CodeText(header, byte2, byte3)); }
  static void Settle() { QApplication::processEvents(); }
  // Lets the event loop turn until `done` holds: work off the GUI thread reports through it.
  template <typename Done>
  static bool SettleUntil(Done done) {
    for (int turn = 0; turn < 60000 && !done(); ++turn) {
      Settle();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
  }
  QMenu* IconMenu() { return Window()->findChild<QMenu*>("IconMenu"); }
  QMenu* FileMenu() { return Window()->findChild<QMenu*>("File"); }
  QMenu* ViewMenu() { return Window()->findChild<QMenu*>("View"); }

  std::shared_ptr<FakeReceiverDevices> devices_ =
      std::make_shared<FakeReceiverDevices>(std::vector<std::string>{"serial2", "usb1"});
  WindowSetup setup_;
  TempDir home_;
  ScopedEnv config_{"XDG_CONFIG_HOME", (home_.Path() / "config").c_str()};
  std::unique_ptr<Prefs> settings_;
  std::unique_ptr<KoruApplication> app_;
  DesktopReport desktop_report_;  // what the fake desktop says it can do
  FakeDesktop* desktop_ = nullptr;
  FakeMediaPlayers* players_ = nullptr;
  FakeMixer* mixer_ = nullptr;
  FakeLauncher* launcher_ = nullptr;
};
