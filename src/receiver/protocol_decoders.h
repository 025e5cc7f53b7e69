#pragma once
// The nine protocol decoders. Each turns a duration table into a code text ('0'/'1' characters
// framed by a signature prefix, separators and a family suffix) and copies it into `code` (a
// buffer of kCodeTextSize bytes) when `code` is given. Each decoder composes its text in a
// work buffer of its own in the DecoderWork it is given: positions a call does not write keep
// what the decoder's previous call on that DecoderWork left there, and that is part of the
// resulting texts. One DecoderWork belongs to one evaluation (one receiver thread, one replay),
// so evaluations never see each other's leftovers and need no lock.
#include <cstdint>

namespace koru {

constexpr int kCodeTextSize = 1024;

// The decoders' work buffers, zeroed when made, never cleared afterwards.
struct DecoderWork {
  static constexpr int kSize = 1024;
  char long_code[kSize] = {};
  char burns[kSize] = {};
  char saba[kSize] = {};
  char h9x[kSize] = {};
  char six_bit[kSize] = {};
  char nine_bit[kSize] = {};
  char twelve_bit[kSize] = {};
  char denon[kSize] = {};
  char sixteen_bit[kSize] = {};
};

void DecodeLongCode(DecoderWork& buffers, const int32_t* table, char* code);       // long, family 1
void DecodeBurnsCode(DecoderWork& buffers, const int32_t* table, char* code);      // family 10
void DecodeSabaCode(DecoderWork& buffers, const int32_t* table, char* code);       // family 5
void DecodeH9xCode(DecoderWork& buffers, const int32_t* table, char* code);        // family 9
void DecodeSixBitCode(DecoderWork& buffers, const int32_t* table, char* code);     // family 8
void DecodeNineBitCode(DecoderWork& buffers, const int32_t* table, char* code);    // family 7
void DecodeTwelveBitCode(DecoderWork& buffers, const int32_t* table, char* code);  // family 6
void DecodeDenonCode(DecoderWork& buffers, const int32_t* table, char* code);      // family 3
void DecodeSixteenBitCode(DecoderWork& buffers, const int32_t* table, char* code);  // family 10

using ProtocolDecoder = void (*)(DecoderWork& buffers, const int32_t* table, char* code);

// The decoder for a valid-bit count and its protocol family number (the report's family), or
// nullptr (family 0) for counts without a decoder.
ProtocolDecoder DecoderForValidBits(int32_t valid_bits, int32_t* family);

}  // namespace koru
