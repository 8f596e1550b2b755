// Feeds arbitrary bytes to the database load as one of its ten files (the first byte chooses
// which; the other nine are valid empty files), then builds the frame lists from what loaded.
#include <unistd.h>

#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "data/database.h"
#include "platform/message_box.h"

namespace {

std::string PosixPath(const char* gamePath) {
  std::string path = gamePath;
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

void WriteBytes(const std::string& path, const char* bytes, size_t size) {
  FILE* fp = std::fopen(path.c_str(), "wb");
  if (!fp) std::abort();
  if (size) std::fwrite(bytes, 1, size, fp);
  std::fclose(fp);
}

// A database file of the current version holding no records.
void WriteEmptyFile(const std::string& path) {
  const char empty[8] = {
      static_cast<char>(DATA_VERSION & 0xFF), static_cast<char>(DATA_VERSION >> 8), 0, 0, 0, 0, 0, 0};
  WriteBytes(path, empty, sizeof(empty));
}

// Failure boxes are recorded, not shown, and forgotten after each input.
t4::platform::ScriptedMessageBoxBackend g_Boxes;

// A project folder of its own, made once, where every file starts valid and empty. The fuzzer
// keeps its own working folder; the project is current only while the database loads.
const std::filesystem::path& Project() {
  static std::filesystem::path project;
  if (!project.empty()) return project;
  t4::platform::SetMessageBoxBackend(&g_Boxes);
  char pattern[] = "/tmp/t4_database_fuzz_XXXXXX";
  if (!mkdtemp(pattern)) std::abort();
  project = pattern;
  std::filesystem::create_directories(project / "data/database");
  for (const char* file : DATABASE_FILES) WriteEmptyFile((project / PosixPath(file)).string());
  return project;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::filesystem::path& project = Project();
  int which = data[0] % DATABASE_FILE_COUNT;
  std::string path = (project / PosixPath(DATABASE_FILES[which])).string();
  WriteBytes(path, reinterpret_cast<const char*>(data + 1), size - 1);
  g_Database.SetDefault();
  std::filesystem::path workDir = std::filesystem::current_path();
  std::filesystem::current_path(project);
  int loaded = g_Database.Load();
  std::filesystem::current_path(workDir);
  if (loaded) {
    BuildAnimeTables(g_AnimeTable);
    BuildEffectTables(g_EffectAnimeTable);
  }
  // Put the valid empty file back for the next input.
  WriteEmptyFile(path);
  g_Boxes.Clear();
  return 0;
}
