#pragma once
// Receiver reports as the receiver thread makes them, and codes of built-in remotes.
#include <bitset>
#include <string>

#include "receiver/receiver_report.h"

// A code text: signature prefix, the bytes, family suffix.
inline std::string CodeText(int header, int byte2, int byte3) {
  return "-" + std::bitset<8>(header / 1000).to_string() +
         std::bitset<8>(header % 1000).to_string() + "-" + std::bitset<8>(byte2).to_string() +
         std::bitset<8>(byte3).to_string() + "-1x";
}

inline ReceiverReport ReportOf(const std::string& blink, int32_t type = 1) {
  return MakeReceiverReport(blink, type, 33, false);
}

// LR-SAT (one byte) and its keys.
constexpr int kLrSat = 253128;
constexpr int kLrSatN1 = 179, kLrSatN2 = 211, kLrSatN3 = 147;
constexpr int kLrSatN0 = 243, kLrSatN4 = 227, kLrSatN5 = 163, kLrSatUp = 221, kLrSatVolUp = 205,
              kLrSatMute = 245;
constexpr int kLrSatOk = 213, kLrSatMenu = 149, kLrSatFav = 197;
