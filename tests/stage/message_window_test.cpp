// Message windows over a played stage: variables in their text, their places on the screen, the
// countdown of timed windows, refreshing, and the drawn frame.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "gfx/scene_surfaces.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "stage/chara_items.h"
#include "stage/hero.h"
#include "stage/message_window.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"
#include "draw_probe.h"
#include "message_fixture.h"

namespace t4::test {
namespace {

class MessageWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    h.Start(StageFromRows({"..........", ".H........", "##########"}));
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  }
  MSGWINDOWLIST& List() { return h.Scene().m_MessageWindows; }
  cMessageWindow& Add(const MSGWINDOWPARAM& p) { return AddMessageWindow(List(), p); }

  StageHarness h;
};

TEST_F(MessageWindowTest, VariablesAreWrittenIntoTheText) {
  g_SaveData.CommonVar(5) = 42;
  g_SaveData.CommonVar(1000) = 3;
  h.Scene().m_StageVars.At(12) = -7;
  h.Scene().m_StageVars.At(999) = 8;
  h.Scene().m_StageVars.At(2) = INT_MIN;
  struct Case {
    const char* text;
    const char* shown;
  } cases[] = {
      {"#C5", "42"},
      {"#c5点", "42点"},
      {"#5C", "42"},
      {"[#C5_4]", "[  42]"},
      {"#C5_4Z.", "0042"},
      {"#C5_4z。", "0042。"},
      {"#S12_3P", "-  7"},
      {"#S999_P", "+8"},
      {"#C1000", "3"},
      {"#S2", "-2147483648"},
      {"#C5_62", "42"},
      {"#C5_6_2", "    42_2"},
      {"##C5", "#42"},
      // Nothing is named, or nothing in range: the text stays.
      {"#C0", "#C0"},
      {"#C1001", "#C1001"},
      {"#S0", "#S0"},
      {"#S1000", "#S1000"},
      {"#5", "#5"},
      {"#C99999999999999999999", "#C99999999999999999999"},
      // Double-byte characters whose trail byte is 0x5C ("表", "ソ", "能") are passed whole.
      {"表#C5示", "表42示"},
      {"#C5ソ", "42ソ"},
      {"能力#S12_2", "能力- 7"},
      {"#Cソ5", "#Cソ5"},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    cMessageWindow::InsertVariables(text);
    EXPECT_EQ(text, c.shown) << c.text;
  }
}

TEST_F(MessageWindowTest, ATimedWindowOfFFramesIsDrawnFPlusOneTimesAndEndsOnTheNextDraw) {
  struct Case {
    int frames;
    int frozen, countFrozen;
    int drawnBeforeEnd;  // -1: never ends
  } cases[] = {{0, 0, 0, 1}, {1, 0, 0, 2}, {3, 0, 0, 4}, {3, 1, 1, 4}, {3, 1, 0, -1}, {-6, 0, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.frames << " frozen " << c.frozen << " counted " << c.countFrozen);
    MSGWINDOWPARAM p;
    p.nKind = MSGWIN_ICON;
    p.nDuration = MSGWIN_TIMED;
    p.nFrames = c.frames;
    p.bCountFrozen = c.countFrozen;
    Add(p);
    int drawn = 0;
    while (drawn < 10 && !List().back().Draw(&BackBuffer, c.frozen)) ++drawn;
    EXPECT_EQ(drawn, c.drawnBeforeEnd < 0 ? 10 : c.drawnBeforeEnd);
    ClearMessageWindows(List());
  }
}

TEST_F(MessageWindowTest, PlacesOnTheScreenOverTheCharacterAndInTheStage) {
  cHero& hero = h.Hero();
  hero.m_dX = 400.5;
  hero.m_dY = 420.0;
  hero.m_nDrawOffsetX = hero.m_nDrawOffsetY = 0;
  hero.m_nDrawWidth = hero.m_nDrawHeight = 32;
  ScrollX().m_dPos = 350.25;
  ScrollY().m_dPos = 330.75;
  // A 16 x 16 icon, offset (3, -2), at X 2, Y 3 where the placement takes a point. The hero is at
  // (50, 90) on the screen.
  struct Case {
    int placement, unit;
    int x, y;
  } cases[] = {
      {0, 0, 315, 230}, {1, 0, 61, 72},  {2, 0, 61, 121},   {3, 0, 61, 96},    {4, 0, 61, 72}, {5, 0, 61, 121},
      {6, 0, 61, 96},   {7, 0, 67, 94},  {7, 1, 5, 1},      {8, 0, 75, 102},   {8, 1, -3, -7}, {9, 0, 36, 83},
      {9, 1, -25, -9},  {10, 0, 44, 91}, {10, 1, -33, -17}, {11, 0, 123, 456},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "placement " << c.placement << " unit " << c.unit);
    MSGWINDOWPARAM p;
    p.nKind = MSGWIN_ICON;
    p.nPlacement = c.placement;
    p.nUnit = c.unit;
    p.nX = 2;
    p.nY = 3;
    p.nOffsetX = 3;
    p.nOffsetY = -2;
    p.bFixed = 1;
    p.nCharaId = hero.m_nId;
    cMessageWindow& w = Add(p);
    w.m_nX = 123;  // where it was before
    w.m_nY = 456;
    ASSERT_EQ(w.Draw(&BackBuffer, 0), 0);
    EXPECT_EQ(w.m_nX, c.x);
    EXPECT_EQ(w.m_nY, c.y);
    ClearMessageWindows(List());
  }
}

TEST_F(MessageWindowTest, FixedDecidesWhetherAWindowFollowsTheScrolling) {
  ScrollX().m_dPos = 100.0;
  ScrollY().m_dPos = 0.0;
  struct Case {
    const char* name;
    int placement, fixed;
    int moveAfterScroll;
  } cases[] = {
      {"screen point, not fixed: stays at its place in the stage", 0, 0, -40},
      {"screen point, fixed: stays on the screen", 0, 1, 0},
      {"stage point, not fixed: follows the stage", 9, 0, -40},
      {"stage point, fixed: keeps its first place on the screen", 9, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MSGWINDOWPARAM p;
    p.nKind = MSGWIN_ICON;
    p.nPlacement = c.placement;
    p.bFixed = c.fixed;
    cMessageWindow& w = Add(p);
    w.Draw(&BackBuffer, 0);
    const int x = w.m_nX;
    ScrollX().m_dPos = 140.0;
    w.Draw(&BackBuffer, 0);
    EXPECT_EQ(w.m_nX - x, c.moveAfterScroll);
    ScrollX().m_dPos = 100.0;
    ClearMessageWindows(List());
  }
}

TEST_F(MessageWindowTest, KeptInsideTheScreenBelowTheStatusLine) {
  struct Case {
    int x, y;
    int shownX, shownY;
  } cases[] = {{-50, 5, 0, 20}, {700, 470, 624, 464}, {622, 462, 622, 462}};
  for (const Case& c : cases) {
    MSGWINDOWPARAM p;
    p.nKind = MSGWIN_ICON;
    p.nPlacement = 7;
    p.nUnit = 1;
    p.nX = c.x;
    p.nY = c.y;
    p.bFixed = 1;
    p.bKeepInside = 1;
    cMessageWindow& w = Add(p);
    w.Draw(&BackBuffer, 0);
    EXPECT_EQ(w.m_nX, c.shownX) << c.x;
    EXPECT_EQ(w.m_nY, c.shownY) << c.y;
    ClearMessageWindows(List());
  }
}

TEST_F(MessageWindowTest, ATextOverACharacterThatHasGoneEndsAPictureStays) {
  MSGWINDOWPARAM p;
  p.nPlacement = 1;
  p.nCharaId = 999;
  p.nKind = MSGWIN_TEXT;
  p.lpText = "さようなら";
  cMessageWindow& text = Add(p);
  ASSERT_NE(text.m_lpSurface, nullptr);
  EXPECT_EQ(text.Draw(&BackBuffer, 0), 1);
  EXPECT_TRUE(Off_Msg.empty()) << "its surface went at once";
  p.nKind = MSGWIN_ICON;
  p.lpText = nullptr;
  cMessageWindow& icon = Add(p);
  icon.m_nX = 30;
  icon.m_nY = 40;
  EXPECT_EQ(icon.Draw(&BackBuffer, 0), 0);
  EXPECT_EQ(icon.m_nX, 30);
  EXPECT_EQ(icon.m_nY, 40);
}

TEST_F(MessageWindowTest, RefreshRendersOnlyAChangedText) {
  ScopedGameFonts fonts;
  h.Scene().m_StageVars.At(3) = 5;
  MSGWINDOWPARAM p;
  p.nKind = MSGWIN_TEXT;
  p.lpText = "#S3";
  p.nDuration = MSGWIN_UNTIL_END;
  p.bVariables = 1;
  p.bRefresh = 1;
  p.nRefreshPeriod = 2;
  cMessageWindow& w = Add(p);
  ASSERT_EQ(w.m_strText, "5");
  DDSURFACEDATA* surface = w.m_lpSurface;
  const int width = w.m_nWidth;
  // A frame between the refreshes shows the old value.
  h.Scene().m_nFrameCounter = 3;
  h.Scene().m_StageVars.At(3) = 6;
  w.Draw(&BackBuffer, 0);
  EXPECT_EQ(w.m_strText, "5");
  h.Scene().m_nFrameCounter = 4;
  w.Draw(&BackBuffer, 0);
  EXPECT_EQ(w.m_strText, "6");
  EXPECT_EQ(w.m_nWidth, width);
  // A wider text makes the surface again at its place in the list.
  h.Scene().m_StageVars.At(3) = 123;
  h.Scene().m_nFrameCounter = 6;
  w.Draw(&BackBuffer, 0);
  EXPECT_EQ(w.m_strText, "123");
  EXPECT_GT(w.m_nWidth, width);
  EXPECT_EQ(w.m_lpSurface, surface);
  EXPECT_EQ(surface->nWidth, w.m_nWidth);
  EXPECT_EQ(Off_Msg.size(), 1u);
}

// The message font lays text out one cell per character, half- or full-width; its glyph cache is
// off under the render device by default, and a window measured by the face's own advances then
// cut its text short.
TEST_F(MessageWindowTest, ATextWindowHoldsEveryCellOfItsTextCachedOrNot) {
  struct Case {
    const char* text;
    int cells, lines;
  } cases[] = {{"ab", 2, 1}, {"あい", 2, 1}, {"Hi! あいう", 7, 1}, {"ab\nあいうえ\nc", 4, 3}};
  for (int cache : {0, 1}) {
    FONTDESC descs[3];
    for (int i = 0; i < 3; ++i) {
      descs[i] = g_FontDescs[i];
      descs[i].nCacheMode = cache;
    }
    ASSERT_EQ(DDCreateFonts(g_Fonts, descs, 3), 1);
    const int cellW = g_Fonts[1].m_nCellW, cellH = g_Fonts[1].m_nCellH;
    for (const Case& c : cases) {
      MSGWINDOWPARAM p;
      p.nKind = MSGWIN_TEXT;
      p.lpText = c.text;
      p.nDuration = MSGWIN_UNTIL_END;
      p.bBox = 1;
      cMessageWindow& w = Add(p);
      EXPECT_EQ(w.m_nWidth, c.cells * cellW + 2) << c.text << " cache " << cache;
      EXPECT_EQ(w.m_nHeight, c.lines * cellH + 2) << c.text << " cache " << cache;
      ASSERT_NE(w.m_lpSurface, nullptr);
      EXPECT_EQ(w.m_lpSurface->nWidth, w.m_nWidth);
    }
    ClearMessageWindows(List());
  }
  for (cFont& f : g_Fonts) f.Release();
}

// The frame with text windows (boxed and plain, Shift-JIS text with 0x5C trail bytes, variables),
// a box opening, the life icon and a taken item over the hero, on the demo's palette; the hash was taken once
// after looking at the frame (T4_DUMP_FRAMES=DIR writes it as a PNG file).
TEST(MessageWindowFrame, DrawnOverTheStage) {
  StageHarness h;
  ASSERT_TRUE(UseProjectPalette());
  h.Start(StageFromRows({"..........", "..........", "..........", ".H........", "##########"}));
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  ScopedGameFonts fonts;
  // The demo's life icon cell is empty: paint one.
  Paint(&g_SurfaceTable[IMAGE_ACCESSORY_SHEET], 0, 48, 16, 16, GREEN);
  MSGWINDOWLIST& list = h.Scene().m_MessageWindows;
  g_SaveData.CommonVar(7) = 1234;
  auto text = [](const char* t, int placement, int x, int y, int box, int duration) {
    MSGWINDOWPARAM p;
    p.nKind = MSGWIN_TEXT;
    p.lpText = t;
    p.nPlacement = placement;
    p.nUnit = 1;
    p.nX = x;
    p.nY = y;
    p.bFixed = 1;
    p.bBox = box;
    p.bVariables = 1;
    p.nDuration = duration;
    return p;
  };
  AddMessageWindow(list, text("表示能力ソ\n得点 #C7_6", 7, 40, 120, 1, MSGWIN_UNTIL_END));
  AddMessageWindow(list, text("Score:#C7_6Z", 8, 320, 300, 0, MSGWIN_UNTIL_END));
  AddMessageWindow(list, text("ひらく", 0, 0, 0, 1, MSGWIN_UNTIL_KEY));
  MSGWINDOWPARAM icon;
  icon.nKind = MSGWIN_ICON;
  icon.nPlacement = 4;
  icon.bFixed = 1;
  icon.nDuration = MSGWIN_TIMED;
  icon.nFrames = 30;
  icon.bCountFrozen = 1;
  icon.nCharaId = h.Hero().m_nId;
  AddMessageWindow(list, icon);
  ShowItemNotice(h.Hero(), 2, 1, 0);
  for (int i = 0; i < 5; ++i) h.Scene().DrawFrozen();
  EXPECT_EQ(list.size(), 5u);
  EXPECT_EQ(FrameHash("message_windows"), 8422774995926855650ull);
}

}  // namespace
}  // namespace t4::test

namespace t4::test {
namespace {

TEST_F(MessageWindowTest, ATakenItemRisesOverTheHeroForThirtyOneFrames) {
  cItemDef def;
  def.m_sGraphicNo = 3;
  def.m_cGraphicKind = 2;
  def.m_sGraphicOffset = 1;
  def.m_cTakeNotice = 1;
  TakeItemFromDef(h.Hero(), def);
  ASSERT_EQ(List().size(), 1u);
  const cMessageWindow& w = List().front();
  EXPECT_EQ(w.m_nKind, MSGWIN_GRAPHIC);
  EXPECT_EQ(w.m_nCharaId, h.Hero().m_nId);
  h.Frame();
  const int firstY = w.m_nY;
  h.Frames(29);
  ASSERT_EQ(List().size(), 1u);
  EXPECT_EQ(w.m_nRemaining, 0);
  EXPECT_EQ(w.m_nY, firstY) << "placed over the hero, which stands";
  // 30 frames: drawn 31 times, ended on the 32nd.
  h.Frame();
  ASSERT_EQ(List().size(), 1u);
  h.Frame();
  EXPECT_TRUE(List().empty());
  // Without the notice flag nothing is shown.
  def.m_cTakeNotice = 0;
  TakeItemFromDef(h.Hero(), def);
  EXPECT_TRUE(List().empty());
}

TEST_F(MessageWindowTest, AnExtraLifeShowsTheLifeIconWhileTheStageStands) {
  g_SystemData.m_bExtraLifeByScore = 1;
  g_SystemData.m_nExtraLifeScore = 100;
  g_SaveData.m_nLives = 3;
  g_SaveData.m_nResultScore = 90;
  g_SaveData.m_nStageScore = 20;
  std::vector<int> remaining;
  h.OnPresent([&](int, const platform::Frame&) {
    for (const cMessageWindow& w : List())
      if (w.m_nKind == MSGWIN_ICON) remaining.push_back(w.m_nRemaining);
  });
  h.Scene().AddStageTotals();
  h.OnPresent(nullptr);
  ASSERT_EQ(remaining.size(), 30u);
  EXPECT_EQ(remaining.front(), 29);
  EXPECT_EQ(remaining.back(), 0);
  EXPECT_TRUE(List().empty());
  EXPECT_EQ(g_SaveData.m_nLives, 4);
}

}  // namespace
}  // namespace t4::test
