#pragma once
// A main window (through the application object) on a fresh program folder and settings
// folder, offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "fake_receiver_devices.h"
#include "platform/paths.h"
#include "receiver/receiver_flags.h"
#include "shell/fb_application.h"
#include "shell/label_table.h"
#include "shell/prefs.h"
#include "shell/rc_window.h"
#include "temp_dir.h"

// Readable failure messages for Qt texts.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

class ShellTest : public ::testing::Test {
 protected:
  // One program folder for the whole test program, emptied before each test: the remote
  // folder is fixed for the life of a process, as in the program.
  static const std::filesystem::path& ProgramHome() {
    static TempDir dir;  // removed when the process ends
    return dir.Path();
  }
  static std::filesystem::path Program() { return ProgramHome() / "koru"; }

  void SetUp() override {
    std::error_code error;
    std::filesystem::remove_all(Program(), error);
    SetProgramFolder(Program());
    SetReceiverDevices(devices_);
    CHECK_SCAN_IR = 0;
    SCAN_CONTINOUS = 1;
    SLOWDOWN_GLOBAL = false;
    ReloadLabelCatalogue();
  }
  void TearDown() override {
    app_.reset();
    if (Prefs* prefs = Prefs::getSTPrefs()) prefs->DeleteMe();
    SetProgramFolder({});
    SetReceiverDevices(nullptr);
  }
  void Start() { app_ = std::make_unique<FbApplication>(); }
  RcWindow* Window() { return app_->MainWindow(); }
  template <typename T>
  T* Find(const char* name) {
    return Window()->findChild<T*>(name);
  }
  void Post(uint32_t what) {
    Message message(what);
    Window()->MessageReceived(&message);
  }
  static void Settle() { QApplication::processEvents(); }

  std::shared_ptr<FakeReceiverDevices> devices_ =
      std::make_shared<FakeReceiverDevices>(std::vector<std::string>{"serial2", "usb1"});
  TempDir home_;
  ScopedEnv config_{"XDG_CONFIG_HOME", (home_.Path() / "config").c_str()};
  std::unique_ptr<FbApplication> app_;
};
