// Auto-scrolling background layers in a played stage: they move on every drawn frame, frozen ones
// (fade-in, start captions) included, and stand still only in the pause menu.
#include <gtest/gtest.h>

#include "data/data_refs.h"
#include "data/stage_file.h"
#include "persist/system_data.h"
#include "platform/window/input_devices.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"
#include "draw_probe.h"

namespace t4::test {
namespace {

TEST(AutoScrollPlayTest, LayersScrollOnEveryDrawnFrameExceptInThePauseMenu) {
  cStage stage = StageFromRows({
      "....................",
      ".H..................",
      "####################",
  });
  stage.m_nShowStageCaption = stage.m_nShowStartCaption = 1;
  StageHarness h;
  h.Start(stage);
  g_bTestPlay = 0;  // a free stage started from the title shows its caption
  h.Frame();        // the scene is entered and has loaded its layer pictures
  ASSERT_EQ(h.State(), PLAY_FADE_IN);

  // Layer 0: a 256-dot picture scrolling at -1, so its offset grows by one dot a drawn frame.
  DDSURFACEDATA* picture = &g_SurfaceTable[IMAGE_BACKGROUND_FIRST];
  NewSurface(picture, 256, 32);
  Paint(picture, 0, 0, 256, 32, RED);
  if (g_Stage.m_Backgrounds.empty()) g_Stage.m_Backgrounds.resize(1);
  cBackground& layer = g_Stage.m_Backgrounds[0];
  layer.m_nAutoX = 1;
  layer.m_dAutoSpeedX = -1.0;
  layer.m_dAutoOffsetX = 0;

  const int fade = h.RunUntilState(PLAY_START);
  ASSERT_GT(fade, 0);
  EXPECT_EQ(layer.m_dAutoOffsetX, fade);  // fade-in frames
  // Both captions: 158 caption frames, then the frame that starts play (drawn as well).
  ASSERT_EQ(h.RunUntilState(PLAY_PLAY), 159);
  EXPECT_EQ(layer.m_dAutoOffsetX, fade + 159);
  h.Frames(5);
  EXPECT_EQ(layer.m_dAutoOffsetX, fade + 164);

  // The frame that opens the pause menu draws nothing; the menu's frames keep the layer still.
  g_SystemData.m_bSpacePause = 1;
  h.SetKey(VK_SPACE, true);
  h.Frame();
  h.SetKey(VK_SPACE, false);
  ASSERT_EQ(h.State(), PLAY_PAUSE);
  h.Frames(5);
  EXPECT_EQ(layer.m_dAutoOffsetX, fade + 164);
  DDReleaseSurface(picture);
}

}  // namespace
}  // namespace t4::test
