// The range lines of a character's distance conditions over a played stage: two lines at the
// limits of a horizontal range, a circle for the circle kind, nothing for a hidden character
// whose condition is not shown for hidden ones, and nothing endless for a range no screen holds.
#include <gtest/gtest.h>

#include <climits>

#include "data/flow_kinds.h"
#include "data/stage_file.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"
#include "draw_probe.h"

namespace t4::test {
namespace {

constexpr int RANGE_COLOUR = 208;  // colour number 0, before the colour counter moves it on

class DistanceRangesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    h.Start(StageFromRows({"....................", "..H.......w.........", "####################"}));
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
    for (cMapCell& cell : g_MapGrid) cell.m_sGraphicNo = 0;
    for (cBackground& bg : g_Stage.m_Backgrounds) bg.m_nVisible = 0;
    g_Stage.m_nShowStatus = 0;
    h.Hero().m_Def.m_cTransparent = 1;
    SetPaletteRgb(PALETTE_EMPTY, EMPTY);
    SetPaletteRgb(RANGE_COLOUR, YELLOW);
    ASSERT_EQ(h.Charas().size(), 1u);
    c = h.Charas()[0];
    c->m_Def.m_cTransparent = 1;
    c->m_Def.m_Conds.clear();
    for (cFlow& flow : c->m_Def.m_Flows) flow.m_Conds.clear();
  }
  void TearDown() override { SetPaletteRgb(RANGE_COLOUR, 0); }
  cCond& AddRange(int shape, int halfBlocks, int dots, int forHidden = 1) {
    cCond cond;
    cond.m_cKind = COND_DISTANCE;
    cond.DistanceDisplay() = 1;
    cond.DistanceForHidden() = static_cast<int8_t>(forHidden);
    cond.DistanceColor() = 0;
    cond.m_cShape = static_cast<int8_t>(shape);
    cond.m_nValue = halfBlocks;
    cond.m_sRightIndex = static_cast<int16_t>(dots);
    c->m_Def.m_Conds.push_back(cond);
    return c->m_Def.m_Conds.back();
  }
  void Draw() {
    h.Scene().m_Draw.m_nRangeCounter = 0;
    h.Scene().Draw(1, 1, 0, 0);
  }

  StageHarness h;
  cChara* c = nullptr;
};

TEST_F(DistanceRangesTest, LinesAtTheLimitsOfABothSidesRange) {
  // 2 half blocks and 4 dots: 36 dots out from each side of the 32-dot picture.
  AddRange(0, 2, 4);
  Draw();
  const int L = c->m_rcScreen[0];
  for (int y : {0, 240, 479}) {
    EXPECT_EQ(At(L - 36, y), YELLOW) << y;
    EXPECT_EQ(At(L + 32 + 36, y), YELLOW) << y;
  }
  EXPECT_EQ(At(L - 37, 240), EMPTY);
  EXPECT_EQ(At(L - 35, 240), EMPTY);
  EXPECT_EQ(At(L + 16, 240), EMPTY);
}

TEST_F(DistanceRangesTest, CircleAboutTheCharactersMiddle) {
  AddRange(6, 4, 0);
  Draw();
  const int cx = c->m_rcScreen[0] + 16, cy = c->m_rcScreen[1] + 16;
  EXPECT_EQ(At(cx + 64, cy), YELLOW);
  EXPECT_EQ(At(cx - 64, cy), YELLOW);
  EXPECT_EQ(At(cx, cy + 64), YELLOW);
  EXPECT_EQ(At(cx + 63, cy), EMPTY);
  EXPECT_EQ(At(cx, cy), EMPTY);
}

TEST_F(DistanceRangesTest, HiddenCharactersShowOnlyWhatIsMeantForThem) {
  AddRange(6, 4, 0, 0);
  c->m_bHidden = 1;
  Draw();
  const int cx = c->m_rcScreen[0] + 16, cy = c->m_rcScreen[1] + 16;
  EXPECT_EQ(At(cx + 64, cy), EMPTY);
  c->m_Def.m_Conds.back().DistanceForHidden() = 1;
  Draw();
  EXPECT_EQ(At(cx + 64, cy), YELLOW);
}

// Ranges from a damaged file: the largest distance no longer overflows, and a circle far beyond
// the screen is not walked dot by dot (which would stall the frame), while the lines of the same
// range simply lie off the screen.
TEST_F(DistanceRangesTest, RangesBeyondTheScreenDrawNothing) {
  for (int halfBlocks : {100000000, INT_MAX}) {
    for (int shape : {0, 6}) {
      SCOPED_TRACE(::testing::Message() << halfBlocks << " half blocks, shape " << shape);
      c->m_Def.m_Conds.clear();
      AddRange(shape, halfBlocks, SHRT_MAX);
      Draw();
      for (int x : {0, 320, 639}) EXPECT_EQ(At(x, 240), EMPTY) << x;
    }
  }
}

}  // namespace
}  // namespace t4::test
