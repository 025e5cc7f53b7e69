#include "platform/lines/mode2_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <random>
#include <string>
#include <thread>

#include "platform/lines/mode2_file_reader.h"
#include "platform/lines/mode2_recording.h"
#include "temp_dir.h"

namespace {

// Several blocks of a reading: lines cut at block ends, one line longer than a block, Windows
// line ends, no newline at the end.
std::string LongText(uint32_t seed) {
  std::mt19937 random(seed);
  std::string text;
  while (text.size() < 300 * 1024) {
    switch (random() % 6) {
      case 0:
        text += "# a comment line\n";
        break;
      case 1:
        text += "timeout " + std::to_string(random() % 200000) + "\r\n";
        break;
      case 2:
        for (int i = 0; i < 3; ++i) text += "+" + std::to_string(random() % 900) + " -0 ";
        text += "\n";
        break;
      default:
        text += (random() % 2 ? "pulse " : "space ") + std::to_string(random() % 3000) + "\n";
    }
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

TEST(Mode2File, ReadInBlocksItGivesWhatTheWholeTextGives) {
  TempDir dir;
  const std::string path = (dir.Path() / "long.mode2").string();
  const std::string text = LongText(3);
  std::ofstream(path, std::ios::binary) << text;
  Mode2Recording expected;
  std::string error;
  ASSERT_EQ(ParseMode2(text, path, &expected, &error), kOk) << error;

  Mode2Recording read;
  ASSERT_EQ(ReadMode2File(path, &read, &error), kOk) << error;
  EXPECT_EQ(read, expected);
  std::shared_ptr<const Mode2File> file;
  ASSERT_EQ(Mode2File::Open(path, &file, &error), kOk) << error;
  EXPECT_EQ(Played(*file), expected);
  EXPECT_EQ(Played(*file), expected) << "every pass starts from the beginning";

  // A bad line far down is found before anything plays, with its line number.
  const std::string bad = text + "\npulse 12 13\n";
  std::ofstream(path, std::ios::binary) << bad;
  std::string parse_error;
  ASSERT_EQ(ParseMode2(bad, path, &expected, &parse_error), kBadValue);
  EXPECT_EQ(Mode2File::Open(path, &file, &error), kBadValue);
  EXPECT_EQ(error, parse_error);
  EXPECT_EQ(ReadMode2File(path, &read, &error), kBadValue);
  EXPECT_EQ(error, parse_error);
}

TEST(Mode2File, LinesLongerThanABlockReadAsAWholeTextAndHoldNoMoreThanABlock) {
  std::string pairs;
  while (pairs.size() < 200 * 1024) pairs += "+1 -1 ";
  const std::string words(150 * 1024, 'w');
  const std::string cases[] = {
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
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    Mode2Recording expected;
    std::string expected_error;
    const status_t expected_status = ParseMode2(text, path, &expected, &expected_error);
    auto reader = Mode2FileReader::Open(path);
    Mode2Recording read;
    size_t held = 0;
    for (Mode2Entry entry; reader->Next(&entry);) {
      AppendMode2(&read, entry.pulse, entry.microseconds);
      held = std::max(held, reader->HeldBytes());
    }
    EXPECT_EQ(reader->Status(), expected_status) << text.substr(0, 40);
    EXPECT_EQ(reader->Error(), expected_error);
    if (expected_status == kOk) {
      EXPECT_EQ(read, expected);
    }
    EXPECT_LE(held, size_t{64 * 1024 + 32 * 1024 * sizeof(Mode2Entry)}) << text.substr(0, 40);
  }
}

TEST(Mode2File, AFifoIsReadOnceAndPlaysAsOftenAsAsked) {
  TempDir dir;
  const std::string path = (dir.Path() / "fifo").string();
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  const std::string text = LongText(8);
  std::thread writer([&] { std::ofstream(path, std::ios::binary) << text; });
  std::shared_ptr<const Mode2File> file;
  std::string error;
  const status_t status = Mode2File::Open(path, &file, &error);
  writer.join();
  ASSERT_EQ(status, kOk) << error;
  Mode2Recording expected;
  ASSERT_EQ(ParseMode2(text, path, &expected, &error), kOk);
  EXPECT_EQ(Played(*file), expected);
  EXPECT_EQ(Played(*file), expected);
}

}  // namespace
