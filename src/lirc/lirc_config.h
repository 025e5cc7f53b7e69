#pragma once
// LIRC remote configurations (lircd.conf): the remotes of a file with their timings, flags and
// buttons, read without any side effect. What the parameters mean:
//   frame   header plead pre_data pre data post post_data ptrail foot gap
//   repeat  (a held key) the repeat pair in place of plead..ptrail, or the whole frame again
// Numbers are written as C writes them (0x hexadecimal, a leading 0 octal, else decimal), the
// way LIRC reads them. Parameters this reader does not know are skipped with a warning; a file
// it cannot make sense of is refused as a whole, with the line that is wrong.
//
//   std::vector<LircRemote> remotes;
//   std::vector<std::string> warnings;
//   std::string error;
//   if (ReadLircConfigFile(path, &remotes, &warnings, &error) != kOk) report(error);
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/messaging/status.h"

namespace koru {

// The flags, with the bit values LIRC gives them.
enum LircFlag : uint32_t {
  kLircRawCodes = 0x0001,
  kLircRc5 = 0x0002,  // also written SHIFT_ENC
  kLircRc6 = 0x0004,
  kLircRcmm = 0x0008,
  kLircSpaceEnc = 0x0010,
  kLircSpaceFirst = 0x0020,
  kLircGoldstar = 0x0040,
  kLircGrundig = 0x0080,
  kLircBo = 0x0100,
  kLircSerial = 0x0200,
  kLircXmp = 0x0400,
  kLircReverse = 0x0800,
  kLircNoHeadRep = 0x1000,
  kLircNoFootRep = 0x2000,
  kLircConstLength = 0x4000,
  kLircRepeatHeader = 0x8000,
};

// The encodings, one of which a remote uses.
inline constexpr uint32_t kLircEncodings = kLircRawCodes | kLircRc5 | kLircRc6 | kLircRcmm |
                                           kLircSpaceEnc | kLircSpaceFirst | kLircGoldstar |
                                           kLircGrundig | kLircBo | kLircSerial | kLircXmp;

// A pulse and the space after it (microseconds); 0 0 when the remote has none.
struct LircPair {
  int32_t pulse = 0;
  int32_t space = 0;
  bool Empty() const { return pulse == 0 && space == 0; }
  // Header, foot, repeat, pre and post are sent only when both are set.
  bool Both() const { return pulse > 0 && space > 0; }
};

// One button: its name and either its codes (a held key sends them in turn) or its raw periods
// (pulse first, pulses and spaces alternating, ending with a pulse).
struct LircButton {
  std::string name;
  std::vector<uint64_t> codes;
  std::vector<int32_t> raw;
  int32_t line = 0;
};

struct LircRemote {
  std::string name;
  int32_t line = 0;      // of "begin remote"
  int32_t end_line = 0;  // of "end remote"
  uint32_t flags = 0;
  int32_t bits = 0;
  int32_t eps = 30;    // relative tolerance, percent
  int32_t aeps = 100;  // absolute tolerance, microseconds
  LircPair header, one, zero, two, three, foot, repeat, pre, post;
  int32_t plead = 0;
  int32_t ptrail = 0;
  int32_t pre_data_bits = 0;
  uint64_t pre_data = 0;
  int32_t post_data_bits = 0;
  uint64_t post_data = 0;
  int32_t gap = 0;
  int32_t repeat_gap = 0;
  int32_t min_repeat = 0;
  int32_t toggle_bit = 0;  // counted from 1 at the most significant bit of the whole code
  uint64_t toggle_bit_mask = 0;
  uint64_t rc6_mask = 0;  // the bits an RC-6 frame sends at double length
  uint64_t repeat_mask = 0;
  int32_t frequency = 38000;
  std::vector<LircButton> buttons;

  bool Raw() const { return (flags & kLircRawCodes) != 0; }
  // pre_data_bits + bits + post_data_bits.
  int32_t AllBits() const { return pre_data_bits + bits + post_data_bits; }
};

// "SPACE_ENC|CONST_LENGTH" for a set of flags; "" for none.
std::string LircFlagsText(uint32_t flags);

// Parses the text of a configuration; `source` names it in messages ("<source>:<line>: ...").
// Warnings (unknown parameters and flags, ignored includes, a second button or remote of one
// name: LIRC takes them too, so both are kept) are appended to `warnings`. A
// malformed file gives kBadValue, no remote and the first fault in `error`.
status_t ParseLircConfig(std::string_view text, std::string_view source,
                         std::vector<LircRemote>* remotes, std::vector<std::string>* warnings,
                         std::string* error);

// Reads and parses a file (at most 16 MiB; the database's largest is a few hundred KiB).
status_t ReadLircConfigFile(const std::string& path, std::vector<LircRemote>* remotes,
                            std::vector<std::string>* warnings, std::string* error);

}  // namespace koru
