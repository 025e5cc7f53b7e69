#pragma once
// A main window (through the application object) on a fresh program folder and settings
// folder, offscreen; with the headers its tests share.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <chrono>
#include <map>
#include <memory>
#include <thread>

#include "fake_receiver_devices.h"
#include "media_list/media_list_messages.h"
#include "platform/desktop/desktop_messages.h"
#include "platform/desktop/fake_desktop.h"
#include "platform/files/paths.h"
#include "platform/media/fake_media_players.h"
#include "platform/messaging/alert.h"
#include "platform/messaging/test_loopers.h"
#include "platform/messaging/trace.h"
#include "presets/preset_binding_view.h"
#include "presets/preset_editor_window.h"
#include "presets/preset_messages.h"
#include "receiver/receiver_flags.h"
#include "receiver/receiver_messages.h"
#include "routing/code_text.h"
#include "routing/routing_messages.h"
#include "screenshots.h"
#include "settings/label_table.h"
#include "settings/prefs.h"
#include "shell/application_messages.h"
#include "shell/koru_application.h"
#include "shell/main_window.h"
#include "table_cells.h"
#include "temp_dir.h"
#include "test_files.h"
#include "toolkit/menu_field.h"
#include "toolkit/message_action.h"
#include "toolkit/mnemonics.h"
#include "toolkit/text_control.h"

namespace koru {

// Readable failure messages for Qt texts.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

// What a control shows: a button's or label's text, a box's title, the tabs' titles (blanks
// between); a text or menu field's label, '|', its text.
inline std::string TextOf(QWidget* widget) {
  QString text = "?";
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) text = WithoutMnemonic(button->text());
  if (auto* label = qobject_cast<QLabel*>(widget)) text = label->text();
  if (auto* box = qobject_cast<QGroupBox*>(widget)) text = box->title();
  if (auto* tabs = qobject_cast<QTabWidget*>(widget))
    for (int tab = 0; tab < tabs->count(); ++tab)
      text = (tab == 0 ? "" : text + " ") + tabs->tabText(tab);
  if (auto* field = qobject_cast<TextControl*>(widget))
    text = field->Label()->text() + "|" + field->Text();
  if (auto* field = qobject_cast<MenuField*>(widget))
    text = field->Label()->text() + "|" + field->MarkedText();
  return text.toStdString();
}

// A menu's items as the user sees them, ", " between them: "--" for a separator, " (off)" after
// a disabled item, " *" after a marked one.
inline std::string MenuText(QMenu* menu) {
  std::string out;
  for (QAction* item : menu->actions()) {
    out += item == menu->actions().front() ? "" : ", ";
    out += item->isSeparator() ? "--" : WithoutMnemonic(item->text()).toStdString();
    out += std::string(item->isEnabled() ? "" : " (off)") + (item->isChecked() ? " *" : "");
  }
  return out;
}

// The whats of the messages sent to it, in order, delivered at once.
class MessageRecorder : public Handler {
 public:
  MessageRecorder() : Handler(&looper_) {}
  void MessageReceived(Message* message) override { codes.push_back(message->what); }
  std::vector<uint32_t> codes;

 private:
  ImmediateLooper looper_;
};

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
      DesktopServices services{Own(&launcher_), Own(&desktop_), Own(&players_), Own(&mixer_)};
      desktop_->Activate("application/x-vnd.linux-gedit");
      desktop_->report = desktop_report_;
      return services;
    };
    ReloadLabelCatalogue();
    SetAlertPresenter([this](const std::string& text) { alerts_.push_back(text); });
  }
  void TearDown() override {
    app_.reset();
    SetAlertPresenter(nullptr);
    ForgetSettings();
    SetProgramFolder({});
    SetReceiverDevices(nullptr);
  }
  template <typename T>
  static std::unique_ptr<T> Own(T** keep) {
    auto made = std::make_unique<T>();
    *keep = made.get();
    return made;
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
  PresetEditorWindow* Editor() { return dynamic_cast<PresetEditorWindow*>(app_->PresetEditor()); }
  // The main window's control of that name, else the open preset editor's.
  template <typename T>
  T* Find(const char* name) {
    T* found = Window()->findChild<T*>(name);
    return found != nullptr || Editor() == nullptr ? found : Editor()->findChild<T*>(name);
  }
  // The named controls' texts (TextOf), " / " between them; names between blanks, "#N" the
  // preset editor's field of slot N.
  std::string Texts(const std::string& names) {
    std::string out;
    for (const std::string& name : CellList(names))
      out += " / " + TextOf(name[0] == '#'
                                ? static_cast<QWidget*>(Editor()->Field(std::stoi(name.substr(1))))
                                : Find<QWidget>(name.c_str()));
    return out.substr(3);
  }
  // Those of the named widgets that are "showing" (not hidden), "enabled" (a text field's edit)
  // or "checked", in the order named.
  std::string Which(const std::string& names, const std::string& what) {
    std::string out;
    for (const std::string& name : CellList(names)) {
      QWidget* widget = Find<QWidget>(name.c_str());
      auto* field = qobject_cast<TextControl*>(widget);  // what can be typed into
      auto* button = qobject_cast<QAbstractButton*>(widget);
      if (widget != nullptr && (what == "showing"   ? !widget->isHidden()
                                : what == "enabled" ? (field ? field->Edit() : widget)->isEnabled()
                                                    : button != nullptr && button->isChecked()))
        out += (out.empty() ? "" : " ") + name;
    }
    return out;
  }
  std::string Log() { return Find<QTextEdit>("text_view")->toPlainText().toStdString(); }
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
  // Keys as the keyboard delivers them to the focused widget.
  static void Press(QWidget* widget, int key, const QString& text = {}) {
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
      QKeyEvent event(type, key, Qt::NoModifier, text);
      QApplication::sendEvent(widget, &event);
    }
  }
  // A message of `what` with the fields of `fields`: NAME=NUMBER or NAME=TEXT.
  static Message MessageOf(uint32_t what, const std::string& fields) {
    Message message(what);
    for (const std::string& field : CellList(fields)) {
      const std::string name = field.substr(0, field.find('=')),
                        value = field.substr(name.size() + 1);
      if (value.find_first_not_of("-0123456789") == std::string::npos)
        message.AddInt32(name.c_str(), std::stoi(value));
      else
        message.AddString(name.c_str(), value);
    }
    return message;
  }
  // A menu field's menu, or the menu of that name.
  QMenu* MenuNamed(const std::string& name) {
    auto* field = Find<MenuField>(name.c_str());
    return field ? field->Menu() : Find<QMenu>(name.c_str());
  }
  // Runs the steps of tests/<path> (only those under "==<TAB>section" when one is named), one a
  // line: a verb, then its cells. A check that fails names its line. What a key is: "LR-SAT N1"
  // or the header and bytes in numbers.
  //   key KEY | post / send (to the preset editor) FOURCC [NAME=NUMBER|NAME=TEXT ...] |
  //   answer (the preset editor's next question) Save|Discard|Cancel | click BUTTON | choose MENU
  //   ITEM | show / hide WIDGET | shot PICTURE (Screenshot) | type FIELD TEXT (then Tab) | texts /
  //   showing / enabled / checked NAMES EXPECTED | menu NAME EXPECTED (MenuText) | log START
  void RunSteps(const std::string& path, const std::string& section = "") {
    static const std::map<std::string, int> kNames = {{"LR-SAT", kLrSat},
                                                      {"N1", kLrSatN1},
                                                      {"Mute", kLrSatMute},
                                                      {"Vol+", kLrSatVolUp},
                                                      {"Menu", kLrSatMenu}};
    bool in_section = section.empty();
    for (const auto& step : ReadTable(path, 2)) {
      if (step[0] == "==" && !section.empty()) in_section = step[1] == section;
      if (!in_section || step[0] == "==") continue;
      SCOPED_TRACE(path + ": " + step[0] + " " + step[1]);
      const std::string& verb = step[0];
      ASSERT_NE(std::string(
                    " key post send answer click choose show hide shot type texts showing enabled "
                    "checked menu log ")
                    .find(" " + verb + " "),
                std::string::npos)
          << "no such step";
      std::string expected = step.size() > 2 ? Unescaped(step[2]) : "", actual = expected;
      std::vector<int> code;
      for (const std::string& part : CellList(step[1]))
        code.push_back(kNames.contains(part) ? kNames.at(part) : std::atoi(part.c_str()));
      if (verb == "key") Key(code[0], code[1], code.size() > 2 ? code[2] : 0);
      if (verb == "post" || verb == "send") {
        Message message = MessageOf(FourCCOf(step[1]), expected);
        (verb == "post" ? static_cast<Handler*>(Window()) : Editor())->MessageReceived(&message);
      }
      if (verb == "answer")
        Editor()->Question().SetNextAnswer(step[1] == "Save"      ? SaveQuestion::Answer::kSave
                                           : step[1] == "Discard" ? SaveQuestion::Answer::kDiscard
                                                                  : SaveQuestion::Answer::kCancel);
      if (verb == "click") Find<QAbstractButton>(step[1].c_str())->click();
      if (verb == "choose") {
        QAction* item = FindMenuItem(MenuNamed(step[1]), QString::fromStdString(expected));
        ASSERT_NE(item, nullptr);
        item->trigger();
      }
      if (verb == "show" || verb == "hide")
        Find<QWidget>(step[1].c_str())->setHidden(verb == "hide");
      if (verb == "shot") Screenshot(Window(), step[1].c_str());
      if (verb == "type") {
        QLineEdit* edit = Find<TextControl>(step[1].c_str())->Edit();
        edit->setFocus();
        edit->selectAll();
        for (QChar c : QString::fromStdString(expected)) Press(edit, c.unicode(), QString(c));
        Press(edit, Qt::Key_Tab);
      }
      Settle();
      if (verb == "texts") actual = Texts(step[1]);
      if (verb == "showing" || verb == "enabled" || verb == "checked")
        actual = Which(step[1], verb);
      if (verb == "menu") actual = MenuText(MenuNamed(step[1]));
      if (verb == "log") actual = Log().substr(0, (expected = Unescaped(step[1])).size());
      EXPECT_EQ(actual, expected);
    }
  }
  QMenu* FileMenu() { return Window()->findChild<QMenu*>("File"); }

  std::shared_ptr<FakeReceiverDevices> devices_ =
      std::make_shared<FakeReceiverDevices>(std::vector<std::string>{"serial2", "usb1"});
  WindowSetup setup_;
  TempDir home_;
  ScopedEnv config_{"XDG_CONFIG_HOME", (home_.Path() / "config").c_str()};
  std::unique_ptr<Prefs> settings_;
  std::unique_ptr<KoruApplication> app_;
  std::vector<std::string> alerts_;  // the alerts shown, in order
  DesktopReport desktop_report_;     // what the fake desktop says it can do
  FakeDesktop* desktop_ = nullptr;
  FakeMediaPlayers* players_ = nullptr;
  FakeMixer* mixer_ = nullptr;
  FakeLauncher* launcher_ = nullptr;
};

}  // namespace koru
