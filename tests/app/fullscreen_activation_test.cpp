// The render mode in full screen through the main window's activations: the first activation
// after start-up, and a focus loss and regain, find the device working and keep drawing the
// stage; a device that was really lost is reset by the activation and draws it again. And the
// program itself draws the same frames in full screen as in a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "core/globals.h"
#include "gfx/dd.h"
#include "platform/messages.h"
#include "stage/game.h"
#include "stage/scene_play.h"
#include "program_runner.h"
#include "support/stage_harness.h"

namespace t4::test {
namespace {

constexpr DDMode kRenderFull{"d3d32_full", true, 32, 0};

class FullScreenActivation : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(h.StartFile("data\\stg4\\demo1-1.stg4"));
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
    h.Frames(30);
    m_hMain = platform::CreateMessageWindow(&cMainWnd::StaticWindowProc, nullptr);
    m_Stage = Drawn();
    ASSERT_GE(Colours(m_Stage), 8u);
  }
  void TearDown() override { platform::DestroyWindow(m_hMain); }

  // The stage as it stands, drawn and shown.
  platform::Frame Drawn() {
    h.Scene().DrawFrozen();
    g_Game.Present();
    return h.LastFrame();
  }
  static size_t Colours(const platform::Frame& f) {
    std::vector<uint32_t> px = f.pixels;
    std::sort(px.begin(), px.end());
    return static_cast<size_t>(std::unique(px.begin(), px.end()) - px.begin());
  }
  // The frame drawn now is the stage as it stands (the same picture as before the activation),
  // and the play goes on being drawn: a screen whose surfaces are gone would keep showing the last
  // picture presented before the activation.
  ::testing::AssertionResult KeepsDrawing() {
    if (Drawn().pixels != m_Stage.pixels) return ::testing::AssertionFailure() << "another picture";
    h.Frames(20);
    const platform::Frame later = Drawn();
    if (later.pixels == m_Stage.pixels) return ::testing::AssertionFailure() << "the screen stands still";
    m_Stage = later;
    return ::testing::AssertionSuccess();
  }
  void Activate(bool active) {
    HWND saved = g_hWnd;
    g_hWnd = m_hMain;
    platform::SendMessage(m_hMain, WM_ACTIVATEAPP, active ? 1 : 0, 0);
    g_hWnd = saved;
  }

  StageHarness h{kRenderFull};
  HWND m_hMain = nullptr;
  platform::Frame m_Stage;
};

TEST_F(FullScreenActivation, TheFirstActivationAndAFocusRegainKeepDrawingTheStage) {
  g_bAppActive = 0;  // as at start-up, before the first activation
  Activate(true);
  EXPECT_TRUE(KeepsDrawing());
  Activate(false);
  Activate(true);
  EXPECT_TRUE(KeepsDrawing());
}

TEST_F(FullScreenActivation, AReallyLostDeviceIsResetOnActivation) {
  Activate(false);
  lpDevice->SimulateLoss(true);
  EXPECT_EQ(DDFlip(60), 0);  // the present notices the loss
  Activate(true);
  EXPECT_TRUE(KeepsDrawing());
}

// The program itself, headless: full screen draws the same title and test-play frames as a window
// (its screenshot is the last frame shown), not the loading picture it shows while starting.
class FullScreenRun : public ProgramRun {};

TEST_F(FullScreenRun, DrawsTheSameTitleAndStageFramesAsAWindow) {
  std::ofstream(project.Path() / "System.ini", std::ios::trunc) << "Direct3D=1\r\nShowFps=0\r\nExit\r\n";
  for (const char* play : {"", "--test-play data/stg4/demo1-1.stg4 "}) {
    SCOPED_TRACE(play);
    std::string shots[2];
    for (int full = 0; full < 2; ++full) {
      const std::string shot = (project.Path() / (full ? "full.png" : "window.png")).string();
      ASSERT_EQ(Run(std::string("--headless ") + (full ? "--fullscreen" : "--window") + " --frames 120 " + play +
                    "--screenshot '" + shot + "'"),
                0)
          << Stderr();
      shots[full] = ReadFile(shot);
    }
    EXPECT_FALSE(shots[0].empty());
    EXPECT_TRUE(shots[0] == shots[1]) << "the full screen's last frame differs from the window's";
  }
}

}  // namespace
}  // namespace t4::test
