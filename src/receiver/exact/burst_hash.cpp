// The universal fallback code: the marks and the spaces of the first frame each grouped into
// classes of like length (jitter of 200 us never moves a period to another class), and the
// sequence of classes hashed with FNV-1a (32 bits).
#include <algorithm>

#include "receiver/exact/duration_classes.h"
#include "receiver/exact/exact_frames.h"

ExactCode HashBurst(BurstPeriods burst) {
  const size_t end = FirstFrameEnd(burst);
  // A lead-in (a first mark clearly longer than the others) stands for itself: its space may
  // lie close to a bit length and would fall on either side of it under jitter.
  int32_t longest_mark = 0;
  for (size_t i = 2; i < end; i += 2) longest_mark = std::max(longest_mark, burst[i]);
  const size_t first = end > 2 && burst[0] > longest_mark + std::max(420, longest_mark / 4) ? 2 : 0;
  std::vector<int32_t> marks;
  std::vector<int32_t> spaces;
  for (size_t i = first; i < end; ++i) ((i - first) % 2 == 0 ? marks : spaces).push_back(burst[i]);
  const std::vector<int32_t> mark_classes = DurationClasses(marks);
  const std::vector<int32_t> space_classes = DurationClasses(spaces);
  uint32_t hash = 2166136261u;
  auto add = [&hash](int32_t symbol) {
    hash ^= static_cast<uint8_t>(symbol);
    hash *= 16777619u;
  };
  if (first > 0) add(0xFF);
  // Marks and spaces alternate, so a space's class is told apart by its place.
  for (size_t i = first; i < end; ++i)
    add((i - first) % 2 == 0 ? mark_classes[(i - first) / 2] : space_classes[(i - first) / 2]);
  return ExactCode{ExactProtocol::kHash, 0, hash, 0};
}
