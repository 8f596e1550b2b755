// The report log's exact bytes and the string builders.
#include <filesystem>
#include <thread>

#include "core_fixture.h"

using t4::test::CoreFixture;

using ReportLog = CoreFixture;

TEST_F(ReportLog, StartsEmptyAndTakesOneCrLfLinePerWrite) {
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(WriteReportLog("App : ver %s", "902"), 1);
  EXPECT_EQ(WriteReportLog("second"), 1);
  EXPECT_EQ(Log(), "App : ver 902\r\nsecond\r\n");
  // Initialising again empties the file.
  ASSERT_EQ(InitReportLog(m_logPath.c_str()), 1);
  EXPECT_EQ(Log(), "");
}

TEST_F(ReportLog, AFinishedTextIsWrittenVerbatimPercentSignsIncluded) {
  std::string text;
  FormatString(text, "rate %s", "100%d %s %n");
  EXPECT_EQ(WriteReportLog(text.c_str()), 1);
  EXPECT_EQ(WriteReportLogAndDebugLog(text.c_str()), 1);
  EXPECT_EQ(Log(), "rate 100%d %s %n\r\nrate 100%d %s %n\r\n");
}

TEST_F(ReportLog, ARemovedLogIsNotMadeAgain) {
  std::filesystem::remove(m_logPath);
  EXPECT_EQ(WriteReportLog("lost %d", 1), 0);
  EXPECT_EQ(WriteReportLogAndDebugLog("lost"), 0);
  EXPECT_EQ(WriteReportLogAndErrorBox("lost"), 0);
  EXPECT_FALSE(std::filesystem::exists(m_logPath));
}

TEST_F(ReportLog, InitFailsForAFolderThatDoesNotExist) {
  std::string bad = (m_dir.Path() / "missing" / "Report_Game.txt").string();
  EXPECT_EQ(InitReportLog(bad.c_str()), 0);
  // The earlier path is still in use.
  EXPECT_EQ(WriteReportLog("still here"), 1);
  EXPECT_EQ(Log(), "still here\r\n");
}

TEST_F(ReportLog, LinesFromSeveralThreadsStayWhole) {
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t) {
    writers.emplace_back([t] {
      for (int i = 0; i < 100; ++i) WriteReportLog("writer %d line %03d ................................", t, i);
    });
  }
  for (auto& w : writers) w.join();
  std::string log = Log();
  size_t lines = 0;
  for (size_t pos = 0; (pos = log.find("\r\n", pos)) != std::string::npos; pos += 2) ++lines;
  EXPECT_EQ(lines, 400u);
  for (int t = 0; t < 4; ++t) {
    for (int i = 0; i < 100; i += 33) {
      std::string line;
      FormatString(line, "writer %d line %03d ................................\r\n", t, i);
      EXPECT_NE(log.find(line), std::string::npos) << line;
    }
  }
}

TEST(StringFormatting, FormatsAppendsAndCutsInsteadOfOverflowing) {
  std::string s = "keep";
  EXPECT_EQ(&AppendFormat(s, "%s", ""), &s);
  EXPECT_EQ(s, "keep");
  AppendFormat(s, " %d-%02d", 7, 3);
  EXPECT_EQ(s, "keep 7-03");

  std::string big(8000, 'x');
  FormatString(s, "%s", big.c_str());
  EXPECT_EQ(s.size(), static_cast<size_t>(FORMAT_BUFFER_SIZE - 1));
  s.clear();
  AppendFormat(s, "%s", big.c_str());
  EXPECT_EQ(s.size(), static_cast<size_t>(FORMAT_BUFFER_SIZE - 1));
}

TEST_F(ReportLog, LogAndDebugWritersCutAt1023Bytes) {
  std::string big(3000, 'y');
  EXPECT_EQ(WriteReportLogAndDebugLog("%s", big.c_str()), 1);
  EXPECT_EQ(Log(), std::string(1023, 'y') + "\r\n");
}

TEST_F(ReportLog, DebugLogIsSilentWhenDisabledButCloseStillPosts) {
  std::string debugPath = (m_dir.Path() / "RU_Dovo.txt").string();
  InitDebugLog(false, debugPath.c_str());
  DebugLogf("nothing %d", 1);
  WriteDebugLog("nothing");
  DebugLogfAndClose(g_hWnd, "closing %d", 2);
  EXPECT_FALSE(std::filesystem::exists(debugPath));
  EXPECT_EQ(CloseRequests(), 1);

  // Enabled, the first line starts the file afresh and later lines append.
  m_dir.WriteFile("RU_Dovo.txt", "old contents\r\n");
  InitDebugLog(true, debugPath.c_str());
  WriteDebugLog("one");
  DebugLogf("two %d", 2);
  EXPECT_EQ(m_dir.ReadFile("RU_Dovo.txt"), "one\r\ntwo 2\r\n");
  InitDebugLog(false, debugPath.c_str());
}
