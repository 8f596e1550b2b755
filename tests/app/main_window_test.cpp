// The main window's procedure: an error escaping a handler closes the program in order, and a
// close during a blocking presentation closes the play scene too.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "app/main_window.h"
#include "stage/private_messages.h"
#include "core/globals.h"
#include "core/report_log.h"
#include "core/thread.h"
#include "persist/system_data.h"
#include "persist/system_ini.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "stage/game.h"
#include "stage/scene_play.h"
#include "support/scoped_value.h"
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

TEST_F(MainWindowTest, YesToTheQuestionDuringAPresentationEndsItAndClosesThePlayScene) {
  // Each blocking presentation the pause thread runs: a game wait, a message waiting for a key and
  // the extra-life notice.
  const struct {
    int mode, button, frames;
  } waits[] = {{WAIT_GAME, 0, 1 << 30}, {WAIT_MESSAGE, 1, 0}, {WAIT_EXTRA_LIFE, 0, 1 << 30}};
  const int32_t wasActive = g_bAppActive.load();
  for (const auto& w : waits) {
    tp::ScriptedMessageBoxBackend boxes;
    tp::ScopedMessageBoxBackend installedBoxes(boxes);
    boxes.QueueAnswer(IDYES);
    t4::test::ScopedValue<int32_t> windowed(g_SystemIni.m_nWindowMode, 1);
    t4::test::ScopedValue<int32_t> scene(g_Game.m_nScene, SCENE_PLAY);
    g_MainWindow.m_bCloseConfirmed = 0;
    // An inactive application: the pause thread only waits for its end, drawing nothing.
    g_bAppActive = 0;
    cScenePlay play;
    t4::test::ScopedValue<cScenePlay*> current(g_lpScenePlay, &play);
    std::atomic<int> started{0}, closingAfter{-1};
    std::thread game([&] {
      play.m_Wait.Set(w.mode, w.button, w.frames, 1);
      started = 1;
      play.RunPauseThread(1);
      closingAfter = play.m_bClosing.load();
    });
    // Running, with its message queue made (it drops the start message).
    bool running = false;
    for (int i = 0; i < 5000 && !running; ++i) {
      running = started && thPause.m_hThread && tp::PostThreadMessage(thPause.m_dwThreadId, THREAD_START_MSG, 0, 0);
      if (!running) tp::SleepReal(1);
    }
    ASSERT_TRUE(running) << "mode " << w.mode;
    EXPECT_EQ(tp::SendMessage(m_hWnd, WM_CLOSE, 0, 0), 0);
    game.join();
    EXPECT_EQ(closingAfter.load(), 1) << "mode " << w.mode << ": the presentation ended but the play goes on";
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_TRUE(tp::IsWindow(m_hWnd)) << "the first close only ends the presentation";
    // The play scene's own close, sent back once the game thread is free, is not asked again.
    EXPECT_EQ(tp::SendMessage(m_hWnd, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(boxes.Boxes().size(), 1u) << "mode " << w.mode;
    EXPECT_FALSE(tp::IsWindow(m_hWnd)) << "mode " << w.mode;
    g_MainWindow.m_bCloseConfirmed = 0;
    tp::ResetMessageLayerForTests();
    m_hWnd = tp::CreateMessageWindow(&cMainWnd::StaticWindowProc, nullptr);
    g_hWnd = m_hWnd;
  }
  g_bAppActive = wasActive;
}

}  // namespace
