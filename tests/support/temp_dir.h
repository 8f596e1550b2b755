// A temporary folder for one test, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <string>

namespace t4::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return m_path; }
  std::string Str() const { return m_path.string(); }
  // Writes `bytes` to a file below the folder (parent folders made as needed); returns its path.
  std::filesystem::path WriteFile(const std::string& relative, const std::string& bytes) const;
  std::string ReadFile(const std::string& relative) const;

 private:
  std::filesystem::path m_path;
};

// The whole file; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

// Makes the folder current for the lifetime of the object (game paths are relative to it).
class ScopedCurrentDir {
 public:
  explicit ScopedCurrentDir(const std::filesystem::path& dir);
  ~ScopedCurrentDir();

 private:
  std::filesystem::path m_previous;
};

}  // namespace t4::test
