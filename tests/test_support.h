// Files and folders for the tests: each test works in a folder of its own.
#pragma once

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

// A new empty folder under the system's temporary folder.
fs::path MakeTempDir();
void WriteBytes(const fs::path &path, const std::string &bytes);
std::string ReadBytes(const fs::path &path);
inline std::string Repeat(char c, size_t count) { return std::string(count, c); }
// The bytes that a string of hex digit pairs spells.
inline std::string Unhex(const std::string &hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}
