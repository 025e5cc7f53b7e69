#include "receiver/exact/duration_classes.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace koru {

std::vector<int32_t> DurationClasses(std::span<const int32_t> values) {
  std::vector<size_t> order(values.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return values[a] < values[b]; });
  std::vector<int32_t> classes(values.size(), 0);
  int32_t current = 0;
  int32_t shortest = order.empty() ? 0 : values[order[0]];
  for (size_t index : order) {
    if (values[index] - shortest > std::max(450, shortest / 4)) {
      ++current;
      shortest = values[index];
    }
    classes[index] = current;
  }
  // A class that started on a long sample of its length may have taken in the shortest samples
  // of the next: each duration goes to the class whose mean is nearest (twice, as the means
  // move), classes left empty drop out.
  for (int round = 0; round < 2 && current > 0; ++round) {
    std::vector<double> sums(static_cast<size_t>(current) + 1, 0);
    std::vector<int32_t> counts(sums.size(), 0);
    for (size_t n = 0; n < values.size(); ++n) {
      sums[static_cast<size_t>(classes[n])] += values[n];
      ++counts[static_cast<size_t>(classes[n])];
    }
    std::vector<double> means;
    for (size_t c = 0; c < sums.size(); ++c)
      if (counts[c] > 0) means.push_back(sums[c] / counts[c]);
    for (size_t n = 0; n < values.size(); ++n) {
      size_t nearest = 0;
      for (size_t c = 1; c < means.size(); ++c)
        if (std::abs(values[n] - means[c]) < std::abs(values[n] - means[nearest])) nearest = c;
      classes[n] = static_cast<int32_t>(nearest);
    }
    current = static_cast<int32_t>(means.size()) - 1;
    if (round == 1) {
      // Nearest means cut one wide class in two halves: halves with close means are one class.
      std::vector<int32_t> merged(means.size(), 0);
      for (size_t c = 1; c < means.size(); ++c)
        merged[c] = merged[c - 1] + (means[c] - means[c - 1] > std::max(350.0, means[c - 1] / 6));
      for (int32_t& c : classes) c = merged[static_cast<size_t>(c)];
    }
  }
  return classes;
}

size_t FirstFrameEnd(std::span<const int32_t> burst) {
  constexpr int32_t kAlwaysGap = 10000;
  constexpr int32_t kShortestGap = 5600;
  std::vector<int32_t> spaces;
  for (size_t i = 1; i < burst.size(); i += 2) spaces.push_back(burst[i]);
  if (spaces.empty()) return burst.size();
  std::nth_element(spaces.begin(), spaces.begin() + static_cast<std::ptrdiff_t>(spaces.size() / 2),
                   spaces.end());
  const int32_t median = spaces[spaces.size() / 2];
  for (size_t i = 1; i < burst.size(); i += 2)
    if (burst[i] >= kAlwaysGap || (burst[i] > kShortestGap && burst[i] > 2 * median)) return i;
  return burst.size();
}

}  // namespace koru
