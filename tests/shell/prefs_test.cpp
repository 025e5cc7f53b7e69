#include "settings/prefs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "platform/files/file_node.h"
#include "platform/files/memory_node.h"
#include "platform/messaging/trace.h"
#include "temp_dir.h"

namespace {

const char* const kAllKeys[] = {
    "rs232_port",        "ir_logfile",      "use_splitting",  "use_pimped",     "show_pulse",
    "hold_irInfo",       "use_systemsound", "all_workspaces", "use_DualButton", "Desktop",
    "Application",       "Audio",           "Video",          "Presetfile",     "Layoutfile",
    "prefs_window_rect", "vr_window_rect",  "pr_window_rect", "lt_window_rect", "window_by_begin",
    "use_ompl",          "window_mtab",     "PRIORITY",       "LAST_PLAY",      "LINK_SIZE",
    "classic_timing",    "lircd_socket"};

std::string Text(const MemoryNode& node, const char* key) {
  const auto& value = node.Value(key);
  return std::string(value.begin(), value.end());
}

}  // namespace

TEST(Prefs, FirstStartWritesEveryKeyWithItsDefaultAndAChangeSurvivesARestart) {
  TempDir dir;
  ScopedEnv config("XDG_CONFIG_HOME", (dir.Path() / "config").c_str());
  std::unique_ptr<Prefs> prefs = Prefs::OpenSettingsFile();
  EXPECT_FALSE(prefs->HadError());
  EXPECT_STREQ(prefs->rs232_port, "serial0");
  EXPECT_EQ(prefs->PRIORITY, 40);
  EXPECT_FALSE(prefs->classic_timing);
  EXPECT_FALSE(prefs->lircd_socket);
  EXPECT_EQ(prefs->prefs_window_rect, (Rect{60, 100, 760, 300}));

  FileNode file(dir.Path() / "config" / kSettingsFileName);
  for (const char* key : kAllKeys) {
    char buffer[80];
    EXPECT_GE(file.ReadAttr(key, kRawType, 0, buffer, sizeof buffer), 0) << key;
  }
  char text[80] = {};
  EXPECT_EQ(file.ReadAttr("ir_logfile", kStringType, 0, text, sizeof text), 26);
  EXPECT_STREQ(text, "/boot/home/_logfile_KORU_");
  float rect[4];
  EXPECT_EQ(file.ReadAttr("lt_window_rect", kRectType, 0, rect, sizeof rect), 16);
  EXPECT_EQ(rect[2], 912.0f);

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

TEST(Prefs, TheFirstFailingReadEndsLoading) {
  auto node = std::make_shared<MemoryNode>();
  node->FailReadsOf("Audio");
  TraceCapture trace;
  Prefs prefs(node);
  EXPECT_TRUE(prefs.HadError());
  EXPECT_TRUE(trace.Contains("Unknown error reading Audio:\nI/O error\n"));
  EXPECT_TRUE(node->Has("Application"));
  EXPECT_FALSE(node->Has("Video"));  // never read, never created
  EXPECT_STREQ(prefs.Video, "-empty-");
}

TEST(Prefs, AFailedPriorityReadRestoresItsDefaultAndLeavesTheRestUnread) {
  auto node = std::make_shared<MemoryNode>();
  const int32_t stored = 77;
  node->WriteAttr("PRIORITY", kInt32Type, 0, &stored, 4);
  node->FailReadsOf("PRIORITY");
  Prefs prefs(node);
  EXPECT_FALSE(prefs.LoadPrefs());
  EXPECT_EQ(prefs.PRIORITY, 40);
  EXPECT_EQ(prefs.LAST_PLAY, 0);
  EXPECT_EQ(prefs.LINK_SIZE, 1);
  EXPECT_FALSE(node->Has("LAST_PLAY"));
}

TEST(Prefs, AFailingWriteDuringSaveKeepsTheLaterKeysAsTheyWere) {
  auto node = std::make_shared<MemoryNode>();
  {
    Prefs prefs(node);
    ASSERT_TRUE(prefs.Save());
  }
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
  EXPECT_EQ(Text(*node, "Application"), std::string("-empty-", 8));    // after it: untouched
  int32_t priority = 0;
  node->ReadAttr("PRIORITY", kInt32Type, 0, &priority, 4);
  EXPECT_EQ(priority, 40);
  node->ClearFailures();
}

TEST(Prefs, AFailedCreationIsTracedAndFlagged) {
  auto node = std::make_shared<MemoryNode>();
  node->FailWritesOf("rs232_port");
  TraceCapture trace;
  Prefs prefs(node);
  EXPECT_TRUE(prefs.HadError());
  EXPECT_TRUE(trace.Contains("WriteAttr on rs232_port died"));
  EXPECT_FALSE(node->Has("ir_logfile"));
  node->ClearFailures();
}

namespace {

std::vector<uint8_t> BytesOf(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  return {bytes, bytes + size};
}

std::vector<uint8_t> RectBytes(float left, float top, float right, float bottom) {
  const float values[4] = {left, top, right, bottom};
  return BytesOf(values, sizeof values);
}

std::vector<uint8_t> IntBytes(int32_t value) {
  return BytesOf(&value, sizeof value);
}

}  // namespace

TEST(Prefs, StoredValuesOutsideTheirRangeFallBackToTheirDefaults) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    const char* key;
    std::vector<uint8_t> stored;
  };
  const Case cases[] = {
      {"prefs_window_rect", RectBytes(nan, 100, 760, 300)},
      {"prefs_window_rect", RectBytes(1e38f, 100, 760, 300)},
      {"prefs_window_rect", RectBytes(60, -inf, 760, 300)},
      {"prefs_window_rect", RectBytes(760, 100, 60, 300)},  // right of its left edge
      {"PRIORITY", IntBytes(std::numeric_limits<int32_t>::min())},
      {"PRIORITY", IntBytes(0)},
      {"PRIORITY", IntBytes(121)},
      {"LAST_PLAY", IntBytes(-1)},
      {"LINK_SIZE", IntBytes(-5)},
  };
  for (const Case& c : cases) {
    auto node = std::make_shared<MemoryNode>();
    node->SetValue(c.key, c.stored);
    Prefs prefs(node);
    EXPECT_FALSE(prefs.HadError()) << c.key;
    EXPECT_EQ(prefs.prefs_window_rect, (Rect{60, 100, 760, 300})) << c.key;
    EXPECT_EQ(prefs.PRIORITY, 40) << c.key;
    EXPECT_EQ(prefs.LAST_PLAY, 0) << c.key;
    EXPECT_EQ(prefs.LINK_SIZE, 1) << c.key;
  }

  // Values inside the range are kept as stored.
  auto node = std::make_shared<MemoryNode>();
  node->SetValue("prefs_window_rect", RectBytes(-20, 0, 1900.5f, 1000));
  node->SetValue("PRIORITY", IntBytes(120));
  node->SetValue("LAST_PLAY", IntBytes(17));
  Prefs prefs(node);
  EXPECT_EQ(prefs.prefs_window_rect, (Rect{-20, 0, 1900.5f, 1000}));
  EXPECT_EQ(prefs.PRIORITY, 120);
  EXPECT_EQ(prefs.LAST_PLAY, 17);
}
