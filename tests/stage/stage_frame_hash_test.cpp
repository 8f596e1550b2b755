// Whole frames of the demo's first stage, played from a fixed seed without keys: the hash of the
// frame after two seconds (blocks, characters facing both ways, the status line), of the view
// scrolled along the stage, and of the first frame under each screen-effect kind. The expected hashes were taken
// once from these frames after looking at them (T4_DUMP_FRAMES=DIR writes them as PNG files).
#include <gtest/gtest.h>

#include "data/database.h"
#include "persist/system_data.h"
#include "stage/effect_states.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "support/stage_harness.h"
#include "draw_probe.h"

namespace t4::test {
namespace {

// The demo's palette and transparent colour, as the program's start-up sets them.
void PlayDemo(StageHarness& h) {
  ASSERT_TRUE(UseProjectPalette());
  ASSERT_TRUE(h.StartFile("data\\stg4\\demo1-1.stg4"));
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  h.Frames(120);
  ASSERT_FALSE(h.Hero().m_bDead);
}

TEST(StageFrameHash, DemoStageAndAScrolledView) {
  StageHarness h;
  PlayDemo(h);
  EXPECT_EQ(FrameHash("demo_stage"), 3002874653040870734ull);
  h.Scene().m_ScrollX.m_dPos += 200;
  h.Scene().DrawFrozen();
  EXPECT_EQ(FrameHash("demo_scrolled"), 11358110178111284590ull);
}

TEST(StageFrameHash, DemoStageUnderEachScreenEffect) {
  StageHarness h;
  PlayDemo(h);
  // Parameters as the editor's defaults give them, each effect drawn on its fifth frame.
  const int params[14][5] = {
      {10, 0, 0, 0, 0},    {10, 0, 0, 64, 32},    {10, 8, 2, 0, 0},    {10, 8, 2, 0, 0},  {10, 0, 640, 15, 0},
      {10, 0, 640, 15, 0}, {10, 0, 640, 4, 8},    {10, 0, 640, 4, 10}, {10, 10, 0, 0, 0}, {10, 0, 360, 0, 0},
      {10, 0, 400, 8, 0},  {10, 640, 1280, 0, 0}, {10, 1500, 5, 0, 0}, {10, 1, 60, 0, 0},
  };
  const uint64_t expected[14] = {
      3002874653040870734ull, 16647684954448037366ull, 11786253422265951034ull, 13418443381080972558ull,
      1378951660732413978ull, 1568150954507168534ull,  9330952549211161833ull,  6787963644351794896ull,
      657129894646549230ull,  17046766039589161199ull, 9465742954442138556ull,  12819349789962671953ull,
      55909552997509734ull,   8132399232931400110ull,
  };
  for (int kind = 0; kind < 14; ++kind) {
    cScrEffectDef def;
    def.m_nKind = kind;
    for (int i = 0; i < 5; ++i) def.m_nParam[i] = params[kind][i];
    g_Database.m_ScrEffects.push_back(def);
    PrepareEffectStates();
    h.Scene().m_Draw.m_ScrEffect.Start(static_cast<int>(g_Database.m_ScrEffects.size()) - 1, 0, 0);
    for (int i = 0; i < 4; ++i) h.Scene().Draw(1, 0, 0, 0);
    h.Scene().Draw(1, 1, 0, 0);
    EXPECT_EQ(FrameHash("demo_screen_effect_" + std::to_string(kind)), expected[kind]) << kind;
  }
}

}  // namespace
}  // namespace t4::test
