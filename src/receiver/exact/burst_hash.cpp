// The universal fallback code: the marks and the spaces of the first frame each grouped into
// classes of like length (jitter of 200 us never moves a period to another class), each class
// ranked among the classes of both kinds by its mean length, and the sequence of ranks and
// classes hashed with FNV-1a (32 bits).
#include <algorithm>
#include <cmath>
#include <optional>

#include "receiver/exact/duration_classes.h"
#include "receiver/exact/exact_frames.h"

namespace {

// The mean of each class, rounded; a class number no value has (the grouping may leave one
// empty) gets none, so that it cannot take a place among the means.
std::vector<std::optional<int32_t>> ClassMeans(const std::vector<int32_t>& values,
                                               const std::vector<int32_t>& classes) {
  std::vector<double> sums;
  std::vector<int32_t> counts;
  for (size_t n = 0; n < values.size(); ++n) {
    const auto c = static_cast<size_t>(classes[n]);
    if (c >= sums.size()) {
      sums.resize(c + 1, 0);
      counts.resize(c + 1, 0);
    }
    sums[c] += values[n];
    ++counts[c];
  }
  std::vector<std::optional<int32_t>> means(sums.size());
  for (size_t c = 0; c < sums.size(); ++c)
    if (counts[c] > 0) means[c] = static_cast<int32_t>(std::lround(sums[c] / counts[c]));
  return means;
}

}  // namespace

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
  // Classes are counted per kind, so mark class 0 and space class 0 need not be alike: a frame of
  // 6 ms marks and 1 ms spaces would hash like one of even periods. Each class is given the
  // place of its mean among the means of both kinds (jitter averages out in a mean, and each
  // kind keeps its own grouping, so a receiver that lengthens marks a little changes nothing).
  // index_of: class of either kind (marks first) to its mean's index in `means`.
  const std::vector<std::optional<int32_t>> mark_means = ClassMeans(marks, mark_classes);
  const std::vector<std::optional<int32_t>> space_means = ClassMeans(spaces, space_classes);
  std::vector<int32_t> means;
  std::vector<size_t> index_of(mark_means.size() + space_means.size(), 0);
  for (size_t c = 0; c < index_of.size(); ++c) {
    const std::optional<int32_t>& mean =
        c < mark_means.size() ? mark_means[c] : space_means[c - mark_means.size()];
    if (!mean) continue;
    index_of[c] = means.size();
    means.push_back(*mean);
  }
  const std::vector<int32_t> places = DurationClasses(means);
  auto place = [&](size_t c) { return places[index_of[c]]; };
  uint32_t hash = 2166136261u;
  auto add = [&hash](int32_t symbol) {
    hash ^= static_cast<uint8_t>(symbol);
    hash *= 16777619u;
  };
  if (first > 0) add(0xFF);
  // The class within its kind goes in as well: places may join classes of one kind that lie
  // close to a class of the other, and keys told apart by those classes must stay apart.
  for (size_t i = first; i < end; ++i) {
    const size_t n = (i - first) / 2;
    const bool mark = (i - first) % 2 == 0;
    const int32_t own = mark ? mark_classes[n] : space_classes[n];
    add(place(mark ? static_cast<size_t>(own) : mark_means.size() + static_cast<size_t>(own)));
    add(own);
  }
  return ExactCode{ExactProtocol::kHash, 0, hash, 0};
}
