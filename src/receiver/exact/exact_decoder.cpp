#include "receiver/exact/exact_decoder.h"

#include "receiver/exact/named_lead_in.h"
#include "receiver/exact/pulse_distance_frames.h"

namespace koru {

std::optional<ExactCode> ExactDecoder::Burst(BurstPeriods burst, int64_t end_time_us) {
  std::optional<ExactCode> code = ReadNamedPulseDistanceBurst(burst);
  if (code && code->bits == kRepeatFrameBits) {
    if (!last_ || end_time_us - last_time_us_ > kRepeatWindow || end_time_us < last_time_us_)
      return std::nullopt;
    last_time_us_ = end_time_us;  // a held key keeps its code alive
    return last_;
  }
  if (burst.size() < kMinimumPeriods) {
    // Only a serial frame's keys are this short; anything else this short is noise.
    code = ReadSerialBurst(burst);
    if (!code) return std::nullopt;
    last_ = code;
    last_time_us_ = end_time_us;
    return code;
  }
  // A named bi-phase frame (a leader and a whole Manchester structure, or RCMM's and XMP's own
  // timing) is a closer match than a pulse-distance reader's, which an RC-6 frame could pass.
  const std::optional<ExactCode> biphase =
      code ? ReadNamedBiphaseBurst(burst) : ReadBiphaseBurst(burst);
  if (biphase) code = biphase;
  // A frame that opens as a named protocol but did not read as one is a damaged frame of it.
  if (!code && OpensAsNamedProtocol(burst)) return std::nullopt;
  if (!code) code = ReadGenericPulseDistanceBurst(burst);
  if (!code) code = HashBurst(burst);
  last_ = code;
  last_time_us_ = end_time_us;
  return code;
}

void ExactDecoder::Reset() {
  last_.reset();
  last_time_us_ = 0;
}

}  // namespace koru
