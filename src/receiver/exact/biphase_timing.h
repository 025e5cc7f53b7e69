#pragma once
// Timing helpers shared by the bi-phase protocol readers and writers: the period tolerance, the
// quantising of periods into half-bit units and the level sequences the writers build.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "receiver/exact/exact_frames.h"

namespace koru {

// Spaces longer than this separate frames: no bi-phase frame holds one inside, except the
// half-frame space of XMP, which its reader crosses itself.
constexpr int32_t kFrameWall = 10000;

// How far a period may be from its nominal value: 25 % or 200 us, whichever is wider.
int32_t PeriodTolerance(int32_t nominal_us);
bool NearPeriod(int64_t period_us, int32_t nominal_us);  // 64 bits: sums of periods

// The timing a frame was received with: a pulse of k units lasts k * pulse_unit + pulse_offset,
// a space k * space_unit + space_offset.
struct UnitClock {
  int32_t pulse_unit_us = 0;
  int32_t pulse_offset_us = 0;
  int32_t space_unit_us = 0;
  int32_t space_offset_us = 0;
};
UnitClock NominalClock(int32_t unit_us);

// The number of units a period stands for (the nearest whole number, 1..max_units, within the
// tolerance of that many units, or within `slack_us` when that is wider); 0 when it is none of
// them. A slack of half a unit takes every period as its nearest count: right where the
// tolerance leaves gaps between the counts (short units) and nothing else could be meant.
int UnitsOf(int32_t period_us, bool pulse, const UnitClock& clock, int max_units,
            int32_t slack_us = 0);

// The indices where frames may begin: 0 and every pulse after a space longer than kFrameWall.
std::vector<size_t> FrameStarts(BurstPeriods burst);

// The clocks to try on the frame from `start` on: the nominal one, then two fitted to the
// frame's own periods (least squares over their counts of units, counted with the nominal clock
// and again with the first fit), when their units are within 10 % of the nominal one and their
// offsets within half a unit:
//   - one unit, pulses longer and spaces shorter by one offset: a receiver slow to switch, or a
//     remote whose clock runs fast or slow;
//   - a unit for pulses and one for spaces: a remote whose half-bits of each level differ.
// Either keeps the full tolerance for the jitter of each period.
std::vector<UnitClock> CandidateClocks(BurstPeriods burst, size_t start, int32_t nominal_unit_us,
                                       int max_units);

// Expands the periods from `start` on into unit levels (true for a pulse), each period
// 1..max_units units. The frame ends at the end of the burst or at a space longer than
// max_units units; the index after the frame is returned, nothing when a period inside it fits
// no count of units.
std::optional<size_t> ExpandUnits(BurstPeriods burst, size_t start, const UnitClock& clock,
                                  int max_units, std::vector<bool>* levels, int32_t slack_us = 0);

// Appends a period of one level; a period of the last period's level lengthens it, and a space
// at the very start is dropped (a burst starts with a pulse).
void AppendLevel(std::vector<int32_t>* periods, bool pulse, int32_t us);
// Appends unit levels, each `unit_us` long.
void AppendUnits(const std::vector<bool>& levels, int32_t unit_us, std::vector<int32_t>* periods);

}  // namespace koru
