// The lircd protocol without sockets: broadcast lines, codes, repeat counts, command replies.
#include <gtest/gtest.h>

#include "sectioned_file.h"
#include "table_cells.h"
#include "test_files.h"

#include "lircd/lircd_broadcast.h"
#include "lircd/lircd_command_reply.h"
#include "lircd/lircd_directory.h"
#include "lircd/lircd_repeat_counter.h"

namespace koru {

namespace {

std::unique_ptr<RemoteDefinition> Remote(const std::string& name, int32_t header,
                                         std::vector<std::pair<int32_t, int32_t>> slot_codes) {
  auto remote = std::make_unique<RemoteDefinition>();
  remote->name_ = name;
  remote->header_ = header;
  for (const auto& [slot, code] : slot_codes) remote->SetSlot(slot, code);
  return remote;
}

// An exact remote of NEC address 0x04 with a key of another protocol and address and a hash key.
std::unique_ptr<RemoteDefinition> ExactRemote(const std::string& name) {
  auto remote = std::make_unique<RemoteDefinition>();
  remote->name_ = name;
  remote->SetExactHead({ExactProtocol::kNec, 0x04, 0, 32});
  remote->SetExactKey(52, {ExactProtocol::kNec, 0x04, 0x08, 32});            // N1
  remote->SetExactKey(65, {ExactProtocol::kNecExtended, 0x1234, 0x10, 32});  // Vol+
  remote->SetExactKey(91, {ExactProtocol::kHash, 0, 0x1A2B3C4D, 0});         // |<<
  return remote;
}

}  // namespace

TEST(LircdBroadcast, LinesHaveLircdsFixedFieldsAndNamesWithoutBlanks) {
  for (const auto& row : ReadTable("lircd/data/broadcast_lines.tsv", 5))
    EXPECT_EQ(LircdBroadcastLine(std::stoull(row[0], nullptr, 16), std::stoi(row[1]), row[2],
                                 Unescaped(row[3])),
              Unescaped(row[4]));
  // Every key function's name is one word.
  for (int32_t keyfn = kFirstKeyFunction; keyfn <= kLastKeyFunction; ++keyfn) {
    const std::string name = LircdKeyName(keyfn);
    EXPECT_TRUE(!name.empty() && name.find_first_of(" \t\n") == std::string::npos) << keyfn << name;
  }
}

TEST(LircdBroadcast, TheCodeIsTheTaughtCodeOfTheKeyWhateverTheReportCarries) {
  auto two_byte = Remote("TV", 253128, {{2, 12345}});
  two_byte->mode_ = 3;
  auto exact = ExactRemote("Exact");
  for (const auto& row : ReadTable("lircd/data/codes.tsv", 4)) {
    ReceiverReport report;
    if (row[2] != "-") report.exact = ParseExactField(row[2]);
    const RemoteDefinition& remote = row[0] == "TV" ? *two_byte : *exact;
    EXPECT_EQ(LircdCode(remote, std::stoi(row[1]), report), std::stoull(row[3], nullptr, 16))
        << row[0] << " " << row[1] << " " << row[2];
  }
  // The broadcast code of every listed key is the code LIST shows for it.
  RemoteList list;
  list.push_back(std::move(two_byte));
  list.push_back(std::move(exact));
  const LircdDirectory directory = LircdDirectoryOf(list);
  for (size_t r = 0; r < list.size(); ++r) {
    for (const LircdKey& key : directory.remotes[r].keys) {
      int32_t keyfn = kFirstKeyFunction;
      while (LircdKeyName(keyfn) != key.name) ++keyfn;
      EXPECT_EQ(LircdCode(*list[r], keyfn, ReceiverReport{}), key.code) << key.name;
    }
  }
}

TEST(LircdRepeatCounter, OnlyTheSameKeyOfTheSameRemoteWithinTheWindowCountsAsHeld) {
  LircdRepeatCounter counter;
  for (const auto& row : ReadTable("lircd/data/repeats.tsv", 6)) {
    const bigtime_t when = std::stoi(row[2]) * LircdRepeatCounter::kWindow + std::stoi(row[3]);
    EXPECT_EQ(counter.Count(row[0], std::stoi(row[1]), when), std::stoi(row[4])) << row[5];
  }
}

TEST(LircdCommandReply, AnswersLikeLircdAndRefusesToSend) {
  RemoteList list;
  list.push_back(Remote("LR-SAT", 253128, {{2, 179}, {15, 205}, {kKeySlots, 4711}}));
  list.push_back(nullptr);
  // Only codes in the slots' range are keys.
  list.push_back(Remote("Living room", 1, {{1, 256255}, {3, 256256}, {4, -1}}));
  list.push_back(ExactRemote("Exact"));
  const LircdDirectory directory = LircdDirectoryOf(list);
  // A carriage return ends a line too; a blank line has no reply.
  EXPECT_EQ(LircdCommandReply("version\r", directory, "1.2.3"),
            "BEGIN\nversion\nSUCCESS\nDATA\n1\n1.2.3\nEND\n");
  for (const char* blank : {"", "  \t"})
    EXPECT_EQ(LircdCommandReply(blank, directory, "1.2.3"), "");
  const auto replies = ReadSections(KORU_SOURCE_DIR "/tests/lircd/data/replies.txt", "> ");
  ASSERT_EQ(replies.size(), 14u);
  for (const auto& [command, reply] : replies)
    EXPECT_EQ(LircdCommandReply(command, directory, "1.2.3"), reply) << command;
}

}  // namespace koru
