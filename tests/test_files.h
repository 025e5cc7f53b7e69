#pragma once
// Reading a whole file in tests, and the tables kept in data files beside them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace koru {

inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The rows of a table file of the test tree (tests/<path>): one row a line, its cells split by
// tabs, a cell in double quotes taken without them (so that its spaces show); blank lines and
// lines beginning with '#' are left out. A missing or empty table, or a row of fewer than
// `min_columns` cells, fails the test.
inline std::vector<std::vector<std::string>> ReadTable(const std::string& path,
                                                       size_t min_columns) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(ReadAll(std::string(KORU_SOURCE_DIR) + "/tests/" + path));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string>& row = rows.emplace_back();
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, '\t');) {
      if (cell.size() >= 2 && cell.front() == '"' && cell.back() == '"')
        cell = cell.substr(1, cell.size() - 2);
      row.push_back(cell);
    }
    if (row.size() < min_columns) {
      ADD_FAILURE() << "tests/" << path << ": fewer than " << min_columns << " cells in: " << line;
      rows.pop_back();
    }
  }
  EXPECT_FALSE(rows.empty()) << "no rows in tests/" << path;
  return rows;
}

}  // namespace koru
