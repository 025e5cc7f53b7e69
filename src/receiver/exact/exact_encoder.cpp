#include "receiver/exact/exact_encoder.h"

#include "receiver/exact/exact_frames.h"
#include "receiver/exact/pulse_distance_frames.h"

namespace koru {

namespace {

bool Biphase(ExactProtocol protocol) {
  switch (protocol) {
    case ExactProtocol::kRc5:
    case ExactProtocol::kRc5x:
    case ExactProtocol::kRc6:
    case ExactProtocol::kRc6A:
    case ExactProtocol::kRcmm:
    case ExactProtocol::kXmp:
    case ExactProtocol::kBiphase:
      return true;
    default:
      return false;
  }
}

// How many frames a short press sends (a Sharp or Denon frame is written with its twin).
int32_t PressFrames(ExactProtocol protocol) {
  switch (protocol) {
    case ExactProtocol::kSony12:
    case ExactProtocol::kSony15:
    case ExactProtocol::kSony20:
      return 3;
    default:
      return 1;
  }
}

}  // namespace

bool EncodeExactPress(const ExactCode& code, int32_t extra_frames, std::vector<int32_t>* periods) {
  std::vector<int32_t> press;
  if (code.protocol == ExactProtocol::kSerial) {
    for (int32_t n = 0; n <= extra_frames; ++n)
      if (!WriteSerialFrame(code, &press)) return false;
    periods->insert(periods->end(), press.begin(), press.end());
    return true;
  }
  const bool biphase = Biphase(code.protocol);
  for (int32_t n = 0; n < PressFrames(code.protocol); ++n)
    if (!(biphase ? WriteBiphaseFrame(code, &press) : WritePulseDistanceFrame(code, &press)))
      return false;
  for (int32_t n = 0; n < extra_frames; ++n) {
    switch (code.protocol) {
      case ExactProtocol::kNec:
      case ExactProtocol::kNecExtended:
      case ExactProtocol::kNec32:
      case ExactProtocol::kSanyo:
        WriteNecRepeatFrame(&press);
        break;
      case ExactProtocol::kJvc:
        WriteJvcRepeatFrame(code, &press);
        break;
      default:
        if (!(biphase ? WriteBiphaseFrame(code, &press) : WritePulseDistanceFrame(code, &press)))
          return false;
    }
  }
  periods->insert(periods->end(), press.begin(), press.end());
  return true;
}

}  // namespace koru
