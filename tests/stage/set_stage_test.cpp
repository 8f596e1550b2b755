#include <gtest/gtest.h>

#include "data/stage_file.h"
#include "platform/random.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/input.h"
#include "stage/item.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"

namespace t4::test {
namespace {

TEST(ContactSchedule, MarksEvenlySpreadSubSteps) {
  struct Case {
    int n, k;
    std::vector<int32_t> expected;
  } cases[] = {
      {10, 3, {1, 0, 0, 1, 0, 0, 1, 0, 0, 0}},  // sub-steps 1, 4 and 7
      {10, 0, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
      {4, 2, {1, 0, 1, 0}},
      {3, 2, {1, 1, 0}},
      {7, 3, {1, 0, 1, 0, 1, 0, 0}},
      {1, 5, {1}},
      // Sizes the stage file may not hold: no endless loop and no write outside the schedule.
      {5, -1, {1, 1, 1, 1, 1}},
      {3, 1000000, {1, 1, 1}},
      {0, 3, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "n " << c.n << " k " << c.k);
    const cSafeVector<int32_t> schedule = MakeContactSchedule(c.n, c.k);
    EXPECT_EQ(std::vector<int32_t>(schedule.begin(), schedule.end()), c.expected);
  }
}

int CellIndex(int tx, int ty, int shift) { return (tx + 10) + ((ty + 10) << shift); }

TEST(SetStage, BuildsTheGridWithItsBorder) {
  cStage stage = StageFromRows({
      ".............",
      ".H...........",
      "#############",
  });
  // A later placement on the same tile replaces the earlier one; placements outside the stage
  // are left out instead of landing in another row.
  cBlock later;
  later.m_sGraphicNo = 9;
  later.m_cHit = 1;
  later.m_sBlockX = 3;
  later.m_sBlockY = 2;
  stage.m_BlockPlaces.push_back(later);
  for (auto [x, y] : {std::pair{-1, 0}, std::pair{13, 0}, std::pair{0, 3}, std::pair{2, -1}}) {
    cBlock outside = later;
    outside.m_sGraphicNo = 7;
    outside.m_sBlockX = static_cast<int16_t>(x);
    outside.m_sBlockY = static_cast<int16_t>(y);
    stage.m_BlockPlaces.push_back(outside);
  }
  StageHarness h;
  h.Start(stage);
  h.Frame();
  // 13 tiles: the row pitch is 64 (13 + 19 = 32 needs six binary digits); 3 + 20 rows.
  ASSERT_EQ(g_MapGrid.size(), 23u * 64u);
  EXPECT_EQ(h.Scene().m_ScrollX.m_nPitchShift, 6);
  EXPECT_EQ(g_MapGrid.At(CellIndex(0, 2, 6)).m_sGraphicNo, 1);
  EXPECT_EQ(g_MapGrid.At(CellIndex(12, 2, 6)).m_cHit, 1);
  EXPECT_EQ(g_MapGrid.At(CellIndex(3, 2, 6)).m_sGraphicNo, 9);
  int sevens = 0;
  for (const cMapCell& cell : g_MapGrid) sevens += cell.m_sGraphicNo == 7;
  EXPECT_EQ(sevens, 0);
  // Empty cells, border included, are passable and show nothing.
  for (int index : {0, CellIndex(0, 0, 6), CellIndex(-10, 2, 6), CellIndex(13, 2, 6), CellIndex(5, 3, 6)}) {
    EXPECT_EQ(g_MapGrid.At(index).m_sGraphicNo, 0) << index;
    EXPECT_EQ(g_MapGrid.At(index).m_cHit, 0) << index;
  }
}

TEST(SetStage, PlacesHeroCharactersAndItems) {
  cStage stage = StageFromRows({
      "....................",
      ".H..w..f..c..c..w...",
      "####################",
  });
  // The second walker carries the second item placement, which then is not placed on its own.
  stage.m_CharaPlaces.At(2).m_nPlaceExtra = 1;
  StageHarness h;
  h.Start(stage);
  h.Frame();
  cScenePlay& s = h.Scene();
  ASSERT_EQ(g_Heroes.size(), 1u);
  EXPECT_EQ(h.Hero().m_nId, 0);
  std::vector<int> ids;
  for (cChara* c : h.Charas()) ids.push_back(c->m_nId);
  EXPECT_EQ(ids, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(s.m_nCharaIdCount, 4);
  // Item ids: the carried item takes the first, the free item the second.
  ASSERT_EQ(g_ItemList.size(), 1u);
  EXPECT_EQ(g_ItemList.front().m_nId, 1);
  EXPECT_EQ(s.m_nItemIdCount, 2);
  // Every character is filed under its faction, the hero first.
  size_t filed = 0;
  for (const auto& layer : s.m_CharaLayers) filed += layer.size();
  EXPECT_EQ(filed, 4u);
  EXPECT_EQ(s.m_CharaLayers.At(h.Hero().m_nLayer).front(), &h.Hero());
  EXPECT_EQ(s.m_StageVars.size(), 1000u);
}

TEST(SetStage, CameraStartsOnTheHeroWithinTheLimits) {
  struct Case {
    const char* name;
    std::string heroRow;
    double expectedX;
  } cases[] = {
      {"left end", std::string(".H") + std::string(58, '.'), 320.0},
      // 60 tiles: the view may go up to (60 + 10) x 32 - 640.
      {"right end", std::string(58, '.') + "H.", 70 * 32 - 640.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StageHarness h;
    h.Start(StageFromRows({std::string(60, '.'), c.heroRow, std::string(60, '#')}));
    h.Frame();
    EXPECT_EQ(h.Scene().m_ScrollX.m_dPos, c.expectedX);
    EXPECT_EQ(h.Scene().m_ScrollX.m_bAtEdge, 1);
    // Three rows are less than a screen: the view stays on the top limit.
    EXPECT_EQ(h.Scene().m_ScrollY.m_dPos, 320.0);
  }
}

TEST(SetStage, ClockSeedsTheRandomNumbersAndTimeLimitIsSet) {
  struct Case {
    uint32_t clock;
    int limitOn, limit;
    int timeLeft, noLimit;
  } cases[] = {{4321, 1, 120, 120, 0}, {99, 0, 120, 999, 1}};
  for (const Case& c : cases) {
    cStage stage = StageFromRows({"..........", ".H........", "##########"});
    stage.m_nTimeLimitOn = c.limitOn;
    stage.m_nTimeLimit = c.limit;
    StageHarness h(c.clock);
    h.Start(stage);
    h.Frame();
    EXPECT_EQ(h.Scene().m_nSeed, c.clock);
    EXPECT_EQ(h.Scene().m_nTimeLeft, c.timeLeft);
    EXPECT_EQ(h.Scene().m_bNoTimeLimit, c.noLimit);
  }
}

TEST(SetStage, StageMusicIsAskedForOnEntryOnly) {
  cStage stage = StageFromRows({"..........", ".H........", "##########"});
  stage.m_nBgm = 1;
  StageHarness h;
  h.Start(stage);
  h.Frame();
  EXPECT_EQ(h.MusicRequests(), (std::vector<long>{1}));
  // A retry keeps music that already plays.
  h.Scene().SetStage(1, 0);
  EXPECT_EQ(h.MusicRequests(), (std::vector<long>{1}));
  // A stage start with the keep flag and the same music asks for nothing.
  g_Stage.m_nBgmKeep = 1;
  g_StageSettings.m_nBgmKeep = 1;
  h.Scene().SetStage(1, 1);
  EXPECT_EQ(h.MusicRequests(), (std::vector<long>{1}));
  g_Stage.m_nBgmKeep = 0;
  g_StageSettings.m_nBgmKeep = 0;
  h.Scene().SetStage(1, 1);
  EXPECT_EQ(h.MusicRequests(), (std::vector<long>{1, 1}));
}

// Stages that cannot be set up are refused with a message and the program closes in order; no
// frame touches the missing hero meanwhile.
TEST(SetStage, UnplayableStagesCloseWithoutCrashing) {
  struct Case {
    const char* name;
    cStage stage;
  } cases[] = {
      {"no hero", StageFromRows({"..........", "..........", "##########"})},
      {"zero width",
       [] {
         cStage s = StageFromRows({"..........", ".H........", "##########"});
         s.m_nWidth = 0;
         return s;
       }()},
      {"width below the border",
       [] {
         cStage s = StageFromRows({"..........", ".H........", "##########"});
         s.m_nWidth = -25;
         return s;
       }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StageHarness h;
    h.Start(c.stage);
    h.Frames(20, INPUT_RIGHT, 1);
    EXPECT_EQ(h.CloseRequests(), 1);
    EXPECT_EQ(h.Boxes().Boxes().size(), 1u);
    EXPECT_EQ(h.Scene().m_bSetupFailed, 1);
    EXPECT_EQ(h.State(), PLAY_FADE_IN);
  }
}

}  // namespace
}  // namespace t4::test
