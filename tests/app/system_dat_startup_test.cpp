// A zero-filled System.dat stops the start-up with the loader's message on stderr and in the
// report log, as every other damaged start-up file does.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "program_runner.h"

namespace t4::test {
namespace {

class SystemDatStartup : public ProgramRun {};

TEST_F(SystemDatStartup, AZeroFilledSystemDatIsAFailedStartWithTheReason) {
  std::ofstream(project.Path() / "data" / "System.dat", std::ios::binary | std::ios::trunc) << std::string(4096, '\0');
  EXPECT_EQ(Run("--headless --frames 10"), 1);
  EXPECT_NE(Log().find("System.dat の読み込みに失敗"), std::string::npos) << Log();
  EXPECT_NE(Stderr().find("System.dat"), std::string::npos) << Stderr();
}

}  // namespace
}  // namespace t4::test
