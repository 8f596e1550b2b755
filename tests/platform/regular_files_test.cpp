// Only regular files open as data: a folder, a named pipe or a device in a data file's place is
// refused at once (a pipe would otherwise block the open for ever), for reading and writing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/files.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(RegularFiles, OnlyRegularFilesOpen) {
  t4::test::TempDir dir;
  t4::test::ScopedCurrentDir here(dir.Path());
  dir.WriteFile("plain.dat", "data");
  fs::create_directory(dir.Path() / "folder.dat");
  ASSERT_EQ(mkfifo((dir.Path() / "pipe.dat").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir.Path() / "device.dat");
  fs::create_symlink(dir.Path() / "plain.dat", dir.Path() / "link.dat");
  struct Case {
    const char* name;
    bool opens;
  };
  for (const Case& c : {Case{"plain.dat", true}, Case{"link.dat", true}, Case{"folder.dat", false},
                        Case{"pipe.dat", false}, Case{"device.dat", false}}) {
    for (const char* mode : {"rb", "r+b", "ab"}) {
      SCOPED_TRACE(std::string(c.name) + " " + mode);
      FILE* fp = t4::platform::OpenFile(c.name, mode);
      EXPECT_EQ(fp != nullptr, c.opens);
      if (fp) std::fclose(fp);
    }
  }
  // A new file is still created for writing.
  FILE* fp = t4::platform::OpenFile("new.dat", "wb");
  ASSERT_NE(fp, nullptr);
  std::fclose(fp);
}

}  // namespace
