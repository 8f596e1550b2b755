#include "core/system_report.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "core/report_log.h"
#include "core/system_queries.h"
#include "core_fixture.h"

namespace {

using SystemReport = t4::test::CoreFixture;

std::vector<std::string> Lines(const std::string& log) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(log.substr(start, end - start));
  }
  EXPECT_EQ(start, log.size()) << "every line ends in CR LF";
  return lines;
}

TEST_F(SystemReport, MachineLinesOfGivenFacts) {
  SYSTEMFACTS facts;
  facts.strOs = "Linux Debian GNU/Linux 12 (bookworm) 6.1.0-18-amd64 PID 4 Build 393472";
  std::strcpy(facts.cpu.vendor, "GenuineIntel");  // no brand: two blanks before the clock
  facts.cpu.clock = 2500999999.0;
  facts.mem.dwTotalPhys = 8ull << 30;
  facts.mem.dwAvailPhys = 1536ull << 20;
  facts.mem.dwTotalVirtual = 1ull << 47;
  facts.mem.dwAvailVirtual = (1ull << 47) - (512ull << 20);
  facts.nDiskFree = INT_MAX;
  facts.strFontFace = "IPAPゴシック%d";  // written as it is
  facts.nFontHeight = -16;
  facts.nFontPitchAndFamily = 34;

  ASSERT_EQ(WriteSystemFacts(facts), 1);
  EXPECT_EQ(Lines(Log()), (std::vector<std::string>{
                              "OS : Linux Debian GNU/Linux 12 (bookworm) 6.1.0-18-amd64 PID 4 Build 393472",
                              "CPU : GenuineIntel  2500",
                              "Mem Total : 8192.000MB",
                              "Mem Free : 1536MB",
                              "Vir Total : 134217728.000MB",
                              "Vir Free : 134217216MB",
                              "HD Free : 2048MB",
                              "Display : (0,0)",
                              "System Font : IPAPゴシック%d (0,-16) 34",
                          }));
}

TEST_F(SystemReport, RealMachineGivesEveryLine) {
  ASSERT_EQ(WriteSystemReport(), 1);  // measures the clock: about one second
  const std::vector<std::string> lines = Lines(Log());
  const char* shapes[] = {
      R"(OS : Linux.* PID 4 Build \d+)",
      R"(CPU : .* \d+)",
      R"(Mem Total : \d+\.\d{3}MB)",
      R"(Mem Free : +\d+MB)",
      R"(Vir Total : \d+\.\d{3}MB)",
      R"(Vir Free : +\d+MB)",
      R"(HD Free : +\d+MB)",
      R"(Display : \(\d+,\d+\))",
      R"(System Font : .* \(0,-?\d+\) \d+)",
  };
  ASSERT_EQ(lines.size(), std::size(shapes));
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_TRUE(std::regex_match(lines[i], std::regex(shapes[i]))) << lines[i];
  }
}

int s_nFormatChecks = -1;
void DirectDrawInfo(DISPLAYREPORTINFO* info) {
  info->nWindowMode = 0;
  info->nBpp = 16;
  info->bDirectDraw = 1;
  info->dVramTotal = 64.0 * 1048576;
  info->dVramFree = 32.5 * 1048576;
  info->nRefreshRate = 60;
}
int Direct3DLines(FILE* f, bool bFormatChecks) {
  s_nFormatChecks = bFormatChecks;
  WriteTextMode(f, "TextureMem : 128MB\n");
  return 1;
}

TEST_F(SystemReport, DisplayLinesComeFromTheDrawingLayer) {
  SetDisplayReportHooks(nullptr, nullptr);
  ASSERT_EQ(WriteDisplayReport(true), 1);
  int freeMB = -1, totalMB = -1;
  GetVideoMemoryMB(&freeMB, &totalMB);
  EXPECT_EQ(freeMB, 0);
  EXPECT_EQ(totalMB, 0);

  SetDisplayReportHooks(&DirectDrawInfo, &Direct3DLines);
  ASSERT_EQ(WriteDisplayReport(true), 1);
  GetVideoMemoryMB(&freeMB, &totalMB);
  EXPECT_EQ(freeMB, 32);
  EXPECT_EQ(totalMB, 64);
  SetDisplayReportHooks(nullptr, nullptr);

  EXPECT_EQ(s_nFormatChecks, 1);
  EXPECT_EQ(Lines(Log()), (std::vector<std::string>{
                              "Mode : Window",
                              "Bpp : 0",  //
                              "Mode : Fullscreen",
                              "Bpp : 16",
                              "VRAM Total : 64.000MB",  //
                              "VRAM Free : 32.500MB",
                              "RR : 60",
                              "TextureMem : 128MB",
                          }));
}

TEST_F(SystemReport, NothingIsWrittenWithoutTheLog) {
  std::filesystem::remove(m_logPath);
  EXPECT_EQ(WriteSystemFacts(SYSTEMFACTS{}), 0);
  EXPECT_EQ(WriteDisplayReport(false), 0);
  EXPECT_FALSE(std::filesystem::exists(m_logPath));
}

TEST(SystemQueries, LinuxCountsAsAModernSystem) {
  char name[256] = {};
  int major = -1, minor = -1;
  GetOSVersionName(name, &major, &minor);
  EXPECT_TRUE(std::regex_match(name, std::regex(R"(Linux.* \S+ PID 4 Build \d+)"))) << name;
  EXPECT_EQ(major, 10);
  EXPECT_EQ(minor, 0);
  GetOSVersionName(nullptr, nullptr, nullptr);

  EXPECT_TRUE(IsOSVersionAtLeast(6, 0));
  EXPECT_TRUE(IsOSVersionAtLeast(10, 0));
  EXPECT_FALSE(IsOSVersionAtLeast(10, 1));
  EXPECT_EQ(GetDriverDDIVersion(), 9);
}

}  // namespace
