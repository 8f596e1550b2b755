// A data file that cannot be written is reported in the report log and on stderr, and the old
// file stays; a written one replaces the old one whole.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/report_log.h"
#include "data/data_file.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class WriteFailureReport : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(InitReportLog((dir.Path() / "Report_Game.txt").string().c_str())); }
  // Writes one int32 after the header into `path`; the close's result.
  int Write(const char* path, bool* opened) {
    FILE* fp = OpenDataFileForWrite(path);
    *opened = fp != nullptr;
    if (!fp) return 0;
    WriteInt32(fp, 77);
    return CloseDataFile(fp);
  }
  t4::test::TempDir dir;
  t4::test::ScopedCurrentDir here{dir.Path()};
};

TEST_F(WriteFailureReport, FailedWritesAreReportedAndKeepTheOldFile) {
  // A folder in the way of the rename (holding a file, so it cannot be replaced), and a folder
  // that does not exist.
  dir.WriteFile("Window.dat/keep.txt", "old");
  struct Case {
    const char* path;
    bool opens;
  };
  for (const Case& c : {Case{"Window.dat", true}, Case{"missing\\Option.dat", false}}) {
    SCOPED_TRACE(c.path);
    testing::internal::CaptureStderr();
    bool opened = false;
    EXPECT_EQ(Write(c.path, &opened), 0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(opened, c.opens);
    const std::string name = fs::path(c.path).filename().string();
    EXPECT_NE(err.find("tarnwick4: "), std::string::npos) << err;
    EXPECT_NE(err.find(std::string(c.path)), std::string::npos) << err;
    EXPECT_NE(dir.ReadFile("Report_Game.txt").find(std::string(c.path) + " の書き込みに失敗しました！"),
              std::string::npos)
        << dir.ReadFile("Report_Game.txt");
  }
  EXPECT_EQ(dir.ReadFile("Window.dat/keep.txt"), "old");
  EXPECT_FALSE(fs::exists(dir.Path() / "Window.dat.tmp"));
}

TEST_F(WriteFailureReport, SuccessfulWriteReplacesTheFileSilently) {
  dir.WriteFile("Option.dat", "old contents");
  testing::internal::CaptureStderr();
  bool opened = false;
  EXPECT_EQ(Write("Option.dat", &opened), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  const std::string bytes = dir.ReadFile("Option.dat");
  ASSERT_EQ(bytes.size(), 8u);
  EXPECT_EQ(bytes.substr(4), std::string("\x4D\0\0\0", 4));
  EXPECT_FALSE(fs::exists(dir.Path() / "Option.dat.tmp"));
}

}  // namespace
