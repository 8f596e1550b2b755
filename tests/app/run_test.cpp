// The program run end to end without a screen: the demo project plays its frames and shuts down
// in order; a damaged project is refused with the loader's message and a failure status.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "scene_test_util.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

using t4::test::ReadFile;

class RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(T4_DEMO_DIR, project.Path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  }
  int Run(const std::string& args) {
    const std::string command = "TARNWICK4_LOCK_DIR='" + project.Path().string() + "' '" T4_PROGRAM "' " + args + " '" +
                                project.Path().string() + "' 2> '" + (project.Path() / "stderr.txt").string() +
                                "' > /dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // Shift-JIS, like the literals of this file.
  std::string Log() { return ReadFile(project.Path() / "Report_Game.txt"); }
  std::string Stderr() { return ReadFile(project.Path() / "stderr.txt"); }
  t4::test::TempDir project;
};

TEST_F(RunTest, HeadlessRunPlaysItsFramesAndEndsInOrder) {
  const fs::path shot = project.Path() / "shot.png";
  ASSERT_EQ(Run("--headless --frames 120 --screenshot '" + shot.string() + "'"), 0) << Stderr();
  const std::string log = Log();
  EXPECT_EQ(log.rfind("App : ver 902", 0), 0u) << log;
  EXPECT_NE(log.find("OS : "), std::string::npos);
  EXPECT_TRUE(fs::exists(shot));
  EXPECT_EQ(Stderr(), "");
}

TEST_F(RunTest, DamagedSystemDatFailsWithTheLoadersMessage) {
  std::ofstream(project.Path() / "data" / "System.dat", std::ios::binary | std::ios::trunc) << "\x86\x03\0\0garbage";
  EXPECT_EQ(Run("--headless --frames 10"), 1);
  EXPECT_NE(Log().find("System.dat の読み込みに失敗"), std::string::npos) << Log();
  EXPECT_NE(Stderr().find("System.dat"), std::string::npos) << Stderr();
}

}  // namespace
