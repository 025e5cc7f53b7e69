#include "action_fixture.h"

namespace {

using KeystrokeActionsTest = ActionTest;

constexpr char kGimp[] = "application/x-vnd.linux-gimp";

struct KeyCase {
  const char* signature;
  int32_t n;
  int32_t key;  // 0: nothing sent
  int32_t modifiers;
  int state_index;  // -1: no "states" field
  uint8_t state_value;
  int32_t character;  // -1: no "raw_char"
  const char* bytes;  // nullptr: no "bytes" field
  bool release;
};

TEST_F(KeystrokeActionsTest, KeyPressTablesPerActiveApplication) {
  const KeyCase cases[] = {
      // The file manager: its own Tab, never Eject, the general table otherwise.
      {kTrackerSignature, 70, 0x68, 0xb0, 13, 0x80, -1, nullptr, true},
      {kTrackerSignature, 81, 0, 0, -1, 0, -1, nullptr, false},
      {kTrackerSignature, 61, 0x57, 0x30, 10, 0x01, 0x1e, "\"\"", true},
      // KORU itself: no Tab or Eject to itself; other keys by the general table.
      {kKoruSignature, 70, 0, 0, -1, 0, -1, nullptr, false},
      {kKoruSignature, 81, 0, 0, -1, 0, -1, nullptr, false},
      // The PDF viewer.
      {kPdfViewerSignature, 61, 0x21, 0x30, 8, 0x04, 0x0b, "\"\"", true},
      {kPdfViewerSignature, 96, 0x47, 0x432, 11, 0x04, 0x0a, "\"\"", true},
      // The office suite: Escape without release; arrows of its own; the rest general.
      {kOfficeSignature, 81, 0x01, 0x30, -1, 0, 0x1b, "\"\"", false},
      {kOfficeSignature, 63, 0x61, 0x30, 10, 0x01, 0x1c, "\"\"", true},
      // Any other application.
      {kGimp, 61, 0x57, 0x30, 10, 0x01, 0x1e, "\"\"", true},
      {kGimp, 95, 0x63, 0x30, 12, 0x14, 0x1d, "\"\"", true},
      {kGimp, 69, 0x5b, 0x30, -1, 0, 0x0a, "\"\"", true},
      {kGimp, 70, 0x26, 0x30, 4, 0x02, 0x09, "\t", true},
      {kGimp, 65, 0, 0, -1, 0, -1, nullptr, false},
      // Signatures that do not compare greater than "application/x".
      {"application/x", 61, 0, 0, -1, 0, -1, nullptr, false},
      {"application/pdf-reader", 61, 0, 0, -1, 0, -1, nullptr, false},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(std::string(c.signature) + " n=" + std::to_string(c.n));
    desktop.sent.clear();
    desktop.Activate(c.signature);
    IKeypress2App(services, c.n);
    if (c.key == 0) {
      EXPECT_TRUE(desktop.sent.empty());
      continue;
    }
    std::vector<std::string> expected = {"window '_KYD'"};
    if (c.release) expected.push_back("window '_KYU'");
    ASSERT_EQ(SentSummary(), expected);
    const Message& down = desktop.sent[0].message;
    EXPECT_EQ(down.GetInt32("key", -1), c.key);
    EXPECT_EQ(down.GetInt32("modifiers", -1), c.modifiers);
    std::vector<uint8_t> states;
    if (c.state_index >= 0) {
      states.assign(16, 0);
      states[c.state_index] = c.state_value;
    }
    EXPECT_EQ(States(down), states);
    EXPECT_EQ(down.GetInt32("raw_char", -1), c.character);
    int8_t byte = 0;
    EXPECT_EQ(down.FindInt8("byte", &byte) == kOk, c.character >= 0);
    if (c.character >= 0) {
      EXPECT_EQ(byte, static_cast<int8_t>(c.character));
    }
    EXPECT_EQ(down.HasField("bytes"), c.bytes != nullptr);
    if (c.bytes) {
      EXPECT_EQ(down.GetString("bytes", ""), c.bytes);
    }
    if (c.release) {
      int64_t when = 0, up_when = 0;
      down.FindInt64("when", &when);
      desktop.sent[1].message.FindInt64("when", &up_when);
      EXPECT_EQ(up_when, when + 500);
    }
  }
}

TEST_F(KeystrokeActionsTest, EjectOnAnOrdinaryApplicationAsksItToQuit) {
  desktop.Activate(kGimp);
  IKeypress2App(services, 81);
  EXPECT_EQ(SentSummary(), (std::vector<std::string>{std::string("app:") + kGimp + " '_QRQ'"}));
  EXPECT_TRUE(trace.Contains("\n >[inV81] Any App :)\n"));
}

TEST_F(KeystrokeActionsTest, AltPlusMinusSendsOneKeyDownWithTwoKeys) {
  IAltPlusMinus(services, 66);
  ASSERT_EQ(SentSummary(), (std::vector<std::string>{"window '_KYD'"}));
  const Message& down = desktop.sent[0].message;
  int32_t first = 0, second = 0;
  down.FindInt32("key", &first, 0);
  down.FindInt32("key", &second, 1);
  EXPECT_EQ(first, 0x5d);
  EXPECT_EQ(second, 0x3a);
  std::vector<uint8_t> states(16, 0);
  states[11] = 0x04;
  EXPECT_EQ(States(down), states);
  EXPECT_EQ(down.GetInt32("raw_char", 0), 0x2b);
  EXPECT_EQ(down.GetString("bytes", ""), "+");
  EXPECT_EQ(down.GetInt32("modifiers", 0), 0x30);
}

}  // namespace
