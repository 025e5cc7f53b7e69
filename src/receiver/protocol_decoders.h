#pragma once
// The nine protocol decoders. Each turns a duration table into a code text ('0'/'1' characters
// framed by a signature prefix, separators and a family suffix) and copies it into `code` (a
// buffer of kCodeTextSize bytes) when `code` is given. Each decoder composes its text in a
// 1024-byte work buffer of its own that persists for the life of the process: positions a call
// does not write keep what the decoder's previous call left there, and that is part of the
// resulting texts. The receiver thread runs them one at a time.
#include <cstdint>

constexpr int kCodeTextSize = 1024;

void CheckAllgemein(const int32_t* table, char* code);  // long codes, family 1
void CheckBurns(const int32_t* table, char* code);      // family 10
void Check2Saba(const int32_t* table, char* code);      // family 5
void CheckH9X(const int32_t* table, char* code);        // family 9
void Check6B(const int32_t* table, char* code);         // family 8
void Check9B(const int32_t* table, char* code);         // family 7
void Check12B(const int32_t* table, char* code);        // family 6
void CheckDenon(const int32_t* table, char* code);      // family 3
void Check16B(const int32_t* table, char* code);        // family 10

using ProtocolDecoder = void (*)(const int32_t* table, char* code);

// The decoder for a valid-bit count and its protocol family number (the report's family), or
// nullptr (family 0) for counts without a decoder.
ProtocolDecoder DecoderForValidBits(int32_t valid_bits, int32_t* family);

// Zeroes every work buffer, as at process start. For tests that must not depend on the order
// in which they run; the program and the tools never call it.
void ResetDecoderWorkBuffers();
