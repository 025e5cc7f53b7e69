#pragma once
// The infrared signal of a button of a LIRC remote, period by period, as LIRC's transmitter
// sends it from the configuration: each frame is
//   header plead pre_data pre data post post_data ptrail foot(space, pulse) gap
// with the bits of pre_data, data and post_data most significant first (least with REVERSE),
// one bit as
//   SPACE_ENC     pulse + space of "one" or "zero"
//   SPACE_FIRST   space + pulse
//   RC5 / RC6     1 = space + pulse, 0 = pulse + space (bi-phase); RC6 sends the bits of its
//                 rc6_mask (by default the toggle bit) at double length
//   RCMM          two bits a pair: "zero", "one", "two" or "three" by their value
//   XMP           four bits a pair: "zero"'s pulse, and its space plus the value times "one"'s
// and a held key goes on with repeat frames: the "repeat" pair in place of plead..ptrail when
// the remote has one (header only with REPEAT_HEADER, gap repeat_gap when set), else the whole
// frame again (without header with NO_HEAD_REP, without foot with NO_FOOT_REP), the data
// inverted in repeat_mask. A button with several codes sends them in turn, frame by frame. With
// CONST_LENGTH the gap is the length of frame and gap together. Periods of one level that meet
// are joined; a space that would open a frame is not sent, one that would close it is the gap.
// Every press flips the toggle bits; LIRC starts a single toggle bit at 0 and a toggle mask of
// several bits at the state that sends the remote's first code unchanged on the second press.
// Raw buttons are sent as they are, with the remote's gap after each.
#include <cstdint>
#include <string>
#include <vector>

#include "lirc/lirc_config.h"
#include "platform/messaging/status.h"

namespace koru {

// Why this remote's signals cannot be made ("" when they can): no timings (made for a receiver
// that decodes by itself), no gap, or an encoding without a writer here (Goldstar, Grundig, B&O,
// serial); RC-MM and XMP need bit counts in whole symbols.
std::string LircSignalProblem(const LircRemote& remote);

// One press of `button`: its first frame and `repeats` repeat frames. Level periods in
// microseconds, starting with a pulse, pulses and spaces alternating, the last one the gap
// after the last frame. `earlier_presses` counts the presses LIRC sent since it started (0: the
// first, as irsimsend sends one key). kBadValue and `why` for a remote LircSignalProblem
// refuses, or a CONST_LENGTH gap shorter than the frame.
status_t LircButtonSignal(const LircRemote& remote, const LircButton& button, int32_t repeats,
                          std::vector<int32_t>* periods, std::string* why,
                          int32_t earlier_presses = 0);

}  // namespace koru
