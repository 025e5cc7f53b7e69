#include "receiver/exact/biphase_timing.h"

#include <algorithm>
#include <cstdlib>

int32_t PeriodTolerance(int32_t nominal_us) {
  return std::max(nominal_us / 4, int32_t{200});
}

bool NearPeriod(int32_t period_us, int32_t nominal_us) {
  return std::abs(period_us - nominal_us) <= PeriodTolerance(nominal_us);
}

int UnitsOf(int32_t period_us, bool pulse, UnitClock clock, int max_units, int32_t slack_us) {
  const int32_t unit = clock.unit_us;
  const int32_t corrected = period_us - (pulse ? clock.skew_us : -clock.skew_us);
  if (unit <= 0 || corrected <= 0) return 0;
  const int64_t units = (int64_t{corrected} + unit / 2) / unit;
  if (units < 1 || units > max_units) return 0;
  const int32_t nominal = static_cast<int32_t>(units) * unit;
  const int32_t off = std::abs(corrected - nominal);
  return off <= std::max(PeriodTolerance(nominal), slack_us) ? static_cast<int>(units) : 0;
}

std::vector<size_t> FrameStarts(BurstPeriods burst) {
  std::vector<size_t> starts;
  if (!burst.empty()) starts.push_back(0);
  for (size_t i = 1; i + 1 < burst.size(); i += 2)
    if (burst[i] > kFrameWall) starts.push_back(i + 1);
  return starts;
}

std::vector<UnitClock> CandidateClocks(BurstPeriods burst, size_t start, int32_t nominal_unit_us,
                                       int max_units) {
  std::vector<UnitClock> clocks = {{nominal_unit_us, 0}};
  // Least squares of period = units * unit + sign * skew (sign +1 for pulses, -1 for spaces).
  double su = 0, sus = 0, ss = 0, sup = 0, ssp = 0;
  for (size_t i = start; i < burst.size(); ++i) {
    const int64_t units = (int64_t{burst[i]} + nominal_unit_us / 2) / nominal_unit_us;
    if (units > max_units) break;  // the end of the frame (or not this protocol)
    const double u = static_cast<double>(std::max<int64_t>(units, 1));
    const double s = i % 2 == 0 ? 1.0 : -1.0;
    su += u * u;
    sus += u * s;
    ss += s * s;
    sup += u * burst[i];
    ssp += s * burst[i];
  }
  const double det = su * ss - sus * sus;
  if (ss < 4 || det <= 0) return clocks;
  const double unit = (sup * ss - sus * ssp) / det;
  const double skew = (su * ssp - sus * sup) / det;
  if (std::abs(unit - nominal_unit_us) * 10 > nominal_unit_us ||
      std::abs(skew) * 4 > nominal_unit_us)
    return clocks;
  const UnitClock fitted = {static_cast<int32_t>(unit + 0.5),
                            static_cast<int32_t>(skew + (skew < 0 ? -0.5 : 0.5))};
  if (fitted.unit_us != nominal_unit_us || fitted.skew_us != 0) clocks.push_back(fitted);
  return clocks;
}

std::optional<size_t> ExpandUnits(BurstPeriods burst, size_t start, UnitClock clock, int max_units,
                                  std::vector<bool>* levels, int32_t slack_us) {
  size_t i = start;
  for (; i < burst.size(); ++i) {
    const bool pulse = i % 2 == 0;
    const int units = UnitsOf(burst[i], pulse, clock, max_units, slack_us);
    if (units == 0) {
      // A space too long for the frame ends it; anything else breaks it.
      if (!pulse && burst[i] > max_units * clock.unit_us) break;
      return std::nullopt;
    }
    levels->insert(levels->end(), static_cast<size_t>(units), pulse);
  }
  return i;
}

void AppendLevel(std::vector<int32_t>* periods, bool pulse, int32_t us) {
  if (us <= 0) return;
  const bool last_is_pulse = periods->size() % 2 == 1;
  if (periods->empty() && !pulse) return;
  if (!periods->empty() && last_is_pulse == pulse)
    periods->back() += us;
  else
    periods->push_back(us);
}

void AppendUnits(const std::vector<bool>& levels, int32_t unit_us, std::vector<int32_t>* periods) {
  for (const bool pulse : levels) AppendLevel(periods, pulse, unit_us);
}
