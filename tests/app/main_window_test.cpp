// The main window's procedure: an error escaping a handler closes the program in order.
#include <gtest/gtest.h>

#include <string>

#include "app/main_window.h"
#include "stage/private_messages.h"
#include "core/globals.h"
#include "core/report_log.h"
#include "persist/system_data.h"
#include "platform/messages.h"
#include "support/temp_dir.h"

namespace tp = t4::platform;

namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tp::ResetMessageLayerForTests();
    ASSERT_EQ(InitReportLog((m_dir.Path() / "Report_Game.txt").string().c_str()), 1);
    m_hWnd = tp::CreateMessageWindow(&cMainWnd::StaticWindowProc, nullptr);
    g_hWnd = m_hWnd;
    m_sceneBgm = g_SystemData.m_SceneBgm;
  }
  void TearDown() override {
    g_SystemData.m_SceneBgm = m_sceneBgm;
    g_hWnd = nullptr;
    tp::ResetMessageLayerForTests();
  }
  t4::test::TempDir m_dir;
  HWND m_hWnd = nullptr;
  cSafeVector<int32_t> m_sceneBgm;
};

TEST_F(MainWindowTest, AnEmptyCheckedVectorInARequestClosesInsteadOfCrashing) {
  // A damaged System.dat without scene music: the music request meets an empty vector.
  g_SystemData.m_SceneBgm.clear();
  EXPECT_EQ(tp::SendMessage(m_hWnd, WM_USER_MUSIC, 0, 0), 0);
  EXPECT_EQ(m_dir.ReadFile("Report_Game.txt"),
            "err V[0] ( 0 , 4 )\r\nwindow procedure ended by an error: invalid vector<T> subscript\r\n");
  int closes = 0;
  MSG msg;
  while (tp::PeekMessage(&msg, PM_REMOVE)) closes += msg.message == WM_CLOSE && msg.hwnd == m_hWnd;
  EXPECT_EQ(closes, 2);  // the bad index's own request and the procedure's
  EXPECT_TRUE(tp::IsWindow(m_hWnd));
}

}  // namespace
