#pragma once
// Cells of the tables in tests/<folder>/data/: lists within a cell, and the escapes that let a
// cell hold what a table cannot (a tab, a line break).
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace koru {

// The non-empty parts of `cell` between `separator`s.
inline std::vector<std::string> CellList(const std::string& cell, char separator = ' ') {
  std::vector<std::string> parts;
  std::istringstream in(cell);
  for (std::string part; std::getline(in, part, separator);)
    if (!part.empty()) parts.push_back(part);
  return parts;
}

// `cell` with \t, \n and \r made the characters they name; other backslashes stay.
inline std::string Unescaped(const std::string& cell) {
  std::string text;
  for (size_t i = 0; i < cell.size(); ++i) {
    // cell[size()] is the terminating '\0', which names no escape.
    const size_t escape =
        cell[i] == '\\' ? std::string_view("tnr").find(cell[i + 1]) : std::string::npos;
    text += escape == std::string::npos ? cell[i] : "\t\n\r"[escape];
    i += escape != std::string::npos;
  }
  return text;
}

// A number written in decimal, hexadecimal (0x...) or octal (0...).
inline long CellNumber(const std::string& cell) {
  return std::stol(cell, nullptr, 0);
}

// The numbers of a cell, between blanks.
template <typename T = long>
std::vector<T> CellNumbers(const std::string& cell) {
  std::vector<T> numbers;
  for (const std::string& part : CellList(cell))
    numbers.push_back(static_cast<T>(CellNumber(part)));
  return numbers;
}

}  // namespace koru
