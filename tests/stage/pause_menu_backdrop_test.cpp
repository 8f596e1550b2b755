// Behind the pause menu: the frozen stage, or, when the project hides the stage there, only its
// front backgrounds and its screen colour.
#include <gtest/gtest.h>

#include "persist/system_data.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/scoped_value.h"
#include "support/stage_harness.h"
#include "draw_probe.h"

namespace t4::test {
namespace {

constexpr uint32_t PAUSE_WHITE = 0xFFFFFF;

TEST(PauseMenuBackdrop, AHiddenStageStillShowsItsScreenColour) {
  for (int drawsStage : {1, 0}) {
    SCOPED_TRACE(drawsStage);
    StageHarness h;
    h.Start(StageFromRows({"..H.", "####"}));
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
    ScopedValue<int32_t> flag(g_SystemData.m_bPauseDrawsStage, drawsStage);
    for (cBackground& bg : g_Stage.m_Backgrounds) bg.m_nVisible = 0;
    g_Stage.m_nShowStatus = 0;
    SetPaletteRgb(PALETTE_EMPTY, PAUSE_WHITE);
    // Red at half strength over the whole screen, reached at once.
    const int32_t red[8] = {255, 0, 0, 50, 0, 0, 0, 0};
    h.Scene().m_Draw.m_ScreenColor.Set(red);
    h.Frame();
    const uint32_t tinted = At(600, 100);
    ASSERT_NE(tinted, PAUSE_WHITE);
    h.Scene().m_nSavedState = h.Scene().m_nState;
    h.Scene().m_nSavedStep = h.Scene().m_nStep;
    h.Scene().m_nState = PLAY_PAUSE;
    h.Scene().m_nStep = 0;
    h.Frames(2);
    EXPECT_EQ(At(600, 100), tinted) << "the screen colour over what the pause menu shows";
    // The map's blocks (the bottom row, from y 32) are part of the stage, not of its backgrounds.
    if (drawsStage)
      EXPECT_NE(At(10, 40), tinted) << "the frozen stage's blocks";
    else
      EXPECT_EQ(At(10, 40), tinted) << "no blocks when the stage is hidden";
    SetPaletteRgb(PALETTE_EMPTY, EMPTY);
  }
}

}  // namespace
}  // namespace t4::test
