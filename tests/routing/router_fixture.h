#pragma once
// The key router on a recording view: receiver reports in, what the window would show and what
// the desktop was asked out. No window, no threads: actions run as they are posted, on fakes.
#include <gtest/gtest.h>

#include <QString>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "actions/action_services.h"
#include "code_text.h"
#include "lircd/lircd_key_feed.h"
#include "platform/desktop/fake_desktop.h"
#include "platform/files/memory_node.h"
#include "platform/files/paths.h"
#include "platform/media/fake_media_players.h"
#include "platform/messaging/clock.h"
#include "platform/messaging/four_cc.h"
#include "platform/messaging/trace.h"
#include "presets/preset_messages.h"
#include "remotes/key_menu.h"
#include "remotes/remote_fields.h"
#include "routing/key_router.h"
#include "routing/routing_messages.h"
#include "settings/label_table.h"
#include "settings/prefs.h"
#include "table_cells.h"
#include "temp_dir.h"
#include "test_files.h"

namespace koru {

// Keeps whatever the router shows, as the window's widgets would: texts and values by name,
// the switches that are on, the keys marked in the teach box's menu, and what happened once.
class RecordingView : public RoutingView, public KeyMenu {
 public:
  std::map<std::string, std::string> shown;
  std::set<std::string> on = {"continuous-box"}, marked;
  std::string log;
  std::map<int32_t, RemoteMenu> menus;  // by kind
  std::vector<std::string> happened;    // menus giving up the focus, the receiver stopped...
  bool receiver_on = true;

  struct Indicators : MuteIndicator, StatusLabel {
    bool shown = false;
    bool IsShown() const override { return shown; }
    void SetShown(bool on) override { shown = on; }
    void Blank() override {}
  } indicators;

  void Flag(const std::string& name, bool is_on) {
    on.erase(name);
    if (is_on) on.insert(name);
  }
  bool On(const std::string& name) const { return on.count(name) > 0; }
  std::string Shown(const std::string& name) const {
    const auto it = shown.find(name);
    return it == shown.end() ? std::string() : it->second;
  }
  static std::string NameOf(RoutingText which) {
    static const char* const kNames[] = {"codec",       "remote",   "key",         "key value",
                                         "mini remote", "mini key", "split title", "status line"};
    return kNames[static_cast<int>(which)];
  }
  static std::string NameOf(TeachField field) {
    return field == TeachField::kName ? "name-field" : "header-field";
  }
  std::string Text(RoutingText which) const { return Shown(NameOf(which)); }

  void SetText(RoutingText which, const std::string& text) override { shown[NameOf(which)] = text; }
  void SetMiniGroup(const std::string& text, TextAlign) override { shown["mini group"] = text; }
  void ShowStatusLine() override { Flag("status-line-shown", true); }
  void InsertLog(const std::string& line) override { log.insert(0, line); }
  void SetLogText(const std::string& text) override { log = text; }
  std::string LogText() const override { return log; }
  void Beep() override {}
  void ShowHysteresis(bool is_on) override { Flag("hysteresis-box", is_on); }
  void ShowContinuous(bool is_on) override { Flag("continuous-box", is_on); }
  bool SplitSwitch() const override { return On("split-switch"); }
  void SetSplitSwitch(bool is_on) override { Flag("split-switch", is_on); }
  void ShowSplitting(bool is_on) override { Flag("splitting-shown", is_on); }
  void ShowGroupHighlight(const std::array<bool, 5>& groups) override {
    shown["groups lit"].clear();
    for (const bool lit : groups) shown["groups lit"] += lit ? "1" : "0";
  }
  void RebuildRemoteMenu(const RemoteMenu& menu) override {
    menus[menu.kind] = menu;
    std::string line = "menu " + std::to_string(menu.kind) + " '" + menu.first + "' " +
                       FourCCText(menu.what) + (menu.checkable ? " checkable, " : ", ") +
                       std::to_string(menu.remotes.size()) + " remotes";
    // Listed by name, whatever the folder's order.
    for (size_t i = 1; i < menu.remotes.size(); ++i)
      if (QString::fromStdString(menu.remotes[i].second)
              .compare(QString::fromStdString(menu.remotes[i - 1].second), Qt::CaseInsensitive) < 0)
        line += ", not by name at " + menu.remotes[i].second;
    for (const auto& [at, name] : menu.remotes)
      if (at == menu.marked) line += ", marked " + name;
    happened.push_back(line);
  }
  void DropMenuFocus(int32_t kind) override {
    happened.push_back("menu focus dropped " + std::to_string(kind));
  }
  void MarkShowTab(bool) override {}
  void ShowTeachBox(bool teaching) override { Flag("teach-box", teaching); }
  void LockForTeaching(bool locked) override { Flag("locked-for-teaching", locked); }
  std::string TeachFieldText(TeachField field) const override { return Shown(NameOf(field)); }
  void SetTeachFieldText(TeachField field, const std::string& text) override {
    shown[NameOf(field)] = text;
  }
  void EnableTeachField(TeachField field, bool enabled) override {
    Flag(NameOf(field) + "-locked", !enabled);
  }
  void StyleTeachField(TeachField field, TeachFieldLook look) override {
    Flag(NameOf(field) + "-locked", look != TeachFieldLook::kNew);
    Flag(NameOf(field) + "-existing", look == TeachFieldLook::kExisting);
  }
  bool TwoBytes() const override { return On("two-bytes"); }
  void SetTwoBytes(bool is_on) override { Flag("two-bytes", is_on); }
  void DropTwoBytesFocus() override {}
  bool ClassicCodes() const override { return On("classic-codes"); }
  void SetClassicCodes(bool is_on) override { Flag("classic-codes", is_on); }
  void ShowTeachData(const std::string& text, TeachTone tone) override {
    shown["teach data"] = text;
    shown["teach tone"] = tone == TeachTone::kFree ? "free" : "taken";
  }
  void ShowTeachChoice(bool taught) override { Flag("offers-set-free", taught); }
  KeyMenu& TeachKeyMenu() override { return *this; }
  bool SetItemTo(const char* label, bool /*enable*/, bool mark) override {
    if (mark)
      marked.insert(label);
    else
      marked.erase(label);
    return true;
  }
  void SetPulseRate(bigtime_t rate) override { shown["pulse rate"] = std::to_string(rate); }
  void ToggleMinimised() override {}
  ViewPoint WindowCorner(int menu_offset) const override {
    return ViewPoint{100, static_cast<float>(200 + menu_offset)};
  }
  void ShowOnAllWorkspaces(bool) override {}
  MuteIndicator* MuteButton() override { return &indicators; }
  StatusLabel* StatusLine() override { return &indicators; }
  void ShowPressedKey(int32_t keyfn) override { shown["pressed key"] = std::to_string(keyfn); }
  bool ReceiverContinuous() const override { return receiver_on; }
  void SetReceiverContinuous(bool is_on) override {
    receiver_on = is_on;
    happened.push_back(is_on ? "receiver on" : "receiver off");
  }
  void ReceiverUnusable() override { Flag("receiver-unusable", true); }
};

class RouterTest : public ::testing::Test {
 protected:
  // A program folder of each test's own; the router is handed its remote folder.
  const std::filesystem::path& ProgramHome() const { return home_.Path(); }
  std::filesystem::path Program() const { return ProgramHome() / "koru"; }
  std::filesystem::path Remotes() const { return Program() / "_Remotes_"; }

  void SetUp() override {
    SetThreadClock(&clock_);
    feed_.SetBroadcast(
        [this](std::string line) { broadcast_.push_back(line.substr(0, line.size() - 1)); });
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
    SetThreadClock(nullptr);
  }

  // The router as the window starts it: remotes loaded, menus and presets read.
  void Start() {
    KeyRouter::Links links;
    links.view = &view_;
    links.settings = &prefs_;
    links.post = [this](const ActionThread::Action& action) { action(services_); };
    links.send = [this](const Message& message) { sent_.push_back(message); };
    links.slowdown = &slowdown_;
    links.keys = &feed_;
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
  // Plays the scenario tests/routing/data/`name`: each line "> step" is done, and the indented
  // lines after it say what changed on the view and in the router, what was sent, launched and
  // asked of the desktop, and what was traced; other lines are comments. The transcript made
  // must be the file to the byte; when it is not, it is written to the build folder.
  void Play(const std::string& name) {
    const std::string path = KORU_SOURCE_DIR "/tests/routing/data/" + name;
    std::istringstream in(ReadAll(path));
    std::string made;
    std::map<std::string, std::string> before = State();
    for (std::string line; std::getline(in, line);) {
      if (line.starts_with("  ")) continue;  // made again below
      made += line + "\n";
      if (!line.starts_with("> ")) continue;
      TraceCapture trace;
      Step(line.substr(2));
      made += Happened(line.starts_with("> start") ? "" : trace.Text()) + printed_;
      printed_.clear();
      const std::map<std::string, std::string> now = State();
      for (const auto& [what, value] : now)
        if (before[what] != value) made += "  " + what + ": " + value + "\n";
      before = now;
    }
    for (size_t at; (at = made.find(ProgramHome().string())) != std::string::npos;)
      made.replace(at, ProgramHome().string().size(), "~");
    made = std::regex_replace(made, std::regex("[0-9]{2}:[0-9]{2}:[0-9]{2}"), "hh:mm:ss");
    const std::string written = KORU_BINARY_DIR "/tests/routing/" + name;
    if (made != ReadAll(path)) std::ofstream(written) << made;
    EXPECT_EQ(made, ReadAll(path)) << "the transcript made is in " << written;
  }
  void Step(const std::string& step) {
    std::istringstream in(step);
    std::string verb, rest;
    in >> verb >> std::ws;
    std::getline(in, rest);
    const std::vector<std::string> words = CellList(rest);
    if (verb == "start") {
      Start();
    } else if (verb == "key") {  // a key of LR-SAT by its label, and byte3
      int code = 0;
      for (int32_t keyfn = kFirstKeyFunction; keyfn < kLastKeyFunction; ++keyfn)
        if (words[0] == getLabel(keyfn))
          code = RemoteDefinition::FindRemote(&Router().Remotes(), "LR-SAT")->Slot(SlotOf(keyfn));
      EXPECT_NE(code, 0) << step;
      Key(kLrSat, code, words.size() > 1 ? std::stoi(words[1]) : 0);
    } else if (verb == "code") {  // header, byte2 and byte3
      Key(std::stoi(words[0]), std::stoi(words[1]), words.size() > 2 ? std::stoi(words[2]) : 0);
    } else if (verb == "report") {
      Report(rest);
    } else if (verb == "post") {
      Post(FourCCOf(rest.substr(0, 4)));
    } else if (verb == "presets") {  // the preset file written, and read again
      std::ofstream(Remotes() / "_preset_") << Unescaped(rest);
      Post(kReloadPresets);
    } else if (verb == "write") {  // a file of the remote folder and its text
      std::ofstream(Remotes() / words[0]) << Unescaped(rest.substr(words[0].size() + 1));
    } else if (verb == "turned-away") {  // the receiver's port could not be opened
      Router().HandleReceiverTurnedAway();
    } else if (verb == "time") {  // the clock moved to a time (us)
      clock_.AdvanceTo(std::stoll(rest));
    } else if (verb == "ask") {  // the lircd socket's answer to a command
      for (const std::string& line : CellList(feed_.Answer(rest), '\n'))
        printed_ += "  = " + line + "\n";
    } else if (verb == "rescan") {
      Router().RescanRemotes();
    } else if (verb == "remove") {
      std::filesystem::remove(Remotes() / rest);
    } else if (verb == "split") {
      view_.Flag("split-switch", rest == "on");
      Post(kSplittingToggled);
    } else if (verb == "assign") {  // the kind of a group menu and the remote chosen, by its item
      const RemoteMenu& menu = view_.menus.at(std::stoi(words[0]));
      Message choice(menu.what);
      choice.AddInt32("index", 0);  // the first item
      for (size_t i = 0; i < menu.remotes.size(); ++i)
        if (menu.remotes[i].second == rest.substr(words[0].size() + 1))
          choice.ReplaceInt32("index", static_cast<int32_t>(i) + 2);
      choice.AddBool(kFromMenuField, true);  // as the window's menu items do
      router_->HandleMessage(&choice);
    } else if (verb == "new") {  // "Teach In", a remote's name and, for classic codes, header
      Post(kTeachStart);         // and "two" for two bytes
      view_.shown["name-field"] = words[0];
      Post(kTeachNameEdited);
      if (words.size() == 1) return;
      view_.shown["header-field"] = words[1];
      Post(kTeachHeaderEdited);
      view_.Flag("two-bytes", words.size() > 2);
      Post(kTeachDoubleByteToggled);
    } else if (verb == "name" || verb == "header") {  // typed into the teach box
      view_.shown[verb + "-field"] = rest;
      Post(verb == "name" ? kTeachNameEdited : kTeachHeaderEdited);
    } else if (verb == "classic" || verb == "classic-box") {  // the box, and its message
      view_.Flag("classic-codes", rest == "on");
      if (verb == "classic") Post(kTeachClassicToggled);
    } else if (verb == "teach") {  // the code waiting to the key function
      Message assign(kTeachAssignKey);
      assign.AddInt32("isCommand", std::stoi(rest));
      router_->HandleMessage(&assign);
    } else if (verb == "choose") {  // a remote of the teach menu, "Add New" when none
      Message choose(kTeachChooseRemote);
      choose.AddInt32("vaRemote", -1);
      for (const auto& [at, name] : view_.menus.at(0).remotes)
        if (name == rest) choose.ReplaceInt32("vaRemote", at);
      router_->HandleMessage(&choose);
    } else if (verb == "exact") {  // a jittered press of an exact code: field, seed, frames held
      held_ =
          ExactReportsOf(words[0], std::stoi(words[1]), words.size() > 2 ? std::stoi(words[2]) : 0);
      if (words.size() > 2) printed_ += "  " + std::to_string(held_.size()) + " reports\n";
    } else if (verb == "file") {  // the lines of a file of the remote folder
      for (const std::string& line : CellList(ReadAll(Remotes() / rest), '\n'))
        printed_ += "  = " + line + "\n";
    } else if (verb == "stored") {  // the remote stored for the Audio or the Video group
      Prefs::SetText(words[0] == "Audio" ? prefs_.Audio : prefs_.Video, words[1].c_str());
    } else if (verb == "classic-timing") {
      prefs_.classic_timing = rest == "on";
    } else if (verb == "classic-key") {  // a recorded press of a classic code: header and code
      Router().HandleReport(ClassicKeyReportOf(std::stoi(words[0]), std::stoi(words[1])));
    } else if (verb != "held") {  // the next report of the press held
      ADD_FAILURE() << "no such step: " << step;
    }
    if (verb == "exact" || verb == "held") {  // the press's first report, or the next
      ASSERT_FALSE(held_.empty());
      Router().HandleReport(held_.front());
      held_.erase(held_.begin());
    }
  }
  // What the view shows and the router holds, by name.
  std::map<std::string, std::string> State() {
    std::map<std::string, std::string> state;
    for (const auto& [name, value] : view_.shown) state[name] = "'" + value + "'";
    std::set<std::string> on = view_.on;
    for (const auto& [name, is_on] : {std::pair{"slowed-down", slowdown_.load()},
                                      {"muted", mixer_.muted},
                                      {"mute-button", view_.indicators.shown},
                                      {"splitting", prefs_.use_splitting},
                                      {"hysteresis", router_ && Router().Hysteresis()},
                                      {"skip-next", router_ && Router().SkipFlag()},
                                      {"media-list-mode", router_ && Router().MediaListMode()}})
      if (is_on) on.insert(name);
    for (const std::string& name : on) state["on"] += name + " ";
    for (const std::string& label : view_.marked) state["marked keys"] += label + " ";
    for (const char* stored : {prefs_.Desktop, prefs_.Application, prefs_.Audio, prefs_.Video})
      state["stored groups"] += std::string(stored) + " ";
    const std::vector<std::string> list = CellList(feed_.Answer("LIST"), '\n');
    if (list.size() > 4) state["lircd remotes"] = list[4];
    if (!router_) return state;
    state["teach remote"] =
        Router().TeachRemote().name_ + (Router().TeachRemote().IsExact() ? " (exact)" : "");
    for (int32_t group = 0; group < 5; ++group) {
      const RemoteDefinition* remote = Router().GroupRemote(group);
      const bool listed = std::ranges::any_of(
          Router().Remotes(), [&](const auto& item) { return item.get() == remote; });
      state["group remotes"] += std::string(group > 0 ? " " : "") + (!remote  ? "-"
                                                                     : listed ? remote->name_
                                                                              : "(not listed)");
    }
    return state;
  }
  // What was sent, launched, asked of the desktop and traced since the last step.
  std::string Happened(const std::string& traced) {
    std::string lines;
    for (; seen_.sent < sent_.size(); ++seen_.sent)
      lines += "  sent " + MessageText(sent_[seen_.sent]) + "\n";
    for (; seen_.launched < launcher_.calls.size(); ++seen_.launched)
      lines += "  launched " + launcher_.calls[seen_.launched] + "\n";
    for (; seen_.desktop < desktop_.calls.size(); ++seen_.desktop)
      lines += "  desktop " + desktop_.calls[seen_.desktop] + "\n";
    for (; seen_.to_desktop < desktop_.sent.size(); ++seen_.to_desktop)
      lines += "  to the desktop " + MessageText(desktop_.sent[seen_.to_desktop].message) + "\n";
    for (; seen_.view < view_.happened.size(); ++seen_.view)
      lines += "  " + view_.happened[seen_.view] + "\n";
    for (; seen_.lircd < broadcast_.size(); ++seen_.lircd)
      lines += "  lircd " + broadcast_[seen_.lircd] + "\n";
    // The log grows at the top; a new text replaces it.
    const std::string& log = view_.log;
    const size_t added = log.ends_with(seen_.log) ? log.size() - seen_.log.size() : log.size();
    for (const std::string& line : CellList(log.substr(0, added), '\n'))
      lines += "  log " + line + "\n";
    seen_.log = log;
    for (const std::string& line : CellList(traced, '\n')) lines += "  | " + line + "\n";
    for (size_t at; (at = lines.find('\t')) != std::string::npos;) lines.replace(at, 1, "\\t");
    return lines;
  }
  std::string MessageText(const Message& message) {
    std::string text = FourCCText(message.what);
    for (int32_t i = 0; i < message.CountNames(); ++i) {
      const std::string name = message.NameAt(i);
      int32_t number = 0;
      std::string words;
      if (message.FindInt32(name, &number) == kOk)
        text += " " + name + "=" + std::to_string(number);
      if (message.FindString(name, &words) == kOk) text += " " + name + "='" + words + "'";
    }
    // An unknown code is shown on the first remote of the list, whichever the folder gave first.
    if (const RemoteDefinition* remote = KeyRemote(message))
      text += " remote=" + (remote == Router().Remotes().front().get() &&
                                    view_.Text(RoutingText::kRemote) == "-unknown-"
                                ? "(the first)"
                                : remote->name_);
    return text;
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
  VirtualClock clock_{1000000};  // still but for the steps "time"
  LircdKeyFeed feed_{"1.0"};     // the router's key listener, as for the lircd socket
  std::vector<std::string> broadcast_;
  std::unique_ptr<KeyRouter> router_;
  struct {
    size_t sent = 0, launched = 0, desktop = 0, to_desktop = 0, view = 0, lircd = 0;
    std::string log;
  } seen_;
  std::string printed_;               // by the step played last
  std::vector<ReceiverReport> held_;  // the reports of an exact press still to come
};

}  // namespace koru
