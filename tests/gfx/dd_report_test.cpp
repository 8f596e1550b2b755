// The drawing layer's lines of the display report, in each drawing mode.
#include <gtest/gtest.h>

#include "core/report_log.h"
#include "core/system_report.h"
#include "support/dd_fixture.h"

using t4::test::DDFixture;
using t4::test::DDMode;

namespace {

std::string DisplayReport(const DDMode& mode) {
  DDFixture f;
  std::string path = (f.dir.Path() / "Report_Game.txt").string();
  EXPECT_EQ(InitReportLog(path.c_str()), 1);
  EXPECT_TRUE(f.Init(mode));
  EXPECT_EQ(InitReportLog(path.c_str()), 1);  // only the report's own lines
  EXPECT_EQ(WriteDisplayReport(true), 1);
  return f.dir.ReadFile("Report_Game.txt");
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t pos = 0; (pos = text.find(what, pos)) != std::string::npos; pos += what.size()) ++n;
  return n;
}

}  // namespace

TEST(DisplayReport, Direct3DModeListsTheDeviceAndTheFormatChecksButNoVideoMemory) {
  std::string log = DisplayReport({"d3d32", true, 32, 1});
  EXPECT_EQ(log.rfind("Mode : Window\r\nBpp : 32\r\nTextureMem : ", 0), 0u) << log;
  EXPECT_NE(log.find("---デバイス0\r\n"), std::string::npos);
  EXPECT_NE(log.find("TextureMaxSize : (4096,4096)\r\n"), std::string::npos);
  EXPECT_NE(log.find("RE-SU○ RE-TE○ \r\n"), std::string::npos);
  EXPECT_NE(log.find("AU-SU× AU-TE× \r\n"), std::string::npos);
  EXPECT_EQ(Count(log, "-SU"), 11);
  EXPECT_EQ(Count(log, "VRAM"), 0);
  EXPECT_EQ(Count(log, "RR : "), 0);
}

TEST(DisplayReport, DirectDrawFullScreenHasVideoMemoryAndRefreshRateButNoDeviceLines) {
  std::string log = DisplayReport({"dd16", false, 16, 0});
  EXPECT_EQ(log.rfind("Mode : Fullscreen\r\nBpp : 16\r\nVRAM Total : 256.000MB\r\nVRAM Free : ", 0), 0u) << log;
  EXPECT_NE(log.find("RR : 60\r\n"), std::string::npos);
  EXPECT_EQ(Count(log, "TextureMem"), 0);
  EXPECT_EQ(Count(log, "-SU"), 0);
}
