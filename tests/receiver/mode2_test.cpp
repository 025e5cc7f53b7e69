// Mode2 recordings: parsed, played as a timeline, read from files and FIFOs in blocks as they
// play, and played as a receiver line in real time.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include "platform/lines/mode2_file.h"
#include "platform/lines/mode2_file_reader.h"
#include "platform/lines/mode2_recording.h"
#include "platform/lines/mode2_timeline.h"
#include "platform/lines/replay_line.h"
#include "platform/messaging/threads.h"
#include "table_cells.h"
#include "temp_dir.h"
#include "test_files.h"

namespace koru {

namespace {

TEST(Mode2, ParsesAndMergesEntriesAndNamesTheFileAndLineOfABadOne) {
  auto rows = ReadTable("receiver/data/mode2_texts.tsv", 2);
  // Binary junk is shown printable and cut short.
  rows.push_back(
      {"\x01\xff"
       "abcdefghijklmnopqrstuvwxyz",
       "rec:1: unexpected '??abcdefghijklmnopqrstuv...'"});
  for (const auto& row : rows) {
    Mode2Recording recording{{true, 1}};
    std::string error, read;
    const status_t status = ParseMode2(Unescaped(row[0]), "rec", &recording, &error);
    for (const Mode2Entry& e : recording)
      read += (read.empty() ? "" : " ") + std::string(e.pulse ? "+" : "-") +
              std::to_string(e.microseconds);
    EXPECT_EQ(status == kOk ? read : status == kBadValue ? error : "?", row[1]) << row[0];
  }
}

// The timeline reads its entries as it goes: every answer must be the one the whole recording,
// laid out at once, gives (a leading space continues the idle level, after the last pulse the
// line is at space). Entries of length 0, repeated kinds and saturating sums included.
TEST(Mode2Timeline, PlayedAsItIsReadItAgreesWithTheWholeRecording) {
  std::mt19937_64 random(17);
  for (int round = 0; round < 300; ++round) {
    Mode2Recording raw;
    const int entries = static_cast<int>(random() % 40);
    for (int i = 0; i < entries; ++i) {
      const uint64_t pick = random() % 10;
      const uint64_t length = pick == 0   ? 0
                              : pick == 1 ? ~uint64_t{0} >> (random() % 3)
                                          : random() % 3000;
      raw.push_back({random() % 3 != 0 ? i % 2 == 0 : random() % 2 == 0, length});
    }
    // The whole layout: merged entries, a change where the kind changes, a saturated time
    // repeating itself cancels out.
    Mode2Recording merged;
    AppendMode2(&merged, raw);
    constexpr int64_t kFar = std::numeric_limits<int64_t>::max() / 4;
    std::vector<int64_t> changes;
    bool level = false;
    int64_t time = 500;
    const auto toggle = [&](int64_t at) {
      changes.empty() || changes.back() != at ? changes.push_back(at) : changes.pop_back();
    };
    for (const Mode2Entry& entry : merged) {
      if (entry.pulse != level) toggle(time);
      level = entry.pulse;
      time += static_cast<int64_t>(std::min<uint64_t>(entry.microseconds, kFar - time));
    }
    if (level) toggle(time);

    Mode2Timeline timeline(std::make_unique<Mode2MemorySource>(raw), 500);
    int64_t asked = 0;
    for (;;) {
      const auto next = std::upper_bound(changes.begin(), changes.end(), asked);
      ASSERT_EQ(timeline.PulseAt(asked), (next - changes.begin()) % 2 == 1)
          << round << " at " << asked;
      int64_t change = 0;
      bool pulse = false;
      ASSERT_EQ(timeline.NextChange(asked, &change, &pulse), next != changes.end()) << round;
      if (next == changes.end()) break;
      ASSERT_EQ(change, *next) << round;
      EXPECT_EQ(pulse, (next - changes.begin()) % 2 == 0) << round;
      // Sometimes ask from between two changes, as a waiting thread does after a deadline.
      asked = random() % 2 == 0 || change >= kFar ? change
                                                  : change + static_cast<int64_t>(random() % 2000);
    }
  }
}

// Several blocks of a reading: lines cut at block ends, one line longer than a block, Windows
// line ends, no newline at the end.
std::string LongText(uint32_t seed) {
  std::mt19937 random(seed);
  std::string text;
  while (text.size() < 300 * 1024) {
    const uint32_t pick = random() % 6;
    if (pick == 0) text += "# a comment line\n";
    if (pick == 1) text += "timeout " + std::to_string(random() % 200000) + "\r\n";
    for (int i = 0; pick == 2 && i < 3; ++i) text += "+" + std::to_string(random() % 900) + " -0 ";
    if (pick == 2) text += "\n";
    if (pick > 2)
      text += (random() % 2 ? "pulse " : "space ") + std::to_string(random() % 3000) + "\n";
  }
  for (int i = 0; i < 20000; ++i) text += (i % 2 ? " -" : " +") + std::to_string(100 + i % 7);
  text += "\nspace 42";
  return text;
}

Mode2Recording Played(const Mode2File& file) {
  Mode2Recording played;
  auto pass = file.Play();
  Mode2Entry entry;
  while (pass->Next(&entry)) AppendMode2(&played, entry.pulse, entry.microseconds);
  EXPECT_EQ(pass->Status(), kOk) << pass->Error();
  return played;
}

// Read in blocks, a file gives what its whole text gives, a bad line far down found before
// anything plays with its line number, and holds no more than a block whatever its lines; a FIFO
// is read once, before anything plays, and plays as often as asked.
TEST(Mode2File, ReadInBlocksItGivesWhatTheWholeTextGivesAndHoldsNoMoreThanABlock) {
  std::string pairs;
  while (pairs.size() < 200 * 1024) pairs += "+1 -1 ";
  const std::string words(150 * 1024, 'w');
  const std::string text = LongText(3);
  const std::string cases[] = {
      text,
      text + "\npulse 12 13\n",
      "pulse 3\n" + pairs + "\nspace 9",
      "# " + pairs + words + "\npulse 4\n",
      std::string(150 * 1024, ' ') + "pulse 5\n" + std::string(150 * 1024, '\t'),
      "pulse 1\n" + pairs + "pulse 2\n",  // bad: a word in a token line
      pairs + "#comment\n",
      pairs + "-99999999999999\n",
      pairs + words,
  };
  TempDir dir;
  const std::string path = (dir.Path() / "line.mode2").string();
  for (const std::string& text : cases) {
    SCOPED_TRACE(text.substr(0, 40));
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    Mode2Recording expected, read, whole;
    std::string expected_error, error;
    const status_t expected_status = ParseMode2(text, path, &expected, &expected_error);
    auto reader = Mode2FileReader::Open(path);
    size_t held = 0;
    for (Mode2Entry entry; reader->Next(&entry);) {
      AppendMode2(&read, entry.pulse, entry.microseconds);
      held = std::max(held, reader->HeldBytes());
    }
    EXPECT_EQ(reader->Status(), expected_status);
    EXPECT_EQ(reader->Error(), expected_error);
    EXPECT_LE(held, size_t{64 * 1024 + 32 * 1024 * sizeof(Mode2Entry)});
    std::shared_ptr<const Mode2File> file;
    EXPECT_EQ(Mode2File::Open(path, &file, &error), expected_status);
    EXPECT_EQ(ReadMode2File(path, &whole, &error), expected_status);
    if (expected_status != kOk) {
      EXPECT_EQ(error, expected_error);
      continue;
    }
    // Every pass starts from the beginning.
    for (const Mode2Recording& got : {read, whole, Played(*file), Played(*file)})
      EXPECT_EQ(got, expected);
  }

  const std::string fifo = (dir.Path() / "fifo").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << text; });
  std::shared_ptr<const Mode2File> from_fifo;
  std::string error;
  const status_t fifo_status = Mode2File::Open(fifo, &from_fifo, &error);
  writer.join();
  ASSERT_EQ(fifo_status, kOk) << error;
  Mode2Recording expected;
  ASSERT_EQ(ParseMode2(text, fifo, &expected, &error), kOk);
  for (int pass = 0; pass < 2; ++pass) EXPECT_EQ(Played(*from_fifo), expected) << pass;
}

// The times come from the recording, so a caller that is late (here: one that sleeps between
// its calls) still measures every period exactly; nothing depends on how fast it wakes up.
TEST(ReplayLine, ALateCallerGetsEveryChangeWithItsRecordedTime) {
  ReplayLine line({{true, 560}, {false, 1690}, {true, 560}, {false, 30000}, {true, 1000}});
  LevelChange change;
  const bigtime_t start = system_time();
  ASSERT_EQ(line.WaitForChange(start, kNoDeadline, &change), kOk);  // the lead-in
  EXPECT_TRUE(change.pulse);
  EXPECT_GE(change.time - start, 100000);
  bigtime_t t0 = change.time;
  snooze(35000);  // late for all the rest
  bool pulse = true;
  for (const bigtime_t duration : {560, 1690, 560, 30000}) {
    // A deadline before the next change passes first, though the change has happened.
    EXPECT_TRUE(duration < 30000 || line.WaitForChange(t0, t0 + 15001, &change) == kTimedOut);
    ASSERT_EQ(line.WaitForChange(t0, kNoDeadline, &change), kOk);
    pulse = !pulse;
    EXPECT_EQ(change.time - t0, duration);
    EXPECT_EQ(change.pulse, pulse);
    t0 = change.time;
  }
  // A caller that was away (suspended) asks from its own time: changes before it are past.
  ASSERT_EQ(line.WaitForChange(t0 + 500, kNoDeadline, &change), kOk);
  EXPECT_EQ(change.time - t0, 1000);
  EXPECT_FALSE(change.pulse);
}

// A FIFO's writer may come late: Keep does not wait for it, the line waits (until its
// deadlines) for the whole recording, suspension and kill taking effect meanwhile; a bad one ends
// the play. (A good one played: the program's own test of a FIFO written after its start.)
TEST(ReplayLine, AFifoIsWaitedForUntilADeadlineOrAKillAndABadOneEndsThePlay) {
  TempDir dir;
  const std::string fifo = (dir.Path() / "bad").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string error;
  ASSERT_EQ(ReplayLine::Keep(fifo, &error), kOk) << error;
  std::unique_ptr<ReceiverLine> killed, opened;
  ASSERT_EQ(ReplayLine::Open(fifo, &killed), 1);
  ASSERT_EQ(ReplayLine::Open(fifo, &opened), 1);
  static std::atomic<bool> waiting{false};
  const thread_id thread = spawn_thread(
      [](void* line) -> int32_t {
        LevelChange change;
        waiting.store(true);
        static_cast<ReceiverLine*>(line)->WaitForChange(system_time(), kNoDeadline, &change);
        return 0;
      },
      "fifo wait", kNormalPriority, killed.get());
  ASSERT_GE(thread, 0);
  resume_thread(thread);
  while (!waiting.load()) snooze(1000);
  kill_thread(thread);
  int32_t status = 0;
  EXPECT_EQ(wait_for_thread(thread, &status), kOk);
  EXPECT_EQ(status, kInterrupted);

  auto* line = static_cast<ReplayLine*>(opened.get());
  LevelChange change;
  EXPECT_EQ(line->WaitForChange(system_time(), system_time() + 20000, &change), kTimedOut);
  EXPECT_FALSE(line->IsDCD());
  std::thread writer([&] { std::ofstream(fifo) << "pulse 560\nsquare 5\n"; });
  for (int turn = 0; turn < 6000 && !line->Finished(); ++turn)
    EXPECT_EQ(line->WaitForChange(system_time(), system_time() + 10000, &change), kTimedOut);
  EXPECT_TRUE(line->Broken());
  writer.join();
}

}  // namespace

}  // namespace koru
