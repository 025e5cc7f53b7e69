#include <gtest/gtest.h>

#include <map>

#include "platform/desktop/fake_wayland_parts.h"
#include "platform/desktop/gnome_compositor.h"
#include "platform/desktop/gtk_accelerator.h"
#include "table_cells.h"
#include "test_files.h"

namespace koru {

namespace {

TEST(GtkAccelerator, NamesBecomeEvdevKeysModifiersFirst) {
  for (const auto& row : ReadTable("platform/data/gtk_accelerators.tsv", 2))
    EXPECT_EQ(ParseGtkAccelerator(row[0]), CellNumbers<uint16_t>(row[1])) << row[0];
}

TEST(GtkAccelerator, GsettingsListsBecomeTheirItems) {
  for (const auto& row : ReadTable("platform/data/gvariant_lists.tsv", 2))
    EXPECT_EQ(ParseGVariantStringList(Unescaped(row[0])), CellList(row[1], '|')) << row[0];
}

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
  const std::map<std::string, status_t> statuses = {
      {"ok", kOk}, {"bad index", kBadIndex}, {"unsupported", kUnsupported}};
  for (const auto& row : ReadTable("platform/data/gnome_workspaces.tsv", 5)) {
    std::map<std::string, std::string> settings = DefaultSettings();
    for (const std::string& change : CellList(row.size() > 5 ? row[5] : "", ';'))
      settings[change.substr(0, change.find('='))] = change.substr(change.find('=') + 1);
    std::vector<std::string> expected, strokes;
    for (const std::string& accelerator : CellList(row[3])) {
      std::string stroke;
      for (uint16_t key : ParseGtkAccelerator(accelerator)) stroke += "," + std::to_string(key);
      expected.push_back("stroke " + stroke.substr(1));
    }
    FakeInputInjector injector(&strokes);
    GnomeCompositor gnome(&injector, ReaderOf(settings), nullptr, "none");
    EXPECT_EQ(gnome.Backends().workspaces, "gnome-keys");
    EXPECT_EQ(gnome.CountWorkspaces(), CellNumber(row[4])) << row[0];
    EXPECT_EQ(gnome.ActivateWorkspace(CellNumber(row[1])), statuses.at(row[2])) << row[0];
    EXPECT_EQ(strokes, expected) << row[0];
  }
}

TEST(GnomeCompositor, SaysWhatIsMissingAndWhatWouldEnableIt) {
  std::vector<std::string> strokes;
  FakeInputInjector injector(&strokes);
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
  EXPECT_TRUE(strokes.empty());
}

}  // namespace

}  // namespace koru
