#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "remotes/frame_encoder.h"
#include "table_cells.h"
#include "test_files.h"

namespace koru {

namespace {

// Splits a key press into frames at the spaces longer than 10 ms (the receiver's walls).
std::vector<std::vector<int32_t>> Frames(const KeyPress& press) {
  std::vector<std::vector<int32_t>> frames(1);
  for (size_t i = 0; i < press.periods.size(); ++i) {
    if (i % 2 == 1 && press.periods[i] > 10000) {
      frames.emplace_back();
      continue;
    }
    frames.back().push_back(press.periods[i]);
  }
  frames.pop_back();  // after the last frame's gap
  return frames;
}

// The bits of a frame: its marks (the even places) or spaces (the odd ones) longer than `split`
// are '1'.
std::string Bits(const std::vector<int32_t>& frame, bool marks, int32_t split) {
  std::string bits;
  for (size_t i = marks ? 0 : 1; i < frame.size(); i += 2) bits += frame[i] > split ? '1' : '0';
  return bits;
}

// A key press of a table row (header, mode, code), held for `more` frames.
status_t Encode(const std::vector<std::string>& row, int more, KeyPress* press,
                std::string* why = nullptr) {
  return EncodeKeyPress(CellNumber(row[0]), CellNumber(row[1]), CellNumber(row[2]), more, press,
                        why);
}

int64_t Total(const KeyPress& press) {
  int64_t total = 0;
  for (const int32_t p : press.periods) total += p;
  return total;
}

TEST(FrameEncoder, FamilyFrameShapes) {
  for (const auto& row : ReadTable("remotes/data/frame_shapes.tsv", 6)) {
    KeyPress press;
    std::string why;
    ASSERT_EQ(Encode(row, 1, &press, &why), kOk) << why;
    const auto frames = Frames(press);
    EXPECT_EQ(static_cast<long>(frames.size()), CellNumber(row[3])) << row[0];
    EXPECT_EQ(press.frames, CellNumber(row[3]));
    for (const auto& frame : frames) EXPECT_EQ(frame.size(), CellNumber(row[4])) << row[0];
    EXPECT_EQ(Total(press), CellNumber(row[5]) * CellNumber(row[3])) << row[0];
    for (const int32_t p : press.periods) EXPECT_GT(p, 0);
  }
}

TEST(FrameEncoder, FamilyBitOrders) {
  EXPECT_EQ(DenonCode(2, 1), 68001);
  KeyPress press;
  for (const auto& row : ReadTable("remotes/data/frame_bits.tsv", 6)) {
    ASSERT_EQ(Encode(row, 0, &press), kOk);
    const auto frame = Frames(press)[CellNumber(row[3])];
    const bool marks = row[4].starts_with("marks");
    EXPECT_EQ(Bits(frame, marks, CellNumber(row[4].substr(row[4].find('>') + 1))), row[5])
        << row[0] << " " << row[2] << "/" << row[3];
  }
}

TEST(FrameEncoder, CodesAFamilyCannotSendAreRefused) {
  for (const auto& row : ReadTable("remotes/data/refused_codes.tsv", 3)) {
    KeyPress press;
    std::string why;
    EXPECT_EQ(Encode(row, 0, &press, &why), kBadValue) << row[0] << " " << row[2];
    EXPECT_FALSE(why.empty());
  }
}

}  // namespace

}  // namespace koru
