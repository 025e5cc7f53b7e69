#include "lirc/lirc_signal.h"

#include <bit>
#include <string>

namespace koru {

namespace {

// The bits one pulse carries: 2 for RC-MM, 4 for XMP, else 1.
int32_t SymbolBits(const LircRemote& remote) {
  if (remote.flags & kLircRcmm) return 2;
  if (remote.flags & kLircXmp) return 4;
  return 1;
}

// Periods of one frame: pulse first, one level joined, a space before the first pulse dropped.
class Frame {
 public:
  void Pulse(int32_t us) { Add(true, us); }
  void Space(int32_t us) { Add(false, us); }
  void Pair(const LircPair& pair) {
    Pulse(pair.pulse);
    Space(pair.space);
  }
  // The frame's length up to its last pulse.
  int64_t Length() const {
    int64_t total = 0;
    for (size_t i = 0; i < periods_.size(); ++i)
      if (i + 1 < periods_.size() || i % 2 == 0) total += periods_[i];
    return total;
  }
  const std::vector<int32_t>& Periods() const { return periods_; }

 private:
  void Add(bool pulse, int32_t us) {
    if (us <= 0) return;
    if (periods_.empty()) {
      if (pulse) periods_.push_back(us);
      return;
    }
    const bool last_is_pulse = periods_.size() % 2 == 1;
    if (last_is_pulse == pulse)
      periods_.back() += us;
    else
      periods_.push_back(us);
  }
  std::vector<int32_t> periods_;
};

uint64_t Mask(int32_t bits) {
  return bits >= 64 ? ~uint64_t{0} : (uint64_t{1} << bits) - 1;
}

class Writer {
 public:
  Writer(const LircRemote& remote, int32_t earlier_presses) : r_(remote) {
    if (r_.toggle_bit_mask != 0)
      toggle_ = r_.toggle_bit_mask;
    else if (r_.toggle_bit > 0)
      toggle_ = uint64_t{1} << (r_.AllBits() - r_.toggle_bit);
    toggle_ &= Mask(r_.AllBits());
    rc6_double_ =
        r_.rc6_mask != 0 ? r_.rc6_mask : (std::popcount(toggle_) == 1 ? toggle_ : uint64_t{0});
    // Every press flips the toggle state. A single toggle bit starts at 0; a mask of several
    // bits starts from the remote's first code, so that code is sent as written on the second
    // press.
    const bool flipped = earlier_presses % 2 == 0;
    if (std::popcount(toggle_) == 1) {
      single_toggle_ = flipped ? toggle_ : 0;
    } else if (toggle_ != 0) {
      for (const LircButton& button : r_.buttons)
        if (!button.codes.empty()) {
          const uint64_t first = Whole(button.codes.front()) & toggle_;
          toggle_state_ = first != 0 ? first ^ toggle_ : 0;
          break;
        }
      if (flipped) toggle_state_ ^= toggle_;
    }
  }

  // pre_data, code and post_data as one number of AllBits() bits.
  uint64_t Whole(uint64_t code) const {
    const uint64_t pre = r_.pre_data & Mask(r_.pre_data_bits);
    const uint64_t data = code & Mask(r_.bits);
    const uint64_t post = r_.post_data & Mask(r_.post_data_bits);
    uint64_t whole = post;
    whole |= r_.post_data_bits >= 64 ? 0 : data << r_.post_data_bits;
    const int32_t low = r_.bits + r_.post_data_bits;
    whole |= low >= 64 ? 0 : pre << low;
    return whole;
  }

  bool Frame(uint64_t code, bool repeat, std::vector<int32_t>* out, std::string* why) const {
    koru::Frame frame;
    const bool repeat_code = repeat && r_.repeat.Both();
    const bool header = repeat_code ? (r_.flags & kLircRepeatHeader) != 0
                                    : !(repeat && (r_.flags & kLircNoHeadRep));
    if (header && r_.header.Both()) frame.Pair(r_.header);
    frame.Pulse(r_.plead);
    if (repeat_code) {
      frame.Pair(r_.repeat);
    } else {
      uint64_t whole = Whole(repeat ? code ^ r_.repeat_mask : code);
      if (std::popcount(toggle_) == 1)
        whole = (whole & ~toggle_) | single_toggle_;
      else
        whole ^= toggle_state_;
      const int32_t data_end = r_.pre_data_bits + r_.bits;
      Bits(frame, whole, 0, r_.pre_data_bits);
      if (r_.pre_data_bits > 0 && r_.pre.Both()) frame.Pair(r_.pre);
      Bits(frame, whole, r_.pre_data_bits, data_end);
      if (r_.post_data_bits > 0 && r_.post.Both()) frame.Pair(r_.post);
      Bits(frame, whole, data_end, r_.AllBits());
    }
    frame.Pulse(r_.ptrail);
    if (r_.foot.Both() && !repeat_code && !(repeat && (r_.flags & kLircNoFootRep))) {
      frame.Space(r_.foot.space);
      frame.Pulse(r_.foot.pulse);
    }
    int64_t gap = repeat_code && r_.repeat_gap > 0 ? r_.repeat_gap : r_.gap;
    if ((r_.flags & kLircConstLength) && !(repeat_code && r_.repeat_gap > 0)) {
      gap -= frame.Length();
      if (gap <= 0) {
        *why = "the gap is shorter than the frame";
        return false;
      }
    }
    if (frame.Periods().empty()) {
      *why = "an empty frame";
      return false;
    }
    // A space that ends the frame goes into the gap.
    std::vector<int32_t> periods = frame.Periods();
    if (periods.size() % 2 == 0) periods.pop_back();
    periods.push_back(static_cast<int32_t>(gap));
    out->insert(out->end(), periods.begin(), periods.end());
    return true;
  }

 private:
  // Bit i of the whole code, i = 0 the most significant; REVERSE sends each part backwards.
  bool BitValue(uint64_t whole, int32_t i) const {
    const int32_t all = r_.AllBits();
    if (r_.flags & kLircReverse) {
      const int32_t data_end = r_.pre_data_bits + r_.bits;
      int32_t start = 0, length = r_.pre_data_bits;
      if (i >= data_end) {
        start = data_end;
        length = r_.post_data_bits;
      } else if (i >= r_.pre_data_bits) {
        start = r_.pre_data_bits;
        length = r_.bits;
      }
      i = start + (length - 1 - (i - start));
    }
    return (whole >> (all - 1 - i)) & 1;
  }

  void Bits(koru::Frame& frame, uint64_t whole, int32_t from, int32_t to) const {
    const int32_t size = SymbolBits(r_);
    if (size == 1) {
      for (int32_t i = from; i < to; ++i) Bit(frame, whole, i);
      return;
    }
    for (int32_t i = from; i + size <= to; i += size) {
      uint32_t value = 0;
      for (int32_t k = 0; k < size; ++k) value = value << 1 | (BitValue(whole, i + k) ? 1u : 0u);
      Symbol(frame, value);
    }
  }

  // RC-MM: two bits a pulse, the space by their value (zero, one, two, three). XMP: four bits
  // a pulse, the space "zero"'s lengthened by the value in steps of "one"'s space.
  void Symbol(koru::Frame& frame, uint32_t value) const {
    if (r_.flags & kLircRcmm) {
      const LircPair* pairs[] = {&r_.zero, &r_.one, &r_.two, &r_.three};
      frame.Pair(*pairs[value & 3]);
    } else {
      frame.Pulse(r_.zero.pulse);
      frame.Space(r_.zero.space + static_cast<int32_t>(value) * r_.one.space);
    }
  }

  void Bit(koru::Frame& frame, uint64_t whole, int32_t i) const {
    const bool one = BitValue(whole, i);
    const LircPair& timing = one ? r_.one : r_.zero;
    if (r_.flags & (kLircRc5 | kLircRc6)) {
      const int32_t all = r_.AllBits();
      const int32_t times = ((r_.flags & kLircRc6) && ((rc6_double_ >> (all - 1 - i)) & 1)) ? 2 : 1;
      if (one) {
        frame.Space(timing.space * times);
        frame.Pulse(timing.pulse * times);
      } else {
        frame.Pulse(timing.pulse * times);
        frame.Space(timing.space * times);
      }
    } else if (r_.flags & kLircSpaceFirst) {
      frame.Space(timing.space);
      frame.Pulse(timing.pulse);
    } else {
      frame.Pair(timing);
    }
  }

  const LircRemote& r_;
  uint64_t toggle_ = 0;
  uint64_t rc6_double_ = 0;
  uint64_t toggle_state_ = 0;
  uint64_t single_toggle_ = 0;
};

}  // namespace

std::string LircSignalProblem(const LircRemote& remote) {
  if (!remote.Raw()) {
    const uint32_t unsupported = kLircGoldstar | kLircGrundig | kLircBo | kLircSerial;
    if (remote.flags & unsupported)
      return "encoding " + LircFlagsText(remote.flags & unsupported) + " is not supported";
    if (remote.one.Empty() && remote.zero.Empty())
      return "no timings (made for a receiver that decodes by itself)";
    if (remote.AllBits() == 0) return "no bits";
    const int32_t size = SymbolBits(remote);
    if (remote.pre_data_bits % size != 0 || remote.bits % size != 0 ||
        remote.post_data_bits % size != 0)
      return "bit counts that are no multiple of " + std::to_string(size) + " (" +
             LircFlagsText(remote.flags & (kLircRcmm | kLircXmp)) + ")";
    if ((remote.flags & kLircRcmm) && (remote.two.Empty() || remote.three.Empty()))
      return "no timings for RC-MM's two and three";
  }
  // Frames without a gap would run into one another.
  if (remote.gap == 0) return "no gap after a frame";
  return "";
}

status_t LircButtonSignal(const LircRemote& remote, const LircButton& button, int32_t repeats,
                          std::vector<int32_t>* periods, std::string* why,
                          int32_t earlier_presses) {
  std::string problem = LircSignalProblem(remote);
  if (problem.empty() && remote.Raw() != button.codes.empty())
    problem = "button '" + button.name + "' does not fit the remote";
  if (problem.empty() && remote.Raw() && button.raw.empty())
    problem = "button '" + button.name + "' has no periods";
  if (!problem.empty()) {
    if (why) *why = problem;
    return kBadValue;
  }
  periods->clear();
  if (remote.Raw()) {
    for (int32_t i = 0; i <= repeats; ++i) {
      periods->insert(periods->end(), button.raw.begin(), button.raw.end());
      int64_t gap = remote.gap;
      if (remote.flags & kLircConstLength)
        for (int32_t period : button.raw) gap -= period;
      if (gap <= 0) {
        if (why) *why = "the gap is shorter than the frame";
        return kBadValue;
      }
      periods->push_back(static_cast<int32_t>(gap));
    }
    return kOk;
  }
  const Writer writer(remote, earlier_presses);
  std::string reason;
  for (int32_t i = 0; i <= repeats; ++i) {
    const uint64_t code = button.codes[static_cast<size_t>(i) % button.codes.size()];
    if (!writer.Frame(code, i > 0, periods, &reason)) {
      if (why) *why = reason;
      return kBadValue;
    }
  }
  return kOk;
}

}  // namespace koru
