// The preset editor offscreen, opened through the application beside the main window: its
// messages in, the fields, buttons and file out, and the main window acting on what was saved.
#include "presets/preset_editor_window.h"

#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>

#include "platform/files/file_node.h"
#include "platform/files/koru_type.h"
#include "platform/messaging/alert.h"
#include "presets/preset_binding_view.h"
#include "presets/preset_messages.h"
#include "routing/routing_messages.h"
#include "shell/shell_fixture.h"
#include "test_files.h"

namespace {

using Answer = SaveQuestion::Answer;

class PresetEditorTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    SetAlertPresenter([this](const std::string& text) { alerts_.push_back(text); });
  }
  void TearDown() override {
    SetAlertPresenter(nullptr);
    ShellTest::TearDown();
  }
  // Opens the editor as the main window's "Preset edit" does.
  PresetEditorWindow* Open() {
    Post(kEditPresets);
    Settle();
    return dynamic_cast<PresetEditorWindow*>(app_->PresetEditor());
  }
  static void Edit(PresetEditorWindow* editor, int32_t slot, int32_t modus,
                   const char* path = nullptr) {
    Message edit(kPresetEntryEdited);
    edit.AddInt32("e_nr", slot);
    edit.AddInt32("e_modus", modus);
    edit.AddInt32("e_grp", slot / 10 * 10);
    if (path != nullptr) edit.AddString("e_path", path);
    editor->MessageReceived(&edit);
  }
  static void Send(PresetEditorWindow* editor, uint32_t what) {
    Message message(what);
    editor->MessageReceived(&message);
  }
  static QString Shown(PresetEditorWindow* editor, int slot) { return editor->Field(slot)->text(); }
  static bool SaveEnabled(PresetEditorWindow* editor) {
    return editor->findChild<QPushButton*>("save")->isEnabled();
  }
  // A drag from a file manager: it enters the field, then drops.
  static void Drop(PresetBindingView* field, QMimeData* data) {
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &drop);
    Settle();
  }
  // Lets a closed editor be deleted and its last messages arrive.
  static void SettleClose() {
    Settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Settle();
  }
  std::filesystem::path PresetPath(const char* name = "_preset_") {
    std::filesystem::create_directories(Program() / "_Remotes_");
    return Program() / "_Remotes_" / name;
  }

  static void MarkAsPresetFile(const std::filesystem::path& path) {
    FileNode node(path);
    WriteKoruType(node, kKoruPresetFile);
  }

  std::vector<std::string> alerts_;
};

TEST_F(PresetEditorTest, OpeningCreatesAMissingCurrentFileWithWorkspacesOnTheDigits) {
  Start();
  ASSERT_FALSE(std::filesystem::exists(PresetPath()));
  PresetEditorWindow* editor = Open();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->findChild<QLabel*>("nameOfPreset")->text(), "_preset_");
  const std::string text = ReadAll(PresetPath());
  EXPECT_EQ(std::count(text.begin(), text.end(), '['), 10) << text;
  EXPECT_NE(text.find("[N0]: 'Workspace'  \n"), std::string::npos) << text;
  EXPECT_NE(text.find("[N9]: 'Workspace'  \n; --  \n"), std::string::npos) << text;
  FileNode node(PresetPath());
  EXPECT_EQ(ReadKoruType(node), kKoruPresetFile);

  EXPECT_EQ(Shown(editor, 9), "Workspace");
  EXPECT_EQ(Shown(editor, 10), "-unset-");
  EXPECT_FALSE(SaveEnabled(editor));
  EXPECT_FALSE(editor->findChild<QPushButton*>("reload")->isEnabled());
  // One preset file: nothing to choose from.
  EXPECT_FALSE(editor->findChild<QToolButton*>("pfMF")->isVisible());

  auto* tabs = editor->findChild<QTabWidget*>("tab_view");
  const QStringList labels = {"Default", "DesktopRemote", "AppRemote", "AudioRemote",
                              "VideoRemote"};
  for (int tab = 0; tab < 5; ++tab) EXPECT_EQ(tabs->tabText(tab), labels[tab]);

  // "Preset edit" again brings the same editor forward.
  EXPECT_EQ(Open(), editor);
}

TEST_F(PresetEditorTest, EditRequestsChangeTheirSlotAndOnlyRealEditsOfferSaving) {
  const struct {
    const char* what;
    int32_t slot, modus;
    const char* path;
    const char* value;  // nullptr: the slot keeps "-unset-"
    bool modified;
  } cases[] = {
      {"paste before any copy stores an empty value", 12, 2, nullptr, "", true},
      {"copy alone changes nothing", 12, 1, nullptr, nullptr, false},
      {"workspace", 45, 3, nullptr, "Workspace", true},
      {"a dropped path", 33, 5, "/home/user/Music", "/home/user/Music", true},
      {"a drop request without a path", 33, 5, nullptr, nullptr, false},
      {"an unknown request", 12, 4, nullptr, nullptr, false},
      {"slot 50 has no field", 50, 3, nullptr, nullptr, false},
      {"slot -1", -1, 3, nullptr, nullptr, false},
  };
  std::ofstream(PresetPath()) << "[D2]: 'x'\n";
  Start();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PresetEditorWindow* editor = Open();
    ASSERT_NE(editor, nullptr);
    Edit(editor, c.slot, c.modus, c.path);
    const int slot = std::clamp(c.slot, 0, 49);
    if (c.value != nullptr) {
      EXPECT_EQ(editor->Presets()[slot], c.value);
      EXPECT_EQ(Shown(editor, slot).toStdString(), c.value);
    }
    if (c.slot == 50) {
      EXPECT_EQ(editor->Presets()[50], "-unset-");
    }
    EXPECT_EQ(editor->IsModified(), c.modified);
    EXPECT_EQ(SaveEnabled(editor), c.modified);
    editor->Question().SetNextAnswer(Answer::kDiscard);
    editor->close();
    SettleClose();
  }
}

TEST_F(PresetEditorTest, CopyPasteAndClearMoveValuesBetweenSlotsAndRestoreUndoes) {
  std::ofstream(PresetPath()) << "[D2]: 'http://example.org/'\n[A7]: 'Workspace'\n";
  Start();
  PresetEditorWindow* editor = Open();
  Edit(editor, 12, 1);
  Edit(editor, 40, 2);
  Edit(editor, 37, 0);
  EXPECT_EQ(Shown(editor, 40), "http://example.org/");
  EXPECT_EQ(Shown(editor, 37), "-unset-");
  EXPECT_TRUE(SaveEnabled(editor));
  Send(editor, kRestorePresets);
  EXPECT_EQ(Shown(editor, 40), "-unset-");
  EXPECT_EQ(Shown(editor, 37), "Workspace");
  EXPECT_FALSE(SaveEnabled(editor));
}

TEST_F(PresetEditorTest, ValuesThePresetFileCannotHoldAreRefusedWithTheReason) {
  const struct {
    std::string path;
    const char* reason;
  } refused[] = {
      {"/home/user/it's here", "holds a quote"},
      {"/home/user/two\nlines", "holds a line break"},
      {"/" + std::string(244, 'x'), "is 245 characters long; a preset holds 244 at most"},
  };
  std::ofstream(PresetPath()) << "[N5]: '/home/user/kept'\n";
  Start();
  PresetEditorWindow* editor = Open();
  for (const auto& r : refused) {
    alerts_.clear();
    Edit(editor, 5, 5, r.path.c_str());
    ASSERT_EQ(alerts_.size(), 1u) << r.reason;
    EXPECT_NE(alerts_[0].find(r.reason), std::string::npos) << alerts_[0];
    EXPECT_NE(alerts_[0].find("[N5]"), std::string::npos) << alerts_[0];
    EXPECT_EQ(editor->Presets()[5], "/home/user/kept");
    EXPECT_FALSE(editor->IsModified());
  }
  Edit(editor, 5, 5, ("/" + std::string(243, 'x')).c_str());
  EXPECT_EQ(editor->Presets()[5].size(), 244u);
}

TEST_F(PresetEditorTest, DropsBindLocalPathsAsNamedAndIgnoreAnythingElse) {
  ScopedEnv home("HOME", ProgramHome().c_str());
  const auto target = ProgramHome() / "target.txt";
  const auto link = ProgramHome() / "link-to-target";
  std::ofstream(target) << "x";
  std::filesystem::create_symlink(target, link);
  Start();
  PresetEditorWindow* editor = Open();
  PresetBindingView* field = editor->Field(21);

  QMimeData text;
  text.setText("/home/user/typed");
  Drop(field, &text);
  QMimeData remote;
  remote.setUrls({QUrl("http://example.org/file.txt")});
  Drop(field, &remote);
  EXPECT_EQ(editor->Presets()[21], "-unset-");
  EXPECT_FALSE(editor->IsModified());

  QMimeData file;
  file.setUrls({QUrl::fromLocalFile(QString::fromStdString(link.string()))});
  Drop(field, &file);
  EXPECT_EQ(editor->Presets()[21], link.string());
  EXPECT_TRUE(SaveEnabled(editor));
}

TEST_F(PresetEditorTest, APressOpensTheFieldMenuWhoseWorkspaceItemIsSavedAsItsLine) {
  Start();
  PresetEditorWindow* editor = Open();
  PresetBindingView* field = editor->Field(14);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), field->mapToGlobal(QPointF(5, 5)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(field, &press);
  auto* menu = field->findChild<QMenu*>("EView_Menu");
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->isVisible());
  QStringList items;
  for (QAction* item : menu->actions()) items << (item->isSeparator() ? "--" : item->text());
  EXPECT_EQ(items, (QStringList{"Copy", "Paste", "Clear", "--", "Workspace", "File…", "Folder…",
                                "Web address…"}));
  menu->actions()[4]->trigger();
  menu->hide();
  Settle();
  EXPECT_EQ(Shown(editor, 14), "Workspace");

  editor->findChild<QPushButton*>("save")->click();
  Settle();
  EXPECT_NE(ReadAll(PresetPath()).find("; -- DT_Remote set  0-9:\n[D4]: 'Workspace'  \n"),
            std::string::npos);
  EXPECT_FALSE(SaveEnabled(editor));
}

TEST_F(PresetEditorTest, FilesFoldersAndWebAddressesAreChosenFromTheMenuWithTheChecksOfADrop) {
  Start();
  PresetEditorWindow* editor = Open();
  PresetBindingView* field = editor->Field(3);
  QString answer;
  PresetBindingView::SetChooser([&](QWidget*, PresetBindingView::Choice) { return answer; });
  const struct {
    const char* item;
    const char* answer;
    const char* bound;  // what the slot holds afterwards
    const char* alert;  // part of the alert, or empty for none
  } cases[] = {
      {"File…", "/home/user/song.ogg", "/home/user/song.ogg", ""},
      {"Folder…", "/home/user/Music", "/home/user/Music", ""},
      {"Web address…", " https://example.org/a ", "https://example.org/a", ""},
      {"Web address…", "example.org", "https://example.org/a", "is no web address"},
      {"File…", "/home/user/it's", "https://example.org/a", "holds a quote"},
      {"Folder…", "", "https://example.org/a", ""},  // the chooser was cancelled
  };
  for (const auto& c : cases) {
    alerts_.clear();
    answer = QString::fromUtf8(c.answer);
    QAction* item = nullptr;
    for (QAction* action : field->AddEPopMenu()->actions())
      if (action->text() == QString::fromUtf8(c.item)) item = action;
    ASSERT_NE(item, nullptr) << c.item;
    item->trigger();
    Settle();
    EXPECT_EQ(editor->Presets()[3], c.bound) << c.item << " " << c.answer;
    if (*c.alert == '\0') {
      EXPECT_TRUE(alerts_.empty()) << c.answer;
    } else {
      ASSERT_EQ(alerts_.size(), 1u) << c.answer;
      EXPECT_NE(alerts_[0].find(c.alert), std::string::npos) << alerts_[0];
    }
  }
  EXPECT_TRUE(SaveEnabled(editor));
  PresetBindingView::SetChooser(nullptr);
}

TEST_F(PresetEditorTest, ASavedBindingRunsOnTheNextKeyAndAfterARestart) {
  ScopedEnv home("HOME", ProgramHome().c_str());
  const auto notes = ProgramHome() / "notes.txt";
  std::ofstream(notes) << "notes";
  Start();
  PresetEditorWindow* editor = Open();
  QMimeData file;
  file.setUrls({QUrl::fromLocalFile(QString::fromStdString(notes.string()))});
  Drop(editor->Field(4), &file);
  Send(editor, kSavePresets);
  Settle();  // the main window rereads the file on 'irRP'
  Key(kLrSat, kLrSatN4);
  ASSERT_EQ(launcher_->calls.size(), 1u);
  EXPECT_NE(launcher_->calls[0].find(notes.string()), std::string::npos);

  app_.reset();
  ForgetSettings();
  Start();
  Key(kLrSat, kLrSatN4);
  ASSERT_EQ(launcher_->calls.size(), 1u);
  EXPECT_NE(launcher_->calls[0].find(notes.string()), std::string::npos);
}

TEST_F(PresetEditorTest, AFailedSaveSaysWhyAndKeepsTheChanges) {
  // A folder in the file's place cannot be replaced by the new file.
  std::filesystem::create_directories(PresetPath() / "in-the-way");
  Start();
  PresetEditorWindow* editor = Open();
  Edit(editor, 3, 3);
  Send(editor, kSavePresets);
  ASSERT_EQ(alerts_.size(), 1u);
  EXPECT_EQ(alerts_[0].rfind("Could not save '" + PresetPath().string() + "': ", 0), 0u)
      << alerts_[0];
  EXPECT_TRUE(editor->IsModified());
  EXPECT_TRUE(SaveEnabled(editor));
  EXPECT_EQ(editor->Presets()[3], "Workspace");
}

TEST_F(PresetEditorTest, ClosingWithChangesAsksAndEachAnswerDoesWhatItSays) {
  const struct {
    Answer answer;
    bool saved, stays_open;
  } cases[] = {
      {Answer::kSave, true, false},
      {Answer::kDiscard, false, false},
      {Answer::kCancel, false, true},
  };
  Start();
  for (const auto& c : cases) {
    std::ofstream(PresetPath()) << "[N7]: 'Workspace'\n";
    PresetEditorWindow* editor = Open();
    ASSERT_NE(editor, nullptr);
    Edit(editor, 17, 3);
    editor->Question().SetNextAnswer(c.answer);
    editor->close();
    EXPECT_EQ(editor->Question().AskedCount(), 1);
    EXPECT_EQ(editor->Question().LastText(), "Save changes to '_preset_'?");
    SettleClose();
    EXPECT_EQ(app_->PresetEditor() != nullptr, c.stays_open);
    const std::string text = ReadAll(PresetPath());
    EXPECT_NE(text.find("[N7]: 'Workspace'"), std::string::npos) << text;
    EXPECT_EQ(text.find("[D7]: 'Workspace'") != std::string::npos, c.saved) << text;
    if (c.stays_open) {
      EXPECT_TRUE(editor->IsModified());
      editor->Question().SetNextAnswer(Answer::kDiscard);
      editor->close();
      SettleClose();
    }
    ASSERT_EQ(app_->PresetEditor(), nullptr);
  }
}

TEST_F(PresetEditorTest, ClosingMakesTheMainWindowRereadAndTheNextEditorOpensWhereItWas) {
  Start();
  PresetEditorWindow* editor = Open();
  editor->move(120, 90);
  editor->resize(650, 900);  // beyond the height limit
  std::ofstream(PresetPath()) << "[N1]: 'http://changed.example/'\n";
  editor->close();  // nothing changed in the editor: no question
  SettleClose();
  EXPECT_EQ(app_->PresetEditor(), nullptr);
  Key(kLrSat, kLrSatN1);
  EXPECT_EQ(launcher_->calls, std::vector<std::string>{"url http://changed.example/"});

  editor = Open();
  EXPECT_EQ(editor->pos(), QPoint(120, 90));
  EXPECT_EQ(editor->size(), QSize(650, 360));
}

TEST_F(PresetEditorTest, GroupTabsShowTheAssignedRemotesAfterEachGroupChange) {
  Start();
  PresetEditorWindow* editor = Open();
  auto* tabs = editor->findChild<QTabWidget*>("tab_view");
  Prefs* prefs = Settings();
  Prefs::SetText(prefs->Desktop, "LR-SAT");
  Prefs::SetText(prefs->Video, "DENON");
  app_->MessageReceived(std::make_unique<Message>(kPresetLabelsChanged).get());
  Settle();
  EXPECT_EQ(tabs->tabText(1), "LR-SAT");
  EXPECT_EQ(tabs->tabText(4), "DENON");
  EXPECT_EQ(tabs->tabText(0), "Default");
  Prefs::SetText(prefs->Desktop, "-unset-");
  app_->MessageReceived(std::make_unique<Message>(kPresetLabelsChanged).get());
  Settle();
  EXPECT_EQ(tabs->tabText(1), "DesktopRemote");
}

TEST_F(PresetEditorTest, ChoosingAnotherPresetFileAsksForUnsavedChangesThenSwitches) {
  PresetList other = NewPresetList();
  other[0] = "http://other.example/";
  std::ofstream(PresetPath()) << "[N0]: 'Workspace'\n";
  MarkAsPresetFile(PresetPath());
  ASSERT_EQ(WritePresetFile(PresetPath("evening"), other), kOk);
  Start();
  PresetEditorWindow* editor = Open();
  auto* menu_field = editor->findChild<QToolButton*>("pfMF");
  EXPECT_TRUE(menu_field->isVisibleTo(editor));
  ASSERT_EQ(menu_field->menu()->actions().size(), 2);

  Edit(editor, 1, 3);
  Message choose(kChoosePresetFile);
  choose.AddString("preset_name", "evening");
  editor->Question().SetNextAnswer(Answer::kCancel);
  editor->MessageReceived(&choose);
  EXPECT_EQ(editor->PresetName(), "_preset_");
  EXPECT_TRUE(editor->IsModified());

  editor->Question().SetNextAnswer(Answer::kDiscard);
  editor->MessageReceived(&choose);
  EXPECT_EQ(editor->PresetName(), "evening");
  EXPECT_EQ(editor->findChild<QLabel*>("nameOfPreset")->text(), "evening");
  EXPECT_EQ(std::string(Settings()->Presetfile), "evening");
  EXPECT_EQ(Shown(editor, 0), "http://other.example/");
  EXPECT_FALSE(editor->IsModified());
  for (QAction* item : menu_field->menu()->actions()) {
    EXPECT_EQ(item->isChecked(), item->text() == "evening") << item->text().toStdString();
  }
  Settle();  // the main window follows the setting
  Key(kLrSat, kLrSatN0);
  EXPECT_EQ(launcher_->calls, std::vector<std::string>{"url http://other.example/"});
}

TEST_F(PresetEditorTest, PresetNamesThatWouldLeaveTheRemoteFolderAreRefused) {
  Start();
  Prefs::SetText(Settings()->Presetfile, "../outside");
  PresetEditorWindow* editor = Open();
  EXPECT_EQ(editor->PresetName(), "_preset_");
  Message choose(kChoosePresetFile);
  choose.AddString("preset_name", "../outside");
  editor->MessageReceived(&choose);
  EXPECT_EQ(editor->PresetName(), "_preset_");
  EXPECT_FALSE(std::filesystem::exists(Program() / "outside"));
}

// Writes the picture for the documentation when KORU_SCREENSHOT_DIR names a folder.
TEST_F(PresetEditorTest, Screenshot) {
  const char* folder = std::getenv("KORU_SCREENSHOT_DIR");
  if (folder == nullptr) GTEST_SKIP() << "KORU_SCREENSHOT_DIR not set";
  std::ofstream(PresetPath()) << "[N0]: 'Workspace'\n[N1]: 'Workspace'\n[N2]: 'Workspace'\n"
                                 "[N4]: 'http://www.example.org/news'\n"
                                 "[N5]: '/home/user/Documents/Letters/2026/to the landlord.odt'\n"
                                 "[N7]: '/home/user/Music'\n[N9]: '/usr/bin/gimp'\n";
  MarkAsPresetFile(PresetPath());
  ASSERT_EQ(WritePresetFile(PresetPath("evening"), NewPresetList()), kOk);
  Start();
  Prefs::SetText(Settings()->Desktop, "LR-SAT");
  PresetEditorWindow* editor = Open();
  Settle();
  EXPECT_TRUE(
      editor->grab().save(QString::fromStdString(std::string(folder) + "/preset-editor.png")));
}

}  // namespace
