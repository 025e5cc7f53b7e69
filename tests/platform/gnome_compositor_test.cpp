#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <map>

#include "platform/desktop/gnome_compositor.h"
#include "platform/desktop/gtk_accelerator.h"

namespace {

using Keys = std::vector<uint16_t>;

TEST(GtkAccelerator, NamesBecomeEvdevKeysModifiersFirst) {
  struct Case {
    const char* accelerator;
    Keys keys;
  };
  const Case cases[] = {
      {"<Super>Home", {KEY_LEFTMETA, KEY_HOME}},
      {"<Primary><Alt>Left", {KEY_LEFTCTRL, KEY_LEFTALT, KEY_LEFT}},
      {"<Control><Alt>Right", {KEY_LEFTCTRL, KEY_LEFTALT, KEY_RIGHT}},
      {"<Shift><Super>Page_Up", {KEY_LEFTSHIFT, KEY_LEFTMETA, KEY_PAGEUP}},
      {"<ctrl><SHIFT>page_down", {KEY_LEFTCTRL, KEY_LEFTSHIFT, KEY_PAGEDOWN}},
      {"<Super>a", {KEY_LEFTMETA, KEY_A}},
      {"<Super>Q", {KEY_LEFTMETA, KEY_Q}},
      {"<Super>1", {KEY_LEFTMETA, KEY_1}},
      {"<Alt>0", {KEY_LEFTALT, KEY_0}},
      {"<Alt>F4", {KEY_LEFTALT, KEY_F4}},
      {"F11", {KEY_F11}},
      {"<Super>F13", {KEY_LEFTMETA, KEY_F13}},
      {"<Control><Primary>Tab", {KEY_LEFTCTRL, KEY_TAB}},
      {"<Super>Above_Tab", {KEY_LEFTMETA, KEY_GRAVE}},
      {"<Meta>space", {KEY_LEFTALT, KEY_SPACE}},
      {"", {}},
      {"disabled", {}},
      {"<Super>", {}},
      {"<Bogus>Home", {}},
      {"<Super>NoSuchKey", {}},
      {"<Super Home", {}},
      {"F25", {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseGtkAccelerator(c.accelerator), c.keys) << c.accelerator;
}

TEST(GtkAccelerator, GsettingsListsBecomeTheirItems) {
  using Items = std::vector<std::string>;
  struct Case {
    const char* text;
    Items items;
  };
  const Case cases[] = {
      {"['<Super>Home', '<Control><Alt>Left']", {"<Super>Home", "<Control><Alt>Left"}},
      {"  ['<Super>Home']\n", {"<Super>Home"}},
      {"@as []", {}},
      {"[]", {}},
      {R"(['it\'s', "<Super>'"])", {"it's", "<Super>'"}},
      {"['unclosed'", {}},
      {"[bare]", {}},
      {"'<Super>Home'", {}},
      {"['a' 'b']", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseGVariantStringList(c.text), c.items) << c.text;
}

class RecordingInjector : public InputInjector {
 public:
  std::string Name() const override { return "recording"; }
  status_t Stroke(const Keys& keys) override {
    strokes.push_back(keys);
    return kOk;
  }
  status_t Click() override { return kOk; }
  status_t MovePointer(ScreenPoint, ScreenPoint, ScreenSize) override { return kOk; }
  std::vector<Keys> strokes;
};

// GNOME's own defaults: only the first workspace and the steps have keys.
std::map<std::string, std::string> DefaultSettings() {
  return {
      {"org.gnome.desktop.wm.keybindings switch-to-workspace-1", "['<Super>Home']"},
      {"org.gnome.desktop.wm.keybindings switch-to-workspace-left",
       "['<Super>Page_Up', '<Super><Alt>Left', '<Control><Alt>Left']"},
      {"org.gnome.desktop.wm.keybindings switch-to-workspace-right",
       "['<Super>Page_Down', '<Super><Alt>Right', '<Control><Alt>Right']"},
      {"org.gnome.mutter dynamic-workspaces", "true"},
      {"org.gnome.desktop.wm.preferences num-workspaces", "4"},
  };
}

GSettingsReader ReaderOf(std::map<std::string, std::string> values) {
  return [values](const std::string& schema, const std::string& key) -> std::string {
    auto found = values.find(schema + " " + key);
    if (found != values.end()) return found->second;
    return schema == "org.gnome.desktop.wm.keybindings" ? "@as []" : "";
  };
}

TEST(GnomeCompositor, WorkspacesAreReachedByTheDesktopsOwnKeys) {
  const Keys home = {KEY_LEFTMETA, KEY_HOME}, right = {KEY_LEFTMETA, KEY_PAGEDOWN},
             left = {KEY_LEFTMETA, KEY_PAGEUP};
  struct Case {
    const char* what;
    std::map<std::string, std::string> changes;
    int32_t index;
    status_t status;
    std::vector<Keys> strokes;
  };
  const Case cases[] = {
      {"the first", {}, 0, kOk, {home}},
      {"the third, stepping right", {}, 2, kOk, {home, right, right}},
      {"the tenth of dynamic workspaces",
       {},
       9,
       kOk,
       {home, right, right, right, right, right, right, right, right, right}},
      {"its own binding",
       {{"org.gnome.desktop.wm.keybindings switch-to-workspace-4", "['<Primary><Alt>4']"}},
       3,
       kOk,
       {{KEY_LEFTCTRL, KEY_LEFTALT, KEY_4}}},
      {"no key for the first: left from the last of four",
       {{"org.gnome.mutter dynamic-workspaces", "false"},
        {"org.gnome.desktop.wm.keybindings switch-to-workspace-1", "@as []"}},
       1,
       kOk,
       {left, left, left, right}},
      {"beyond four fixed workspaces",
       {{"org.gnome.mutter dynamic-workspaces", "false"}},
       4,
       kBadIndex,
       {}},
      {"no step key",
       {{"org.gnome.desktop.wm.keybindings switch-to-workspace-right", "['disabled']"}},
       1,
       kUnsupported,
       {}},
  };
  for (const Case& c : cases) {
    std::map<std::string, std::string> settings = DefaultSettings();
    for (const auto& [key, value] : c.changes) settings[key] = value;
    RecordingInjector injector;
    GnomeCompositor gnome(&injector, ReaderOf(settings), nullptr, "none");
    EXPECT_EQ(gnome.Backends().workspaces, "gnome-keys");
    EXPECT_EQ(gnome.ActivateWorkspace(c.index), c.status) << c.what;
    EXPECT_EQ(injector.strokes, c.strokes) << c.what;
  }
}

TEST(GnomeCompositor, CountsFixedAndDynamicWorkspaces) {
  std::map<std::string, std::string> settings = DefaultSettings();
  RecordingInjector injector;
  EXPECT_EQ(GnomeCompositor(&injector, ReaderOf(settings), nullptr).CountWorkspaces(),
            GnomeCompositor::kDynamicWorkspaceCount);
  settings["org.gnome.mutter dynamic-workspaces"] = "false";
  EXPECT_EQ(GnomeCompositor(&injector, ReaderOf(settings), nullptr).CountWorkspaces(), 4);
  settings["org.gnome.desktop.wm.preferences num-workspaces"] = "";
  EXPECT_EQ(GnomeCompositor(&injector, ReaderOf(settings), nullptr).CountWorkspaces(), 1);
}

TEST(GnomeCompositor, SaysWhatIsMissingAndWhatWouldEnableIt) {
  RecordingInjector injector;
  GnomeCompositor no_keys(nullptr, ReaderOf(DefaultSettings()), nullptr, "no a11y bus");
  GnomeCompositor no_gsettings(
      &injector, [](auto&, auto&) { return std::string(); }, nullptr);
  for (GnomeCompositor* gnome : {&no_keys, &no_gsettings}) {
    EXPECT_EQ(gnome->ActivateWorkspace(0), kUnsupported);
    EXPECT_EQ(gnome->Backends().workspaces, "");
    EXPECT_NE(gnome->WhyNot().workspaces, "");
    EXPECT_NE(gnome->Remedies().workspaces, "");
    EXPECT_NE(gnome->Remedies().windows, "");
    EXPECT_EQ(gnome->FocusedWindow(), std::nullopt);
  }
  EXPECT_NE(no_keys.WhyNot().workspaces.find("/dev/uinput"), std::string::npos);
  EXPECT_NE(no_gsettings.WhyNot().workspaces.find("gsettings"), std::string::npos);
  EXPECT_EQ(no_keys.WhyNot().front_app, "no a11y bus");
  EXPECT_TRUE(injector.strokes.empty());
}

}  // namespace
