// The settings store and the label catalogue.
#include "settings/prefs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "platform/files/file_node.h"
#include "platform/files/memory_node.h"
#include "platform/files/paths.h"
#include "platform/messaging/trace.h"
#include "settings/label_table.h"
#include "table_cells.h"
#include "temp_dir.h"
#include "test_files.h"

namespace koru {

namespace {

// The bytes of the values, one after the other, as a value is stored.
template <typename... T>
std::vector<uint8_t> Bytes(T... values) {
  std::vector<uint8_t> bytes;
  (bytes.insert(bytes.end(), reinterpret_cast<uint8_t*>(&values),
                reinterpret_cast<uint8_t*>(&values) + sizeof values),
   ...);
  return bytes;
}

}  // namespace

TEST(Prefs, FirstStartWritesEveryKeyWithItsDefaultAndAChangeSurvivesARestart) {
  TempDir dir;
  ScopedEnv config("XDG_CONFIG_HOME", (dir.Path() / "config").c_str());
  std::unique_ptr<Prefs> prefs = Prefs::OpenSettingsFile();
  EXPECT_FALSE(prefs->HadError());

  FileNode file(dir.Path() / "config" / kSettingsFileName);
  for (const auto& key : ReadTable("shell/data/settings_keys.tsv", 1)) {
    char buffer[80];
    EXPECT_GE(file.ReadAttr(key[0], kRawType, 0, buffer, sizeof buffer), 0) << key[0];
  }

  prefs->use_splitting = true;
  Prefs::SetText(prefs->Audio, "AIWA_A");
  prefs->PRIORITY = 110;
  prefs->classic_timing = true;
  prefs->lircd_socket = true;
  prefs.reset();

  std::unique_ptr<Prefs> again = Prefs::OpenSettingsFile();
  EXPECT_TRUE(again->use_splitting);
  EXPECT_STREQ(again->Audio, "AIWA_A");
  EXPECT_EQ(again->PRIORITY, 110);
  EXPECT_TRUE(again->classic_timing);
  EXPECT_TRUE(again->lircd_socket);
}

TEST(Prefs, AValueOfAnotherSizeStillCountsAsReadAndTextsStayInTheirBuffers) {
  auto node = std::make_shared<MemoryNode>();
  node->SetValue("use_pimped", {1, 0, 0, 0});
  node->SetValue("ir_logfile", std::vector<uint8_t>(200, 'x'));  // far longer than 64 bytes
  node->SetValue("rs232_port", {'u', 's', 'b', '0'});            // no zero byte
  Prefs prefs(node);
  EXPECT_FALSE(prefs.HadError());
  EXPECT_TRUE(prefs.use_pimped);
  EXPECT_EQ(std::strlen(prefs.ir_logfile), 63u);
  EXPECT_STREQ(prefs.rs232_port, "usb0");
  EXPECT_STREQ(prefs.spare_, "-empty-");
}

TEST(Prefs, TheFirstFailingReadEndsLoadingAndAFailedPriorityReadRestoresItsDefault) {
  auto node = std::make_shared<MemoryNode>();
  node->FailReadsOf("Audio");
  TraceCapture trace;
  Prefs prefs(node);
  EXPECT_TRUE(prefs.HadError());
  EXPECT_TRUE(trace.Contains("Unknown error reading Audio:\nI/O error\n"));
  EXPECT_TRUE(node->Has("Application"));
  EXPECT_FALSE(node->Has("Video"));  // never read, never created
  EXPECT_STREQ(prefs.Video, "-empty-");

  node = std::make_shared<MemoryNode>();
  node->SetValue("PRIORITY", Bytes(77));
  node->FailReadsOf("PRIORITY");
  Prefs priority(node);
  EXPECT_FALSE(priority.LoadPrefs());
  EXPECT_EQ(priority.PRIORITY, 40);
  EXPECT_FALSE(node->Has("LAST_PLAY"));
}

TEST(Prefs, AFailingWriteDuringSaveKeepsTheLaterKeysAsTheyWereAndAFailedCreationIsFlagged) {
  auto node = std::make_shared<MemoryNode>();
  ASSERT_TRUE(Prefs(node).Save());
  Prefs prefs(node);
  prefs.use_systemsound = true;
  Prefs::SetText(prefs.Desktop, "Desk");
  Prefs::SetText(prefs.Application, "App");
  prefs.PRIORITY = 5;
  node->FailWritesOf("Desktop");
  TraceCapture trace;
  EXPECT_FALSE(prefs.Save());
  EXPECT_TRUE(trace.Contains("Unknown error writing Desktop:\n"));
  EXPECT_EQ(node->Value("use_systemsound"), std::vector<uint8_t>{1});  // before "Desktop"
  const char empty[] = "-empty-";                                      // after "Desktop": untouched
  EXPECT_EQ(node->Value("Application"), std::vector<uint8_t>(empty, empty + sizeof empty));
  EXPECT_EQ(node->Value("PRIORITY"), Bytes(40));

  // A write failing while the keys are created: the rest are not created.
  auto fresh = std::make_shared<MemoryNode>();
  fresh->FailWritesOf("rs232_port");
  Prefs created(fresh);
  EXPECT_TRUE(created.HadError());
  EXPECT_TRUE(trace.Contains("WriteAttr on rs232_port died"));
  EXPECT_FALSE(fresh->Has("ir_logfile"));
  node->ClearFailures();
  fresh->ClearFailures();
}

TEST(Prefs, StoredValuesOutsideTheirRangeFallBackToTheirDefaults) {
  for (const auto& c : ReadTable("shell/data/stored_values.tsv", 3)) {
    std::vector<uint8_t> stored;
    for (const std::string& value : CellList(c[1])) {
      const auto bytes =
          c[0] == "prefs_window_rect" ? Bytes(std::stof(value)) : Bytes(int32_t(std::stoll(value)));
      stored.insert(stored.end(), bytes.begin(), bytes.end());
    }
    auto node = std::make_shared<MemoryNode>();
    node->SetValue(c[0], stored);
    Prefs prefs(node);
    EXPECT_FALSE(prefs.HadError()) << c[0];
    const Rect& frame = prefs.prefs_window_rect;
    std::ostringstream loaded;
    loaded << frame.left << " " << frame.top << " " << frame.right << " " << frame.bottom << ", "
           << prefs.PRIORITY << ", " << prefs.LAST_PLAY << ", " << prefs.LINK_SIZE;
    EXPECT_EQ(loaded.str(), c[2]) << c[0] << " " << c[1];
  }
}

TEST(LabelTable, TranslatesThroughTheLocalesCatalogueAndFallsBackToEnglish) {
  TempDir dir;
  SetProgramFolder(dir.Path());
  std::filesystem::create_directories(dir.Path() / "Language" / "Dictionaries");
  std::ofstream(dir.Path() / "Language" / "Dictionaries" / "de.catalog")
      << "# KORU German\n7\tBeenden\n130\tName eingeben\\n\nbad line\n999\tout of range\n";
  {
    ScopedEnv all("LC_ALL", "de_AT.UTF-8");
    ReloadLabelCatalogue();
    EXPECT_STREQ(getLabel(7), "Beenden");
    EXPECT_STREQ(getLabel(130), "Name eingeben\n");
    EXPECT_STREQ(getLabel(8), "Done..");  // not translated: English
    EXPECT_STREQ(getLabel(211), "");
    EXPECT_STREQ(getLabel(-1), "");
  }
  {
    ScopedEnv all("LC_ALL", "C");
    ReloadLabelCatalogue();
    EXPECT_STREQ(getLabel(7), "Quit");
  }
  SetProgramFolder({});
  ReloadLabelCatalogue();
}

}  // namespace koru
