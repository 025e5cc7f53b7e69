// The preset editor offscreen, opened through the application beside the main window: its
// messages in, the fields, buttons and file out, and the main window acting on what was saved.
#include "presets/preset_editor_window.h"

#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include "platform/files/file_node.h"
#include "platform/files/koru_type.h"
#include "shell/shell_fixture.h"

namespace koru {

namespace {

using Answer = SaveQuestion::Answer;
const std::string kSteps = "presets/data/preset_editor.steps";

class PresetEditorTest : public ShellTest {
 protected:
  // Opens the editor as the main window's "Preset edit" does.
  PresetEditorWindow* Open() {
    Post(kEditPresets);
    Settle();
    return editor_ = Editor();
  }
  void Edit(int32_t slot, int32_t modus, const char* path = nullptr) {
    Message edit(kPresetEntryEdited);
    edit.AddInt32("e_nr", slot);
    edit.AddInt32("e_modus", modus);
    edit.AddInt32("e_grp", slot / 10 * 10);
    if (path != nullptr) edit.AddString("e_path", path);
    editor_->MessageReceived(&edit);
  }
  // Closes the editor (with `answer` if it asks); then lets it be deleted and its last messages
  // arrive.
  void Close(Answer answer = Answer::kDiscard) {
    editor_->Question().SetNextAnswer(answer);
    editor_->close();
    SettleClose();
  }
  static void SettleClose() {
    Settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Settle();
  }
  std::filesystem::path PresetPath(const char* name = "_preset_") {
    std::filesystem::create_directories(Program() / "_Remotes_");
    return Program() / "_Remotes_" / name;
  }
  // The current preset file of these lines, marked as a preset file.
  void WritePresets(const std::string& lines) {
    std::ofstream(PresetPath()) << lines;
    FileNode node(PresetPath());
    WriteKoruType(node, kKoruPresetFile);
  }

  PresetEditorWindow* editor_ = nullptr;
};

TEST_F(PresetEditorTest, OpeningCreatesAMissingCurrentFileAndTheTabsNameTheGroupsRemotes) {
  Start();
  ASSERT_FALSE(std::filesystem::exists(PresetPath()));
  RunSteps(kSteps, "opening");
  PresetEditorWindow* editor = Editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(ReadAll(PresetPath()), ReadAll(KORU_SOURCE_DIR "/tests/presets/data/first_presets"));
  FileNode node(PresetPath());
  EXPECT_EQ(ReadKoruType(node), kKoruPresetFile);
  EXPECT_EQ(Open(), editor) << "\"Preset edit\" again brings the same editor forward";

  Prefs::SetText(Settings()->Desktop, "LR-SAT");
  Prefs::SetText(Settings()->Video, "DENON");
  for (const char* tabs : {"Default LR-SAT AppRemote AudioRemote DENON",
                           "Default DesktopRemote AppRemote AudioRemote DENON"}) {
    app_->MessageReceived(std::make_unique<Message>(kPresetLabelsChanged).get());
    Settle();
    EXPECT_EQ(Texts("tab_view"), tabs);
    Prefs::SetText(Settings()->Desktop, "-unset-");
  }
}

TEST_F(PresetEditorTest, EditRequestsChangeTheirSlotAndOnlyRealEditsOfferSaving) {
  std::ofstream(PresetPath()) << "[D2]: 'x'\n";
  Start();
  for (const auto& c : ReadTable("presets/data/editor_requests.tsv", 7)) {
    SCOPED_TRACE(c[0]);
    ASSERT_NE(Open(), nullptr);
    const int slot = std::stoi(c[1]);
    alerts_.clear();
    Edit(slot, std::stoi(c[2]), c[3].empty() ? nullptr : Unescaped(c[3]).c_str());
    const size_t at = std::clamp(slot, 0, 50);
    EXPECT_EQ(editor_->Presets()[at], c[4]);
    EXPECT_EQ(at < 50 ? Texts("#" + std::to_string(at)) : c[4], c[4]) << "the field shows it";
    EXPECT_EQ(editor_->IsModified(), c[5] == "modified");
    EXPECT_EQ(Which("save", "enabled"), c[5] == "modified" ? "save" : "");
    EXPECT_EQ(alerts_.size(), c[6].empty() ? 0u : 1u);
    EXPECT_NE((alerts_.empty() ? std::string() : alerts_[0]).find(c[6]), std::string::npos);
    Close();
  }
}

TEST_F(PresetEditorTest, CopyPasteAndClearMoveValuesBetweenSlotsAndRestoreUndoes) {
  std::ofstream(PresetPath()) << "[D2]: 'http://example.org/'\n[A7]: 'Workspace'\n";
  Start();
  RunSteps(kSteps, "copy, paste, clear, restore");
}

TEST_F(PresetEditorTest, ADroppedLocalPathIsBoundAsNamedAndRunsOnTheNextKeyAndAfterARestart) {
  ScopedEnv home("HOME", ProgramHome().c_str());
  const auto target = ProgramHome() / "target.txt";
  const auto link = ProgramHome() / "link-to-target";
  std::ofstream(target) << "x";
  std::filesystem::create_symlink(target, link);
  Start();
  PresetBindingView* field = Open()->Field(4);
  QMimeData text, remote, file;
  text.setText("/home/user/typed");
  remote.setUrls({QUrl("http://example.org/file.txt")});
  file.setUrls({QUrl::fromLocalFile(QString::fromStdString(link.string()))});
  for (QMimeData* data : {&text, &remote, &file}) {  // as from a file manager: enter, then drop
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &drop);
    Settle();
    EXPECT_EQ(editor_->Presets()[4], data == &file ? link.string() : "Workspace");
    EXPECT_EQ(editor_->IsModified(), data == &file);
  }
  Message save(kSavePresets);
  editor_->MessageReceived(&save);
  Settle();  // the main window rereads the file on 'irRP'
  for (int run = 0; run < 2; ++run) {
    Key(kLrSat, kLrSatN4);
    ASSERT_EQ(launcher_->calls.size(), 1u);
    EXPECT_NE(launcher_->calls[0].find(link.string()), std::string::npos) << run;
    app_.reset();
    ForgetSettings();
    Start();
  }
}

// The field's menu, then its choosers, which refuse what a drop refuses; what it holds is saved
// in its group's part of the file.
TEST_F(PresetEditorTest, APressOpensTheFieldMenuWhoseItemsBindWhatTheirChooserAnswers) {
  Start();
  PresetBindingView* field = Open()->Field(14);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), field->mapToGlobal(QPointF(5, 5)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(field, &press);
  auto* menu = field->findChild<QMenu*>("EView_Menu");
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->isVisible());
  EXPECT_EQ(MenuText(menu), "Copy, Paste, Clear, --, Workspace, File…, Folder…, Web address…");
  menu->hide();

  QString answer;
  PresetBindingView::SetChooser([&](QWidget*, PresetBindingView::Choice) { return answer; });
  for (const auto& c : ReadTable("presets/data/editor_choices.tsv", 4)) {
    alerts_.clear();
    answer = QString::fromStdString(c[1]);
    FindMenuItem(field->AddEPopMenu(), QString::fromStdString(c[0]))->trigger();
    Settle();
    EXPECT_EQ(editor_->Presets()[14], c[2]) << c[0] << " " << c[1];
    EXPECT_EQ(Texts("#14"), c[2]);
    EXPECT_EQ(alerts_.size(), c[3].empty() ? 0u : 1u) << c[1];
    EXPECT_NE((alerts_.empty() ? std::string() : alerts_[0]).find(c[3]), std::string::npos);
  }
  PresetBindingView::SetChooser(nullptr);
  Find<QPushButton>("save")->click();
  Settle();
  EXPECT_NE(
      ReadAll(PresetPath()).find("; -- DT_Remote set  0-9:\n[D4]: 'https://example.org/a'  \n"),
      std::string::npos);
  EXPECT_EQ(Which("save", "enabled"), "");
}

TEST_F(PresetEditorTest, AFailedSaveSaysWhyAndKeepsTheChanges) {
  // A folder in the file's place cannot be replaced by the new file.
  std::filesystem::create_directories(PresetPath() / "in-the-way");
  Start();
  RunSteps(kSteps, "failed save");
  ASSERT_EQ(alerts_.size(), 1u);
  EXPECT_EQ(alerts_[0].rfind("Could not save '" + PresetPath().string() + "': ", 0), 0u)
      << alerts_[0];
}

TEST_F(PresetEditorTest, ClosingWithChangesAsksAndEachAnswerDoesWhatItSays) {
  Start();
  for (const auto& [answer, saved, stays_open] : {std::tuple{Answer::kSave, true, false},
                                                  {Answer::kDiscard, false, false},
                                                  {Answer::kCancel, false, true}}) {
    std::ofstream(PresetPath()) << "[N7]: 'Workspace'\n";
    ASSERT_NE(Open(), nullptr);
    Edit(17, 3);
    editor_->Question().SetNextAnswer(answer);
    editor_->close();
    EXPECT_EQ(editor_->Question().AskedCount(), 1);
    EXPECT_EQ(editor_->Question().LastText(), "Save changes to '_preset_'?");
    SettleClose();
    EXPECT_EQ(app_->PresetEditor() != nullptr, stays_open);
    const std::string text = ReadAll(PresetPath());
    EXPECT_NE(text.find("[N7]: 'Workspace'"), std::string::npos) << text;
    EXPECT_EQ(text.find("[D7]: 'Workspace'") != std::string::npos, saved) << text;
    if (stays_open) {
      EXPECT_TRUE(editor_->IsModified());
      Close();
    }
    ASSERT_EQ(app_->PresetEditor(), nullptr);
  }
}

TEST_F(PresetEditorTest, ClosingMakesTheMainWindowRereadAndTheNextEditorOpensWhereItWas) {
  Start();
  Open()->move(120, 90);
  editor_->resize(650, 900);  // beyond the height limit
  std::ofstream(PresetPath()) << "[N1]: 'http://changed.example/'\n";
  Close();  // nothing changed in the editor: no question
  EXPECT_EQ(app_->PresetEditor(), nullptr);
  Key(kLrSat, kLrSatN1);
  EXPECT_EQ(launcher_->calls, std::vector<std::string>{"url http://changed.example/"});
  EXPECT_EQ(Open()->pos(), QPoint(120, 90));
  EXPECT_EQ(editor_->size(), QSize(650, 360));
}

TEST_F(PresetEditorTest, ChoosingAnotherPresetFileAsksForUnsavedChangesThenSwitches) {
  PresetList other = NewPresetList();
  other[0] = "http://other.example/";
  WritePresets("[N0]: 'Workspace'\n");
  ASSERT_EQ(WritePresetFile(PresetPath("evening"), other), kOk);
  Start();
  // A name that would leave the remote folder is refused, from the settings as when chosen.
  Prefs::SetText(Settings()->Presetfile, "../outside");
  RunSteps(kSteps, "choosing another file");
  EXPECT_FALSE(std::filesystem::exists(Program() / "outside"));
  EXPECT_STREQ(Settings()->Presetfile, "evening");
  Key(kLrSat, kLrSatN0);  // the main window follows the setting
  EXPECT_EQ(launcher_->calls, std::vector<std::string>{"url http://other.example/"});
}

TEST_F(PresetEditorTest, Screenshot) {
  if (ScreenshotFolder() == nullptr) GTEST_SKIP() << "KORU_SCREENSHOT_DIR not set";
  WritePresets(ReadAll(KORU_SOURCE_DIR "/tests/presets/data/screenshot_presets"));
  ASSERT_EQ(WritePresetFile(PresetPath("evening"), NewPresetList()), kOk);
  Start();
  Prefs::SetText(Settings()->Desktop, "LR-SAT");
  Screenshot(Open(), "preset-editor");
}

}  // namespace

}  // namespace koru
