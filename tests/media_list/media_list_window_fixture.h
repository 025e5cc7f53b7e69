#pragma once
// A media list window on a list file in a fresh folder, its actions run at once on recording
// fakes and a virtual clock.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <fstream>

#include "actions/actions.h"
#include "media_list/media_entries_view.h"
#include "media_list/media_entry_view.h"
#include "media_list/media_list_messages.h"
#include "media_list/media_list_window.h"
#include "platform/desktop/fake_desktop.h"
#include "platform/files/memory_node.h"
#include "platform/media/fake_media_players.h"
#include "platform/messaging/alert.h"
#include "platform/messaging/clock.h"
#include "settings/prefs.h"
#include "temp_dir.h"
#include "test_files.h"

class MediaWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetThreadClock(&clock_);
    SetAlertPresenter([this](const std::string& text) { alerts_.push_back(text); });
  }
  void TearDown() override {
    delete window_;
    SetAlertPresenter(nullptr);
    SetThreadClock(nullptr);
  }

  std::filesystem::path ListFile() const { return dir_.Path() / "_koru_media_list"; }
  void WriteList(const std::string& text) { std::ofstream(ListFile(), std::ios::binary) << text; }
  // A file the shared MIME database takes for audio (by its name and its contents).
  std::string AudioFile(const std::string& name) {
    const std::filesystem::path path = dir_.Path() / name;
    std::ofstream(path, std::ios::binary)
        << std::string("RIFF\x24\0\0\0WAVEfmt ", 16) << std::string(40, '\0');
    return path.string();
  }

  MediaListWindow* Open() {
    window_ = new MediaListWindow(
        &prefs_, [this](ActionThread::Action action) { action(services_); }, ListFile());
    window_->show();
    return window_;
  }
  MediaEntriesView* View() const { return window_->MediaView(); }
  std::vector<std::string> Shown() const {
    std::vector<std::string> paths;
    for (MediaEntryView* view : View()->EntryViews()) paths.push_back(view->Path());
    return paths;
  }
  void Send(const Message& message) {
    window_->GetMessenger().SendMessage(message);
    Settle();
  }
  // A remote's key to the list (`korukey`, a key function).
  void SendKey(int32_t korukey) {
    Message key(kMediaListKey);
    key.AddInt32("korukey", korukey);
    Send(key);
  }
  static void Settle() {
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  TempDir dir_;
  VirtualClock clock_;
  Prefs prefs_{std::make_shared<MemoryNode>()};
  FakeDesktop desktop_;
  FakeMediaPlayers players_;
  FakeLauncher launcher_;
  ActionServices services_{&desktop_, &players_, nullptr, &launcher_};
  std::vector<std::string> alerts_;
  QPointer<MediaListWindow> window_;
};
