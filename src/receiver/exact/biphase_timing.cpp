#include "receiver/exact/biphase_timing.h"

#include <algorithm>
#include <cstdlib>

namespace koru {

int32_t PeriodTolerance(int32_t nominal_us) {
  return std::max(nominal_us / 4, int32_t{200});
}

bool NearPeriod(int64_t period_us, int32_t nominal_us) {
  return std::abs(period_us - nominal_us) <= PeriodTolerance(nominal_us);
}

UnitClock NominalClock(int32_t unit_us) {
  return {unit_us, 0, unit_us, 0};
}

int UnitsOf(int32_t period_us, bool pulse, const UnitClock& clock, int max_units,
            int32_t slack_us) {
  const int32_t unit = pulse ? clock.pulse_unit_us : clock.space_unit_us;
  const int32_t offset = pulse ? clock.pulse_offset_us : clock.space_offset_us;
  if (unit <= 0 || period_us <= 0) return 0;
  const int64_t units = (int64_t{period_us} - offset + unit / 2) / unit;
  if (units < 1 || units > max_units) return 0;
  const int32_t nominal = static_cast<int32_t>(units) * unit;
  const int32_t off = std::abs(period_us - offset - nominal);
  return off <= std::max(PeriodTolerance(nominal), slack_us) ? static_cast<int>(units) : 0;
}

std::vector<size_t> FrameStarts(BurstPeriods burst) {
  std::vector<size_t> starts;
  if (!burst.empty()) starts.push_back(0);
  for (size_t i = 1; i + 1 < burst.size(); i += 2)
    if (burst[i] > kFrameWall) starts.push_back(i + 1);
  return starts;
}

namespace {

enum class ClockModel { kSkew, kLevelUnits };

int32_t Rounded(double value) {
  value = std::clamp(value, -1e9, 1e9);  // fits unlike any protocol's, and no overflow
  return static_cast<int32_t>(value < 0 ? value - 0.5 : value + 0.5);
}

// One fit of `model` to the periods counted with `clock`; nothing when it fails.
std::optional<UnitClock> FitClock(BurstPeriods burst, size_t start, int max_units,
                                  const UnitClock& clock, ClockModel model) {
  if (clock.pulse_unit_us <= 0 || clock.space_unit_us <= 0) return std::nullopt;
  // Sums over (count k, sign s: +1 pulse, -1 space, period p).
  double kk = 0, ks = 0, ss = 0, kp = 0, sp = 0;
  double pulse_kk = 0, pulse_kp = 0, space_kk = 0, space_kp = 0;
  for (size_t i = start; i < burst.size(); ++i) {
    const bool pulse = i % 2 == 0;
    const int32_t unit = pulse ? clock.pulse_unit_us : clock.space_unit_us;
    const int32_t offset = pulse ? clock.pulse_offset_us : clock.space_offset_us;
    const int64_t units = (int64_t{burst[i]} - offset + unit / 2) / unit;
    if (units > max_units) break;  // the end of the frame (or not this protocol)
    const double k = static_cast<double>(std::max<int64_t>(units, 1));
    const double sign = pulse ? 1.0 : -1.0;
    const double p = burst[i];
    kk += k * k;
    ks += k * sign;
    ss += 1;
    kp += k * p;
    sp += sign * p;
    (pulse ? pulse_kk : space_kk) += k * k;
    (pulse ? pulse_kp : space_kp) += k * p;
  }
  UnitClock fitted;
  if (model == ClockModel::kSkew) {
    const double det = kk * ss - ks * ks;
    if (ss < 4 || det <= 0) return std::nullopt;
    const double unit = (kp * ss - ks * sp) / det;
    const double skew = (kk * sp - ks * kp) / det;
    fitted = {Rounded(unit), Rounded(skew), Rounded(unit), Rounded(-skew)};
  } else {
    if (pulse_kk == 0 || space_kk == 0) return std::nullopt;
    fitted = {Rounded(pulse_kp / pulse_kk), 0, Rounded(space_kp / space_kk), 0};
  }
  if (fitted.pulse_unit_us <= 0 || fitted.space_unit_us <= 0) return std::nullopt;
  return fitted;
}

// A fitted clock close enough to the nominal one to be the protocol's.
bool Plausible(const UnitClock& clock, int32_t nominal_unit_us) {
  for (const int32_t unit : {clock.pulse_unit_us, clock.space_unit_us})
    if (std::abs(unit - nominal_unit_us) * 10 > nominal_unit_us) return false;
  return std::abs(clock.pulse_offset_us) * 2 <= nominal_unit_us;
}

// A first guess at a slow receiver's clock: most periods of a Manchester frame are one unit
// long, so the lower quartiles of the pulses and of the spaces are one-unit periods.
UnitClock QuartileClock(BurstPeriods burst, size_t start, int32_t nominal_unit_us, int max_units) {
  std::vector<int32_t> pulses, spaces;
  for (size_t i = start; i < burst.size(); ++i) {
    if (burst[i] > (2 * max_units + 1) * nominal_unit_us / 2) break;
    (i % 2 == 0 ? pulses : spaces).push_back(burst[i]);
  }
  if (pulses.empty() || spaces.empty()) return NominalClock(nominal_unit_us);
  auto quartile = [](std::vector<int32_t>& v) {
    std::nth_element(v.begin(), v.begin() + static_cast<ptrdiff_t>(v.size() / 4), v.end());
    return v[v.size() / 4];
  };
  const int32_t pulse = quartile(pulses);
  const int32_t space = quartile(spaces);
  const int32_t unit = (pulse + space) / 2;
  return {unit, pulse - unit, unit, space - unit};
}

}  // namespace

std::vector<UnitClock> CandidateClocks(BurstPeriods burst, size_t start, int32_t nominal_unit_us,
                                       int max_units) {
  const UnitClock nominal = NominalClock(nominal_unit_us);
  std::vector<UnitClock> clocks = {nominal};
  for (const ClockModel model : {ClockModel::kSkew, ClockModel::kLevelUnits}) {
    const UnitClock first = model == ClockModel::kSkew
                                ? QuartileClock(burst, start, nominal_unit_us, max_units)
                                : nominal;
    std::optional<UnitClock> fitted = FitClock(burst, start, max_units, first, model);
    if (fitted) fitted = FitClock(burst, start, max_units, *fitted, model);
    if (fitted && Plausible(*fitted, nominal_unit_us)) clocks.push_back(*fitted);
  }
  return clocks;
}

std::optional<size_t> ExpandUnits(BurstPeriods burst, size_t start, const UnitClock& clock,
                                  int max_units, std::vector<bool>* levels, int32_t slack_us) {
  size_t i = start;
  for (; i < burst.size(); ++i) {
    const bool pulse = i % 2 == 0;
    const int units = UnitsOf(burst[i], pulse, clock, max_units, slack_us);
    if (units == 0) {
      // A space too long for the frame ends it; anything else breaks it.
      if (!pulse && burst[i] > max_units * clock.space_unit_us + clock.space_offset_us) break;
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

}  // namespace koru
