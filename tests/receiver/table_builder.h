#pragma once
// Builds duration tables for the receiver tests.
#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

struct TableBuilder {
  std::array<int32_t, 256> table{};
  size_t n = 0;

  TableBuilder& Add(std::initializer_list<int32_t> periods) {
    for (int32_t d : periods) table[n++] = d;
    return *this;
  }
  // One pair per character of `bits`: `one` for '1', `zero` for '0'.
  TableBuilder& Pairs(const std::string& bits, std::array<int32_t, 2> one,
                      std::array<int32_t, 2> zero) {
    for (char c : bits) Add({(c == '1' ? one : zero)[0], (c == '1' ? one : zero)[1]});
    return *this;
  }
  // One period per character of `bits`.
  TableBuilder& Periods(const std::string& bits, int32_t one, int32_t zero) {
    for (char c : bits) Add({c == '1' ? one : zero});
    return *this;
  }
  const int32_t* data() const { return table.data(); }
};
