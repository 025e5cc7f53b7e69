#pragma once
// The key router on a recording view: receiver reports in, what the window would show and what
// the desktop was asked out. No window, no threads: actions run as they are posted, on fakes.
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "actions/action_services.h"
#include "code_text.h"
#include "platform/desktop/fake_desktop.h"
#include "platform/files/memory_node.h"
#include "platform/files/paths.h"
#include "platform/media/fake_media_players.h"
#include "presets/preset_messages.h"
#include "remotes/key_menu.h"
#include "routing/key_router.h"
#include "routing/routing_messages.h"
#include "settings/label_table.h"
#include "settings/prefs.h"
#include "temp_dir.h"

namespace koru {

// Keeps whatever the router shows, as the window's widgets would.
class RecordingView : public RoutingView, public KeyMenu {
 public:
  std::map<RoutingText, std::string> texts;
  std::string mini_group, log, teach_data;
  std::array<bool, 5> lit{};
  std::map<int32_t, RemoteMenu> menus;  // by kind
  std::vector<int32_t> focus_dropped;
  bool status_shown = false, hysteresis = false, continuous_box = true, split_switch = false,
       splitting_shown = false, teach_box = false, locked = false, two_bytes = false,
       classic_codes = false, offers_set_free = false, receiver_unusable = false,
       receiver_on = true;
  std::map<TeachField, std::string> field_text;
  std::map<TeachField, bool> field_enabled;
  std::map<TeachField, TeachFieldLook> field_look;
  TeachTone teach_tone = TeachTone::kFree;
  std::map<std::string, bool> key_marks;  // key-function menu: label -> marked
  bigtime_t pulse_rate = 0;
  int32_t pressed_key = 0;
  std::vector<bool> receiver_switches;  // every stop (false) and restart (true)

  struct Indicators : MuteIndicator, StatusLabel {
    bool shown = false;
    int blanks = 0;
    bool IsShown() const override { return shown; }
    void SetShown(bool on) override { shown = on; }
    void Blank() override { ++blanks; }
  } indicators;

  std::string Text(RoutingText which) const {
    auto it = texts.find(which);
    return it == texts.end() ? std::string() : it->second;
  }
  // The remote and key shown for the last report.
  std::string Shown() const { return Text(RoutingText::kRemote) + " " + Text(RoutingText::kKey); }

  void SetText(RoutingText which, const std::string& text) override { texts[which] = text; }
  void SetMiniGroup(const std::string& text, TextAlign) override { mini_group = text; }
  void ShowStatusLine() override { status_shown = true; }
  void InsertLog(const std::string& line) override { log.insert(0, line); }
  void SetLogText(const std::string& text) override { log = text; }
  std::string LogText() const override { return log; }
  void Beep() override {}
  void ShowHysteresis(bool on) override { hysteresis = on; }
  void ShowContinuous(bool on) override { continuous_box = on; }
  bool SplitSwitch() const override { return split_switch; }
  void SetSplitSwitch(bool on) override { split_switch = on; }
  void ShowSplitting(bool on) override { splitting_shown = on; }
  void ShowGroupHighlight(const std::array<bool, 5>& groups) override { lit = groups; }
  void RebuildRemoteMenu(const RemoteMenu& menu) override { menus[menu.kind] = menu; }
  void DropMenuFocus(int32_t kind) override { focus_dropped.push_back(kind); }
  void MarkShowTab(bool) override {}
  void ShowTeachBox(bool teaching) override { teach_box = teaching; }
  void LockForTeaching(bool on) override { locked = on; }
  std::string TeachFieldText(TeachField field) const override {
    auto it = field_text.find(field);
    return it == field_text.end() ? std::string() : it->second;
  }
  void SetTeachFieldText(TeachField field, const std::string& text) override {
    field_text[field] = text;
  }
  void EnableTeachField(TeachField field, bool enabled) override { field_enabled[field] = enabled; }
  void StyleTeachField(TeachField field, TeachFieldLook look) override {
    field_look[field] = look;
    field_enabled[field] = look == TeachFieldLook::kNew;
  }
  bool TwoBytes() const override { return two_bytes; }
  void SetTwoBytes(bool on) override { two_bytes = on; }
  void DropTwoBytesFocus() override {}
  bool ClassicCodes() const override { return classic_codes; }
  void SetClassicCodes(bool on) override { classic_codes = on; }
  void ShowTeachData(const std::string& text, TeachTone tone) override {
    teach_data = text;
    teach_tone = tone;
  }
  void ShowTeachChoice(bool taught) override { offers_set_free = taught; }
  KeyMenu& TeachKeyMenu() override { return *this; }
  bool SetItemTo(const char* label, bool /*enable*/, bool mark) override {
    key_marks[label] = mark;
    return true;
  }
  void SetPulseRate(bigtime_t rate) override { pulse_rate = rate; }
  void ToggleMinimised() override {}
  ViewPoint WindowCorner(int menu_offset) const override {
    return ViewPoint{100, static_cast<float>(200 + menu_offset)};
  }
  void ShowOnAllWorkspaces(bool) override {}
  MuteIndicator* MuteButton() override { return &indicators; }
  StatusLabel* StatusLine() override { return &indicators; }
  void ShowPressedKey(int32_t keyfn) override { pressed_key = keyfn; }
  bool ReceiverContinuous() const override { return receiver_on; }
  void SetReceiverContinuous(bool on) override {
    receiver_on = on;
    receiver_switches.push_back(on);
  }
  void ReceiverUnusable() override { receiver_unusable = true; }
};

class RouterTest : public ::testing::Test {
 protected:
  // A program folder of each test's own; the router is handed its remote folder.
  const std::filesystem::path& ProgramHome() const { return home_.Path(); }
  std::filesystem::path Program() const { return ProgramHome() / "koru"; }
  std::filesystem::path Remotes() const { return Program() / "_Remotes_"; }

  void SetUp() override {
    std::filesystem::create_directories(Remotes());
    SetProgramFolder(Program());
    ReloadLabelCatalogue();
    desktop_.Activate("application/x-vnd.linux-gedit");
    services_.desktop = &desktop_;
    services_.players = &players_;
    services_.mixer = &mixer_;
    services_.launcher = &launcher_;
    Prefs::SetText(prefs_.rs232_port, "serial2");
  }
  void TearDown() override {
    router_.reset();
    SetProgramFolder({});
  }

  // The router as the window starts it: remotes loaded, menus and presets read.
  void Start() {
    KeyRouter::Links links;
    links.view = &view_;
    links.settings = &prefs_;
    links.post = [this](const ActionThread::Action& action) { action(services_); };
    links.send = [this](const Message& message) { sent_.push_back(message); };
    links.slowdown = &slowdown_;
    links.keys = keys_;
    links.remote_folder = Remotes();
    router_ = std::make_unique<KeyRouter>(std::move(links));
    router_->LoadRemoteLibrary();
    router_->Start();
  }
  KeyRouter& Router() { return *router_; }

  void Post(uint32_t what) {
    Message message(what);
    router_->HandleMessage(&message);
  }
  void Report(const std::string& blink, int32_t type = 1) {
    router_->HandleReport(ReportOf(blink, type));
  }
  void Key(int header, int byte2, int byte3 = 0) { Report(CodeText(header, byte2, byte3)); }
  void WritePresets(const std::string& lines) {
    std::ofstream(Remotes() / "_preset_") << lines;
    Post(kReloadPresets);
  }
  // The messages of one code sent to the application so far.
  std::vector<Message> SentOf(uint32_t what) const {
    std::vector<Message> found;
    for (const Message& message : sent_) {
      if (message.what == what) found.push_back(message);
    }
    return found;
  }
  // Chooses `remote` in the group menu of `kind` the way the menu's item does.
  void Assign(int32_t kind, const std::string& remote) {
    const RemoteMenu& menu = view_.menus.at(kind);
    int32_t index = 0;  // the first item
    for (size_t i = 0; i < menu.remotes.size(); ++i) {
      if (menu.remotes[i].second == remote) index = static_cast<int32_t>(i) + 2;
    }
    Message choice(menu.what);
    choice.AddInt32("index", index);
    choice.AddBool(kFromMenuField, true);  // as the window's menu items do
    router_->HandleMessage(&choice);
  }
  // "Teach In", then the name typed into the teach box; the header and the mode too when a
  // header is given (classic codes).
  void BeginNewRemote(const std::string& name, int header = 0, bool two_bytes = false) {
    Post(kTeachStart);
    view_.field_text[TeachField::kName] = name;
    Post(kTeachNameEdited);
    if (header == 0) return;
    view_.field_text[TeachField::kHeader] = std::to_string(header);
    Post(kTeachHeaderEdited);
    view_.two_bytes = two_bytes;
    Post(kTeachDoubleByteToggled);
  }
  // The key function chosen for the code waiting in the teach box.
  void TeachTo(int32_t keyfn) {
    Message assign(kTeachAssignKey);
    assign.AddInt32("isCommand", keyfn);
    router_->HandleMessage(&assign);
  }
  void SwitchSplitting(bool on) {
    view_.split_switch = on;
    Post(kSplittingToggled);
  }

  TempDir home_;
  RecordingView view_;
  Prefs prefs_{std::make_shared<MemoryNode>()};
  FakeDesktop desktop_;
  FakeMediaPlayers players_;
  FakeMixer mixer_;
  FakeLauncher launcher_;
  ActionServices services_;
  std::vector<Message> sent_;
  std::atomic<bool> slowdown_{false};
  RecognisedKeyListener* keys_ = nullptr;  // set before Start()
  std::unique_ptr<KeyRouter> router_;
};

}  // namespace koru
