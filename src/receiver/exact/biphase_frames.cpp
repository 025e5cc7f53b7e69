// The bi-phase family: RC-5, RC-5X, RC-6, RC-6A, RCMM, XMP and any other Manchester frame.
#include "receiver/exact/biphase_protocols.h"
#include "receiver/exact/biphase_timing.h"

namespace koru {

namespace {

using Reader = std::optional<ExactCode> (*)(BurstPeriods, size_t);

template <size_t N>
std::optional<ExactCode> ReadWith(BurstPeriods burst, const Reader (&readers)[N]) {
  for (const size_t start : FrameStarts(burst))
    for (const Reader reader : readers)
      if (std::optional<ExactCode> code = reader(burst, start)) return code;
  return std::nullopt;
}

}  // namespace

std::optional<ExactCode> ReadBiphaseBurst(BurstPeriods burst) {
  // The generic reader comes last; it also refuses frames of the named protocols by itself.
  static constexpr Reader kReaders[] = {ReadRc5Frame, ReadRc6Frame, ReadRcmmFrame, ReadXmpFrame,
                                        ReadManchesterFrame};
  return ReadWith(burst, kReaders);
}

std::optional<ExactCode> ReadNamedBiphaseBurst(BurstPeriods burst) {
  static constexpr Reader kReaders[] = {ReadRc5Frame, ReadRc6Frame, ReadRcmmFrame, ReadXmpFrame};
  return ReadWith(burst, kReaders);
}

bool WriteBiphaseFrame(const ExactCode& code, std::vector<int32_t>* periods) {
  switch (code.protocol) {
    case ExactProtocol::kRc5:
    case ExactProtocol::kRc5x:
      return WriteRc5Frame(code, periods);
    case ExactProtocol::kRc6:
    case ExactProtocol::kRc6A:
      return WriteRc6Frame(code, periods);
    case ExactProtocol::kRcmm:
      return WriteRcmmFrame(code, periods);
    case ExactProtocol::kXmp:
      return WriteXmpFrame(code, periods);
    case ExactProtocol::kBiphase:
      return WriteManchesterFrame(code, periods);
    default:
      return false;
  }
}

}  // namespace koru
