#include "receiver/protocol_decoders.h"

#include <cstring>
#include <string_view>

#include "platform/messaging/trace.h"
#include "receiver/duration_table.h"
#include "receiver/pulse_analysis.h"

namespace koru {

namespace {

constexpr int kWorkSize = DecoderWork::kSize;

// Sums are taken in 64 bits: two periods near the 32-bit limit must not overflow.
int64_t Sum(const int32_t* table, int i) {
  return static_cast<int64_t>(table[i]) + table[i + 1];
}

void StartCommon(char* work) {
  work[0] = '*';
  work[1] = '\0';
}

void PutFixed(char* work, int position, std::string_view text) {
  std::memcpy(work + position, text.data(), text.size());
}

// prefix + work text + suffix, cut to `cut` characters when positive, copied into `code`.
void Compose(std::string_view prefix, const char* work, std::string_view suffix, int cut,
             char* code) {
  if (code == nullptr) return;
  char result[kCodeTextSize];
  size_t length = 0;
  auto append = [&](std::string_view part) {
    const size_t room = sizeof result - 1 - length;
    const size_t take = part.size() < room ? part.size() : room;
    std::memcpy(result + length, part.data(), take);
    length += take;
  };
  append(prefix);
  append(std::string_view(work, strnlen(work, kWorkSize)));
  append(suffix);
  if (cut > 0 && length > static_cast<size_t>(cut)) length = static_cast<size_t>(cut);
  result[length] = '\0';
  std::memcpy(code, result, length + 1);
}

bool MeanPeriod(const int32_t* table, int64_t* mean) {
  *mean = ScanHighLowBits(table);
  if (*mean != 0) return true;
  Trace("[VeryBAD]\n");
  ShowTiming(table, 90);
  return false;
}

// Pulse-distance bits from position 1 on ('1' for a pair longer than 1500 us), up to position
// 18 or the end of the data. A period above `restart_limit` starts the bits again at position 1
// and moves on by `restart_step` entries.
void ReadPulseDistanceBits(const int32_t* table, char* work, int32_t restart_limit,
                           int restart_step) {
  int p = 1;
  int i = 0;
  while (i <= kLastPairIndex) {
    if (table[i] > restart_limit || table[i + 1] > restart_limit) {
      p = 1;
      i += restart_step;
      continue;
    }
    const int64_t sum = Sum(table, i);
    work[p] = sum > 1500 ? '1' : '0';
    if (sum == 0 || p == 18) break;
    ++p;
    i += 2;
  }
}

}  // namespace

void DecodeLongCode(DecoderWork& buffers, const int32_t* table, char* code) {
  int64_t mean = 0;
  if (!MeanPeriod(table, &mean)) return;
  char* work = buffers.long_code;
  std::strcpy(work, "-------- -------- ");
  int p = 0;
  int i = 0;
  while (i <= kLastPairIndex) {
    const int32_t a = table[i];
    const int32_t b = table[i + 1];
    if (i <= 29 && (a > 4000 || b > 4000)) {
      // A header in the first entries restarts the bit positions.
      work[1] = '1';
      p = 2;
      i += 2;
      continue;
    }
    const int64_t sum = Sum(table, i);
    const bool end = sum == 0;
    work[p] = end ? 'x' : (sum <= mean ? '1' : '0');
    if (p == 3 || p == 9 || p == 18 || p == 27 || p == 36) {
      work[p + 1] = '-';
      ++p;
    }
    ++p;
    work[p + 1] = '\0';
    i += 2;
    if (end) break;
  }
  std::strcat(work, "_rc5");
  work[p] = '\0';
  Compose("", work, "", 0, code);
}

void DecodeBurnsCode(DecoderWork& buffers, const int32_t* table, char* code) {
  char* work = buffers.burns;
  StartCommon(work);
  int p = 1;
  int i = 0;
  while (i <= kLastPairIndex) {
    const int32_t d = table[i];
    if (d < 500) {
      i += 1;
      continue;
    }
    if (d > 11000) {
      p = 1;
      i += 1;
      continue;
    }
    work[p] = d > 6700 ? '1' : '0';
    work[p + 2] = '\0';
    if (p > 9 && d > 9000) {
      p = 1;
      i += 2;
      continue;
    }
    if (p == 11) break;
    ++p;
    i += 2;
  }
  if (p <= 9) {
    Compose("", "*", "_burns", 0, code);
    return;
  }
  work[1] = '0';
  work[2] = '0';
  PutFixed(work, 12, "**00111");
  work[19] = '\0';
  Compose("-10011110-10011110-", work, "_burns", 0, code);
}

void DecodeSabaCode(DecoderWork& buffers, const int32_t* table, char* code) {
  char* work = buffers.saba;
  StartCommon(work);
  int p = 1;
  int i = 0;
  while (i <= kLastPairIndex) {
    if (table[i] > 9000 || table[i + 1] > 9000) {
      p = 1;
      i += 1;
      continue;
    }
    const int64_t sum = Sum(table, i);
    if (sum == 0) {
      work[p] = 'x';
      break;
    }
    work[p] = sum > 3000 ? '1' : '0';
    work[p + 1] = '\0';
    ++p;
    i += 2;
    if (p == 13) {
      work[13] = 'x';
      break;
    }
  }
  work[p] = '\0';
  work[5] = '-';
  PutFixed(work, 13, "00000");
  work[18] = '\0';
  Compose("-10001001-10010001-", work, "_saba", 46, code);
}

void DecodeH9xCode(DecoderWork& buffers, const int32_t* table, char* code) {
  char* work = buffers.h9x;
  StartCommon(work);
  int p = 1;
  int i = 0;
  bool started = false;
  while (i <= kLastPairIndex) {
    const int32_t d = table[i];
    if (d > 30000) {
      // Every long period starts a frame again.
      started = true;
      p = 1;
      i += 1;
      continue;
    }
    if (!started) {
      p = 1;
      i += 1;
      continue;
    }
    if (d == 0) {
      work[p] = '*';
      work[p + 1] = '\0';
      break;
    }
    work[p] = d > 650 ? '1' : '0';
    work[p + 1] = '\0';
    ++p;
    i += 1;
    if (p == 14) {
      work[14] = '*';
      break;
    }
  }
  work[p] = '\0';
  work[1] = '0';
  Compose("-00010101-10111011-", work, "*000000000000_H9X", 50, code);
}

void DecodeSixBitCode(DecoderWork& buffers, const int32_t* table, char* code) {
  int64_t mean = 0;
  if (!MeanPeriod(table, &mean)) return;
  char* work = buffers.six_bit;
  StartCommon(work);
  int p = 1;
  int i = 0;
  while (i <= kLastPairIndex) {
    if (table[i] > 9000 || table[i + 1] > 9000) {
      p = 1;
      i += 1;
      continue;
    }
    const int64_t sum = Sum(table, i);
    if (sum == 0) {
      work[p] = 'x';
      break;
    }
    work[p] = sum > mean ? '1' : '0';
    work[p + 1] = '\0';
    ++p;
    i += 2;
    if (p == 7) {
      work[7] = 'x';
      break;
    }
  }
  work[p] = '\0';
  PutFixed(work, 7, "**00");
  work[11] = '\0';
  Compose("-00000111-01101011-", work, "_6b", 46, code);
}

void DecodeNineBitCode(DecoderWork& buffers, const int32_t* table, char* code) {
  char* work = buffers.nine_bit;
  StartCommon(work);
  ReadPulseDistanceBits(table, work, 6000, 1);
  work[19] = '*';
  work[20] = '\0';
  Compose("-00001001-00001011-", work, "", 0, code);
}

void DecodeTwelveBitCode(DecoderWork& buffers, const int32_t* table, char* code) {
  int64_t mean = 0;
  if (!MeanPeriod(table, &mean)) return;
  char* work = buffers.twelve_bit;
  StartCommon(work);
  int p = 1;
  int i = 0;
  while (i <= kLastPairIndex) {
    if (table[i] > 7000 || table[i + 1] > 7000) {
      p = 1;
      i += 1;
      continue;
    }
    const int64_t sum = Sum(table, i);
    work[p] = sum > mean ? '1' : '0';
    work[p + 2] = '\0';
    if (sum == 0) {
      ++p;
      break;
    }
    if (p == 11) break;
    if (sum > 6000) {
      work[0] = '*';
      work[p] = '\0';
      p = 0;
    }
    ++p;
    i += 2;
  }
  work[2] = '1';
  work[3] = '0';
  PutFixed(work, 12, "*111001100*");
  work[23] = '\0';
  Compose("-11010010-01001110-", work, "_elevenBit", 0, code);
}

void DecodeDenonCode(DecoderWork& buffers, const int32_t* table, char* code) {
  char* work = buffers.denon;
  StartCommon(work);
  int p = 1;
  int i = 0;
  while (i <= kLastPairIndex) {
    if (table[i] > 5000 || table[i + 1] > 5000) {
      p = 1;
      i += 2;
      continue;
    }
    const int64_t sum = Sum(table, i);
    work[p] = sum > 1500 ? '1' : '0';
    if (sum == 0) {
      ++p;
      break;
    }
    if (p == 15) break;
    if (sum > 4000) {
      work[0] = '*';
      work[p] = '\0';
      p = 0;
    }
    ++p;
    i += 2;
  }
  work[16] = '1';
  work[17] = '\0';
  Compose("-11011110-01001110-", work, "_denon", 0, code);
}

void DecodeSixteenBitCode(DecoderWork& buffers, const int32_t* table, char* code) {
  char* work = buffers.sixteen_bit;
  StartCommon(work);
  ReadPulseDistanceBits(table, work, 5000, 2);
  work[16] = '1';
  work[17] = '\0';
  Compose("-01000111-01101100-", work, "_16B", 0, code);
}

ProtocolDecoder DecoderForValidBits(int32_t valid_bits, int32_t* family) {
  struct Row {
    int32_t low, high;
    ProtocolDecoder decoder;
    int32_t family;
  };
  static constexpr Row kRows[] = {
      {1, 1, DecodeBurnsCode, 10},  {2, 4, DecodeSabaCode, 5},
      {5, 5, DecodeH9xCode, 9},     {6, 7, DecodeSixBitCode, 8},
      {8, 9, DecodeNineBitCode, 7}, {10, 12, DecodeTwelveBitCode, 6},
      {15, 15, DecodeDenonCode, 3}, {16, 18, DecodeSixteenBitCode, 10},
      {31, 34, DecodeLongCode, 1},
  };
  for (const Row& row : kRows) {
    if (valid_bits >= row.low && valid_bits <= row.high) {
      if (family) *family = row.family;
      return row.decoder;
    }
  }
  if (family) *family = 0;
  return nullptr;
}

}  // namespace koru
