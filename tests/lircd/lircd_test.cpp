// The lircd protocol without sockets: broadcast lines, codes, repeat counts, command replies.
#include <gtest/gtest.h>

#include "lircd/lircd_broadcast.h"
#include "lircd/lircd_command_reply.h"
#include "lircd/lircd_directory.h"
#include "lircd/lircd_repeat_counter.h"

namespace {

std::unique_ptr<RemoteCL> Remote(const std::string& name, int32_t header,
                                 std::vector<std::pair<int32_t, int32_t>> slots) {
  auto remote = std::make_unique<RemoteCL>();
  remote->fName = name;
  remote->fComHead = header;
  for (const auto& [slot, code] : slots) remote->SetSlot(slot, code);
  return remote;
}

}  // namespace

TEST(LircdBroadcast, LinesHaveLircdsFixedFieldsAndNamesWithoutBlanks) {
  struct Case {
    uint64_t code;
    int repeat;
    std::string key, remote, line;
  } cases[] = {
      {0xfd4cb3, 0, "N1", "LR-SAT", "0000000000fd4cb3 00 N1 LR-SAT\n"},
      {0x3dcc8000000b3ull, 0x1a, "|<<", "x", "0003dcc8000000b3 1a |<< x\n"},
      {0xffffffffffffffffull, 300, "Vol+", "My Remote", "ffffffffffffffff ff Vol+ My_Remote\n"},
      {1, -1, "", "tab\there\nnew", "0000000000000001 00 _ tab_here_new\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LircdBroadcastLine(c.code, c.repeat, c.key, c.remote), c.line);
  }
  // Every key function's name is one word.
  for (int32_t keyfn = kFirstKeyFunction; keyfn <= kLastKeyFunction; ++keyfn) {
    const std::string name = LircdKeyName(keyfn);
    EXPECT_FALSE(name.empty());
    EXPECT_EQ(name.find_first_of(" \t\n"), std::string::npos) << keyfn;
  }
  EXPECT_EQ(LircdKeyName(52), "N1");
  EXPECT_EQ(LircdKeyName(91), "|<<");
}

TEST(LircdBroadcast, TheCodeIsTheExactCodeWhenTheReportHasOneElseTheTaughtClassicCode) {
  auto two_byte = Remote("TV", 253128, {{2, 12345}});
  two_byte->fComByte = 3;
  Message plain(FourCC("irCE"));
  EXPECT_EQ(LircdCode(*two_byte, 52, plain), 0x0003dcc800003039ull);

  struct Case {
    const char* exact;
    uint64_t code;
  } cases[] = {
      {"NEC:0x04:0x08", 0x0000000400000008ull},
      {"RC-6A:0x800F:0x040C", 0x0000800f0000040cull},
      {"hash:1A2B3C4D", 0x000000001a2b3c4dull},
      {"not a code", 0x0003dcc800003039ull},  // unreadable: the classic code
  };
  for (const Case& c : cases) {
    Message report(FourCC("irCE"));
    report.AddString("_exact", c.exact);
    EXPECT_EQ(LircdCode(*two_byte, 52, report), c.code) << c.exact;
  }
}

TEST(LircdRepeatCounter, OnlyTheSameKeyOfTheSameRemoteWithinTheWindowCountsAsHeld) {
  constexpr bigtime_t w = LircdRepeatCounter::kWindow;
  struct Step {
    const char* remote;
    int32_t key;
    bigtime_t when;
    int count;
  } steps[] = {
      {"A", 52, 1000, 0},              // a new press
      {"A", 52, 1000 + w, 1},          // held: at the edge of the window
      {"A", 52, 1000 + 2 * w, 2},      //
      {"A", 53, 1000 + 2 * w + 1, 0},  // another key
      {"A", 53, 1000 + 4 * w, 0},      // a pause longer than the window
      {"B", 53, 1000 + 4 * w + 1, 0},  // the same key of another remote
      {"B", 53, 1000 + 4 * w + 2, 1},  //
      {"B", 53, 1000, 0},              // time that went back starts again
  };
  LircdRepeatCounter counter;
  for (const Step& step : steps) {
    EXPECT_EQ(counter.Count(step.remote, step.key, step.when), step.count)
        << step.remote << " " << step.key << " at " << step.when;
  }
}

TEST(LircdCommandReply, AnswersLikeLircdAndRefusesToSend) {
  RemoteList list;
  list.push_back(Remote("LR-SAT", 253128, {{2, 179}, {15, 205}, {kKeySlots, 4711}}));
  list.push_back(nullptr);
  // Only codes in the slots' range are keys.
  list.push_back(Remote("Living room", 1, {{1, 256255}, {3, 256256}, {4, -1}}));
  const LircdDirectory directory = LircdDirectoryOf(list);
  struct Case {
    const char* line;
    const char* reply;
  } cases[] = {
      {"VERSION", "BEGIN\nVERSION\nSUCCESS\nDATA\n1\n1.2.3\nEND\n"},
      {"version\r", "BEGIN\nversion\nSUCCESS\nDATA\n1\n1.2.3\nEND\n"},
      {"LIST", "BEGIN\nLIST\nSUCCESS\nDATA\n2\nLR-SAT\nLiving_room\nEND\n"},
      {"LIST LR-SAT",
       "BEGIN\nLIST LR-SAT\nSUCCESS\nDATA\n2\n0003dcc8000000b3 N1\n0003dcc8000000cd Vol+\nEND\n"},
      {"LIST  LR-SAT  Vol+",
       "BEGIN\nLIST  LR-SAT  Vol+\nSUCCESS\nDATA\n1\n0003dcc8000000cd Vol+\nEND\n"},
      {"LIST living_ROOM", "BEGIN\nLIST living_ROOM\nSUCCESS\nDATA\n1\n000000010003e8ff N0\nEND\n"},
      {"LIST nowhere", "BEGIN\nLIST nowhere\nERROR\nDATA\n1\nunknown remote: \"nowhere\"\nEND\n"},
      {"LIST LR-SAT N9", "BEGIN\nLIST LR-SAT N9\nERROR\nDATA\n1\nunknown command: \"N9\"\nEND\n"},
      {"SEND_ONCE LR-SAT N1",
       "BEGIN\nSEND_ONCE LR-SAT N1\nERROR\nDATA\n1\nhardware does not support sending\nEND\n"},
      {"SEND_START LR-SAT N1",
       "BEGIN\nSEND_START LR-SAT N1\nERROR\nDATA\n1\nhardware does not support sending\nEND\n"},
      {"SEND_STOP LR-SAT N1",
       "BEGIN\nSEND_STOP LR-SAT N1\nERROR\nDATA\n1\nhardware does not support sending\nEND\n"},
      {"SIMULATE x", "BEGIN\nSIMULATE x\nERROR\nDATA\n1\nunknown directive: \"SIMULATE\"\nEND\n"},
      {"VERSION now", "BEGIN\nVERSION now\nERROR\nDATA\n1\nbad send packet\nEND\n"},
      {"", ""},
      {"  \t", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LircdCommandReply(c.line, directory, "1.2.3"), c.reply) << c.line;
  }
}
