#pragma once
// Reading a whole file in tests.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}
