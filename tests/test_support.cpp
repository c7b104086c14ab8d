#include "test_support.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

fs::path MakeTempDir() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path dir = fs::temp_directory_path() / ("batchuninst-test-" + std::to_string(random()));
    if (fs::create_directory(dir)) return dir;
  }
  throw std::runtime_error("cannot make a temporary folder");
}

void WriteBytes(const fs::path &path, const std::string &bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string ReadBytes(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
