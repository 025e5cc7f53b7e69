#include "remotes/frame_encoder.h"

namespace koru {

namespace {

// One family's frame: the level periods of one frame (pulse first, ending with a pulse) and the
// time from one frame's start to the next.
struct FrameShape {
  std::vector<int32_t> periods;
  int32_t repeat_us = 0;
};

void PulseDistance(const std::vector<bool>& bits, int32_t mark, int32_t zero, int32_t one,
                   FrameShape* frame) {
  for (const bool bit : bits) {
    frame->periods.push_back(mark);
    frame->periods.push_back(bit ? one : zero);
  }
  frame->periods.push_back(mark);  // the stop mark ends the last space
}

// Bits of `value` from bit `high` down to bit `low`, most significant first.
void AppendBits(std::vector<bool>* bits, int32_t value, int high, int low) {
  for (int b = high; b >= low; --b) bits->push_back(((value >> b) & 1) != 0);
}

bool IsByte(int32_t value) {
  return value >= 0 && value <= 255;
}

}  // namespace

IrFamily FamilyOfHeader(int32_t header) {
  switch (header) {
    case 158158:
      return IrFamily::kBurns;
    case 137145:
      return IrFamily::kSaba;
    case 21187:
      return IrFamily::kH9X;
    case 7107:
      return IrFamily::k6Bit;
    case 9011:
      return IrFamily::k9Bit;
    case 210078:
      return IrFamily::k12Bit;
    case 222078:
      return IrFamily::kDenon;
    case 71108:
      return IrFamily::k16Bit;
  }
  // A long code's first byte starts with the lead-in's '1'.
  if (header >= 128000 && header <= 255255 && header % 1000 <= 255) return IrFamily::kLong;
  return IrFamily::kNone;
}

const char* FamilyName(IrFamily family) {
  switch (family) {
    case IrFamily::kLong:
      return "long code";
    case IrFamily::kDenon:
      return "Denon";
    case IrFamily::k12Bit:
      return "12-bit";
    case IrFamily::k9Bit:
      return "9-bit";
    case IrFamily::k16Bit:
      return "16-bit";
    case IrFamily::k6Bit:
      return "6-bit";
    case IrFamily::kBurns:
      return "Burns";
    case IrFamily::kSaba:
      return "Saba";
    case IrFamily::kH9X:
      return "H9X";
    case IrFamily::kNone:
      break;
  }
  return "none";
}

int32_t MinimumFrames(IrFamily family) {
  // The receiver evaluates a burst once 67 periods are stored or at its seventh wall; a
  // press must reach that point with a complete frame in front. A wall is measured when the
  // next frame begins, so the 6-bit family's seventh wall needs a seventh frame.
  switch (family) {
    case IrFamily::kLong:
      return 1;
    case IrFamily::kDenon:
      return 3;
    case IrFamily::k12Bit:
      return 3;
    case IrFamily::k9Bit:
      return 2;
    case IrFamily::k16Bit:
      return 2;
    case IrFamily::k6Bit:
      return 7;
    case IrFamily::kBurns:
      return 3;
    default:
      return 0;
  }
}

int32_t DenonCode(int32_t address, int32_t command) {
  // 5 address bits and 8 command bits, each LSB first, two zero extension bits; the receiver
  // reads the 15 bits in order and appends a '1'.
  std::vector<bool> bits;
  for (int i = 0; i < 5; ++i) bits.push_back(((address >> i) & 1) != 0);
  for (int i = 0; i < 8; ++i) bits.push_back(((command >> i) & 1) != 0);
  bits.push_back(false);
  bits.push_back(false);
  int32_t byte2 = 0;
  int32_t byte3 = 0;
  for (int k = 0; k < 8; ++k) byte2 = byte2 * 2 + bits[k];
  for (int k = 8; k < 15; ++k) byte3 = byte3 * 2 + bits[k];
  return byte2 * 1000 + byte3 * 2 + 1;
}

status_t EncodeKeyPress(int32_t header, int32_t mode, int32_t code, int32_t extra_frames,
                        KeyPress* press, std::string* why) {
  const IrFamily family = FamilyOfHeader(header);
  const bool two_byte = mode == 3 || mode == 23;
  const int32_t byte2 = two_byte ? code / 1000 : code;
  int32_t byte3 = two_byte ? code % 1000 : -1;  // -1: the family's own filler
  auto fail = [&](const std::string& text) {
    if (why) *why = text;
    return kBadValue;
  };
  if (code <= 0) return fail("the key has no code");
  if (!IsByte(byte2) || (two_byte && !IsByte(byte3)))
    return fail("the code " + std::to_string(code) + " is not a " +
                (two_byte ? "pair of bytes" : "byte"));
  if (extra_frames < 0) return fail("a negative hold");

  FrameShape normal;
  FrameShape inverted;  // Denon only
  std::vector<bool> bits;
  switch (family) {
    case IrFamily::kLong: {
      if (byte3 < 0) byte3 = 0x80 | (~byte2 & 0x7F);
      AppendBits(&bits, header / 1000, 6, 0);
      AppendBits(&bits, header % 1000, 7, 0);
      AppendBits(&bits, byte2, 7, 0);
      AppendBits(&bits, byte3, 7, 0);
      bits.push_back(true);
      normal.periods = {9000, 4500};
      // A '1' is a short pair: a short space.
      PulseDistance(bits, 560, 1690, 560, &normal);
      normal.repeat_us = 108000;
      // The decoder's threshold is the mean of the lead-in pair and the bit pairs; with too
      // many long bits it rises above a long pair and every bit reads as '1'.
      int32_t sum = 9000 + 4500;
      for (size_t k = 0; k < bits.size(); ++k) sum += 560 + normal.periods[3 + 2 * k];
      if (int32_t threshold = sum / 33; 560 + 1690 <= threshold)
        return fail("too many '0' bits for the long-code decoder's mean threshold");
      break;
    }
    case IrFamily::kDenon: {
      if (byte3 < 0) byte3 = 1;
      if (byte3 % 2 == 0) return fail("Denon codes end in an odd byte");
      AppendBits(&bits, byte2, 7, 0);
      AppendBits(&bits, byte3, 7, 1);
      PulseDistance(bits, 264, 792, 1848, &normal);
      std::vector<bool> flipped = bits;
      for (size_t k = 5; k < flipped.size(); ++k) flipped[k] = !flipped[k];
      PulseDistance(flipped, 264, 792, 1848, &inverted);
      normal.repeat_us = inverted.repeat_us = 65000;
      break;
    }
    case IrFamily::k12Bit: {
      if (byte3 < 0) byte3 = 28;
      if (((byte2 >> 5) & 3) != 2 || (byte3 & 31) != 28)
        return fail("12-bit codes have byte2 64..95 or 192..223 and byte3 32 * d + 28");
      // The decoder keeps bit 1, overwrites bits 2 and 3 with "10" and reads bits 4..11; bit 12
      // ends in the gap. The free bits 2 and 3 go against the majority of the others, so the
      // mean pair period stays between a short and a long pair.
      bits = {(byte2 & 128) != 0, false, false};
      AppendBits(&bits, byte2, 4, 0);
      AppendBits(&bits, byte3, 7, 5);
      bits.push_back(false);
      int ones = 0;
      for (const bool bit : bits) ones += bit;
      bits[1] = bits[2] = ones < 5;
      for (size_t k = 0; k < bits.size(); ++k) {
        normal.periods.push_back(bits[k] ? 1200 : 600);  // pulse width
        if (k + 1 < bits.size()) normal.periods.push_back(600);
      }
      normal.repeat_us = 45000;
      break;
    }
    case IrFamily::k9Bit: {
      if (byte3 < 0) byte3 = 64;
      if ((byte3 & 64) == 0) return fail("9-bit codes have bit 6 of byte3 set");
      AppendBits(&bits, byte2, 7, 0);
      AppendBits(&bits, byte3, 7, 0);
      bits.push_back(false);
      bits.push_back(false);
      PulseDistance(bits, 500, 500, 1500, &normal);
      normal.periods[2 * 9 + 1] = 4500;  // the tenth space separates the two halves
      normal.repeat_us = 80000;
      break;
    }
    case IrFamily::k16Bit: {
      if (byte3 < 0) byte3 = 1;
      if (byte3 % 2 == 0) return fail("16-bit codes end in an odd byte");
      AppendBits(&bits, byte2, 7, 0);
      AppendBits(&bits, byte3, 7, 1);
      bits.push_back(false);
      PulseDistance(bits, 500, 500, 1500, &normal);
      normal.repeat_us = 70000;
      break;
    }
    case IrFamily::k6Bit: {
      if (byte3 < 0) byte3 = 0;
      if (byte2 % 4 != 0 || byte3 != 0) return fail("6-bit codes are byte2 4 * c and byte3 0");
      AppendBits(&bits, byte2, 7, 2);
      // The check bit keeps the bits from being all alike, so the mean pair period lies
      // between a short and a long pair.
      bits.push_back(!bits[0]);
      PulseDistance(bits, 500, 500, 1500, &normal);
      normal.repeat_us = 45000;
      break;
    }
    case IrFamily::kBurns: {
      if (byte3 < 0) byte3 = 7;
      if (byte2 > 63 || (byte3 & 31) != 7)
        return fail("Burns codes have byte2 0..63 and byte3 32 * c + 7");
      bits = {true, false};  // start bit, toggle bit
      AppendBits(&bits, byte2, 5, 0);
      AppendBits(&bits, byte3, 7, 5);
      PulseDistance(bits, 158, 5060, 7590, &normal);
      normal.repeat_us = 121500;
      break;
    }
    default:
      return fail(std::string("no encoder for the ") + FamilyName(family) + " family");
  }

  press->periods.clear();
  press->frames = MinimumFrames(family) + extra_frames;
  for (int32_t f = 0; f < press->frames; ++f) {
    const FrameShape& frame = (family == IrFamily::kDenon && f % 2 == 1) ? inverted : normal;
    int32_t length = 0;
    for (const int32_t period : frame.periods) length += period;
    press->periods.insert(press->periods.end(), frame.periods.begin(), frame.periods.end());
    press->periods.push_back(frame.repeat_us - length);
  }
  return kOk;
}

std::string Mode2Text(const std::vector<int32_t>& periods) {
  std::string text;
  for (size_t i = 0; i < periods.size(); ++i)
    text += (i % 2 == 0 ? "pulse " : "space ") + std::to_string(periods[i]) + "\n";
  return text;
}

}  // namespace koru
