#include "receiver/exact/duration_classes.h"

#include <algorithm>
#include <numeric>

std::vector<int32_t> DurationClasses(std::span<const int32_t> values) {
  std::vector<size_t> order(values.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return values[a] < values[b]; });
  std::vector<int32_t> classes(values.size(), 0);
  int32_t current = 0;
  for (size_t n = 1; n < order.size(); ++n) {
    const int32_t shorter = values[order[n - 1]];
    if (values[order[n]] - shorter > std::max(420, shorter / 4)) ++current;
    classes[order[n]] = current;
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
