#include "support/temp_dir.h"

#include <fstream>
#include <random>
#include <sstream>

namespace t4::test {

TempDir::TempDir() {
  std::random_device rd;
  for (;;) {
    auto candidate = std::filesystem::temp_directory_path() / ("t4test-" + std::to_string(rd()));
    if (std::filesystem::create_directory(candidate)) {
      m_path = candidate;
      break;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(m_path, ec);
}

std::filesystem::path TempDir::WriteFile(const std::string& relative, const std::string& bytes) const {
  auto path = m_path / relative;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::string TempDir::ReadFile(const std::string& relative) const { return test::ReadFile(m_path / relative); }

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

ScopedCurrentDir::ScopedCurrentDir(const std::filesystem::path& dir) : m_previous(std::filesystem::current_path()) {
  std::filesystem::current_path(dir);
}

ScopedCurrentDir::~ScopedCurrentDir() {
  std::error_code ec;
  std::filesystem::current_path(m_previous, ec);
}

}  // namespace t4::test
