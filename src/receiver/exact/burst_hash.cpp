// The universal fallback code: the marks and the spaces of the first frame each grouped into
// classes of like length (jitter of 200 us never moves a period to another class), each class
// ranked among the classes of both kinds by its mean length, and the sequence of ranks and
// classes hashed with FNV-1a (32 bits): the earlier hash, kept in the address so that remote
// files taught with it still match. The code's own hash adds to each rank how many times longer
// than the shortest rank it is, in steps whose bounds lie between the ratios protocols use
// (1, 1.5, 2, 3, 4, 6, 8, 12, 16 ...; every one 12 % or more from a bound): 1000/2000 and
// 1000/6000 differ, and jitter of 100 us keeps the steps of frames of 500 us units. Frames made
// of whole multiples of one unit (serial frames) hash each length's multiple.
#include <algorithm>
#include <cmath>
#include <optional>

#include "receiver/exact/duration_classes.h"
#include "receiver/exact/exact_frames.h"

namespace koru {

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

// The step of a ratio of lengths.
int32_t RatioStep(double ratio) {
  static constexpr double kBounds[] = {1.75, 2.5, 3.5, 7, 14, 28, 56, 112};
  int32_t step = 0;
  for (const double bound : kBounds) step += ratio >= bound;
  return step;
}

// Each place's step. Places whose means are all whole multiples of one unit (serial frames,
// lengths of 1 to 40 units; places of one period are not judged) step by their multiple, the
// unit fitted to every period; others by RatioStep of their mean against the shortest place's.
std::vector<int32_t> PlaceSteps(const std::vector<int32_t>& periods,
                                const std::vector<int32_t>& period_places) {
  constexpr int32_t kMostUnits = 40;
  constexpr double kWholeTolerance = 0.3;  // of a unit, for a place's mean
  constexpr int32_t kMultiples = 16;       // steps above RatioStep's
  std::vector<double> sums;
  std::vector<int32_t> counts;
  for (size_t n = 0; n < periods.size(); ++n) {
    const auto p = static_cast<size_t>(period_places[n]);
    if (p >= sums.size()) {
      sums.resize(p + 1, 0);
      counts.resize(p + 1, 0);
    }
    sums[p] += periods[n];
    ++counts[p];
  }
  std::vector<int32_t> steps(sums.size(), 0);
  if (sums.empty() || counts[0] == 0 || sums[0] <= 0) return steps;
  const double shortest = sums[0] / counts[0];
  // The unit fitted first to the places of several periods (their means hold less jitter), then
  // to all.
  double unit = shortest;
  for (const bool all : {false, true}) {
    double total = 0, units = 0;
    for (size_t p = 0; p < sums.size(); ++p) {
      if (counts[p] == 0 || (!all && counts[p] < 2)) continue;
      total += sums[p];
      units += counts[p] * std::max(1.0, std::round(sums[p] / counts[p] / unit));
    }
    if (units > 0) unit = total / units;
  }
  bool whole = true;
  for (size_t p = 0; p < sums.size(); ++p) {
    if (counts[p] == 0) continue;
    const double multiple = sums[p] / counts[p] / unit;
    // A single period's jitter may reach a third of a short unit: only means are judged.
    if (counts[p] > 1 || multiple > kMostUnits)
      whole = whole && multiple <= kMostUnits &&
              std::abs(multiple - std::round(multiple)) <= kWholeTolerance;
    steps[p] = RatioStep(sums[p] / counts[p] / shortest);
  }
  if (whole)
    for (size_t p = 0; p < sums.size(); ++p)
      if (counts[p] > 0)
        steps[p] = kMultiples + static_cast<int32_t>(std::lround(sums[p] / counts[p] / unit));
  return steps;
}

struct Fnv {
  uint32_t hash = 2166136261u;
  void Add(int32_t symbol) {
    hash ^= static_cast<uint8_t>(symbol);
    hash *= 16777619u;
  }
};

}  // namespace

ExactCode HashBurst(BurstPeriods burst) {
  const size_t end = FirstFrameEnd(burst);
  // A lead-in (a first mark clearly longer than the others) stands for itself: its space may
  // lie close to a bit length and would fall on either side of it under jitter.
  int32_t longest_mark = 0;
  for (size_t i = 2; i < end; i += 2) longest_mark = std::max(longest_mark, burst[i]);
  const size_t first =
      end > 2 && burst[0] > int64_t{longest_mark} + std::max(420, longest_mark / 4) ? 2 : 0;
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
  std::vector<int32_t> periods;
  std::vector<int32_t> period_places;
  for (size_t i = first; i < end; ++i) {
    const size_t n = (i - first) / 2;
    const bool mark = (i - first) % 2 == 0;
    const int32_t own = mark ? mark_classes[n] : space_classes[n];
    periods.push_back(burst[i]);
    period_places.push_back(
        place(mark ? static_cast<size_t>(own) : mark_means.size() + static_cast<size_t>(own)));
  }
  const std::vector<int32_t> steps = PlaceSteps(periods, period_places);
  Fnv earlier, timing;
  if (first > 0) {
    earlier.Add(0xFF);
    timing.Add(0xFF);
  }
  // The class within its kind goes in as well: places may join classes of one kind that lie
  // close to a class of the other, and keys told apart by those classes must stay apart.
  for (size_t i = first; i < end; ++i) {
    const size_t n = (i - first) / 2;
    const bool mark = (i - first) % 2 == 0;
    const int32_t own = mark ? mark_classes[n] : space_classes[n];
    const int32_t at = period_places[i - first];
    for (Fnv* fnv : {&earlier, &timing}) {
      fnv->Add(at);
      fnv->Add(own);
    }
    timing.Add(steps[static_cast<size_t>(at)]);
  }
  return ExactCode{ExactProtocol::kTimingHash, earlier.hash, timing.hash, 0};
}

}  // namespace koru
