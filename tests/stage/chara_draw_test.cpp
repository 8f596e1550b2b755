// A character drawn through its character effect, with its mark and gauges, in a played stage:
// the character sheets are painted green, so the character is a green 32 x 32 square wherever
// its cell lies, and the effects' geometry shows in exact pixels.
#include <gtest/gtest.h>

#include <cstdint>

#include "data/database.h"
#include "data/stage_file.h"
#include "persist/menu_colors.h"
#include "persist/system_data.h"
#include "stage/chara.h"
#include "stage/chara_draw.h"
#include "stage/effect_states.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/scoped_value.h"
#include "support/stage_harness.h"
#include "draw_probe.h"

namespace t4::test {
namespace {

class CharaDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    h.Start(StageFromRows({"....................", "..H.......w.........", "####################"}));
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
    for (cMapCell& cell : g_MapGrid) cell.m_sGraphicNo = 0;
    for (cBackground& bg : g_Stage.m_Backgrounds) bg.m_nVisible = 0;
    g_Stage.m_nShowStatus = 0;
    h.Hero().m_Def.m_cTransparent = 1;
    SetPaletteRgb(PALETTE_EMPTY, EMPTY);
    for (int slot : {IMAGE_CHARAS, IMAGE_CHARAS + 1}) {
      // The character slots normally share a loaded sheet's picture; here each gets its own.
      m_Links[slot - IMAGE_CHARAS] = g_SurfaceTable[slot].lpSrcSD;
      g_SurfaceTable[slot].lpSrcSD = nullptr;
      NewSurface(&g_SurfaceTable[slot], 256, 480);
      Paint(&g_SurfaceTable[slot], 0, 0, 256, 480, GREEN);
    }
    ASSERT_EQ(h.Charas().size(), 1u);
    c = h.Charas()[0];
    Draw(1);
    L = c->m_rcScreen[0];
    T = c->m_rcScreen[1];
    ASSERT_GT(L, 50);
    ASSERT_GT(T, 20);
  }
  // The sheets made here live in the program's surface table, which outlives the harness.
  void TearDown() override {
    for (int slot : {IMAGE_CHARAS, IMAGE_CHARAS + 1, IMAGE_MARKS, IMAGE_ACCESSORY_SHEET})
      DDReleaseSurface(&g_SurfaceTable[slot]);
    for (int i = 0; i < 2; ++i) g_SurfaceTable[IMAGE_CHARAS + i].lpSrcSD = m_Links[i];
  }
  DDSURFACEDATA* m_Links[2] = {nullptr, nullptr};
  void Draw(int frozen) { h.Scene().Draw(1, frozen, 0, 0); }
  int AddEffect(int kind, int p0, int p1, int p2, int p3 = 0, int p4 = 0) {
    cCharaEffectDef def;
    def.m_nKind = kind;
    const int p[5] = {p0, p1, p2, p3, p4};
    for (int i = 0; i < 5; ++i) def.m_nParam[i] = p[i];
    g_Database.m_CharaEffects.push_back(def);
    // Effects start from states prepared from the database.
    PrepareEffectStates();
    return static_cast<int>(g_Database.m_CharaEffects.size()) - 1;
  }
  bool Shown() { return At(L + 16, T + 16) == GREEN; }

  StageHarness h;
  cChara* c = nullptr;
  int L = 0, T = 0;
};

TEST_F(CharaDrawTest, ZoomGrowsAboutTheCentre) {
  struct Case {
    int size;
    int grow;  // dots added on each axis, half of them on each side
  } cases[] = {{32, 0}, {64, 32}, {48, 16}, {16, -16}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.size);
    c->m_Effect.Start(AddEffect(CHARAEFFECT_ZOOM, 10, k.size, k.size), 0, 0);
    Draw(1);
    const int left = L - k.grow / 2, right = L + 31 + k.grow / 2 + k.grow % 2;
    EXPECT_EQ(At(left, T + 16), GREEN);
    EXPECT_EQ(At(right, T + 16), GREEN);
    EXPECT_EQ(At(left - 1, T + 16), EMPTY);
    EXPECT_EQ(At(right + 1, T + 16), EMPTY);
    EXPECT_EQ(At(L + 16, T - k.grow / 2 - 1), EMPTY);
    EXPECT_EQ(At(L + 16, T - k.grow / 2), GREEN);
  }
}

TEST_F(CharaDrawTest, ZoomOnADoubleSizeCharacterGrowsByHalfItsScaledAmount) {
  // e = trunc((v - 32) x 2) halved, drawn from L - e/2 over 64 + e dots.
  struct Case {
    int value, width;
  } cases[] = {{64, 96}, {48, 80}, {16, 48}, {33, 65}, {32, 64}};
  c->m_Def.m_cSize = 2;
  c->SetScale(2, 1, 1);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.value);
    c->m_Effect.Start(AddEffect(CHARAEFFECT_ZOOM, 10, k.value, k.value), 0, 0);
    Draw(1);
    const int left = c->m_rcScreen[0], top = c->m_rcScreen[1];
    ASSERT_EQ(c->m_nDrawWidth, 64);
    const int e = k.width - 64, first = left - e / 2, last = first + k.width - 1;
    EXPECT_EQ(At(first - 1, top + 32), EMPTY);
    EXPECT_EQ(At(first, top + 32), GREEN);
    EXPECT_EQ(At(last, top + 32), GREEN);
    EXPECT_EQ(At(last + 1, top + 32), EMPTY);
    // The same growth downwards from the top.
    const int bottom = top - e / 2 + k.width - 1;
    EXPECT_EQ(At(left + 32, bottom), GREEN);
    EXPECT_EQ(At(left + 32, bottom + 1), EMPTY);
  }
}

// Under the render mode the characters are drawn inside one sprite batch; an effect that works on
// the character's picture in the work surface must still show, exactly as it does with the batch
// turned off, on a character of normal size and on one of double size (64 x 64 dots).
TEST_F(CharaDrawTest, EveryEffectKindDrawsTheSameInsideTheCharacterBatch) {
  struct Case {
    int kind;
    int value;  // start and end value: a picture whole enough to show at its centre
    int p3, p4;
    bool shown;  // a blink starts in its hidden half
  } cases[] = {
      {1, 0, 0, 0, true},  {2, 0, 4, 0, true},   {3, 0, 4, 0, true},   {4, 0, 0, 1, true},
      {5, 0, 0, 1, true},  {6, 0, 0, 0, false},  {7, 0, 0, 0, true},   {8, 0, 0, 0, true},
      {9, 0, 0, 0, true},  {10, 64, 1, 0, true}, {11, 48, 0, 0, true}, {12, 2, 0, 0, true},
      {13, 1, 0, 0, true}, {14, 0, 0, 0, true},  {15, 1, 0, 0, true},  {16, 1, 0, 0, true},
  };
  ScopedValue<int32_t> batch(g_SystemData.m_bCompat855, 0);
  for (int size : {1, 2}) {
    c->m_Def.m_cSize = static_cast<int8_t>(size);
    c->SetScale(size, 1, 1);
    for (const Case& k : cases) {
      SCOPED_TRACE(testing::Message() << "size " << size << ", kind " << k.kind);
      c->m_Effect.Start(AddEffect(k.kind, 10, k.value, k.value, k.p3, k.p4), 0, 0);
      // What the work surfaces held before must not show through.
      for (int slot : {IMAGE_WORK_A, IMAGE_WORK_B})
        if (g_SurfaceTable[slot].nWidth > 0) Paint(&g_SurfaceTable[slot], 0, 0, 256, 256, RED);
      g_SystemData.m_bCompat855 = 0;
      Draw(1);
      ASSERT_EQ(c->m_nDrawWidth, 32 * size);
      const int cx = c->m_rcScreen[0] + c->m_nDrawWidth / 2, cy = c->m_rcScreen[1] + c->m_nDrawHeight / 2;
      const uint32_t centre = At(cx, cy);
      const uint64_t inBatch = FrameHash("batched");
      g_SystemData.m_bCompat855 = 1;
      Draw(1);
      EXPECT_EQ(At(cx, cy), centre);
      EXPECT_EQ(FrameHash("unbatched"), inBatch);
      EXPECT_EQ(centre != EMPTY, k.shown) << std::hex << centre;
    }
  }
}

// Kinds from a damaged CharaEffect.dat fall back to the plain picture, and a strip count of 0
// splits nothing; the largest count a file can hold makes one-dot strips.
TEST_F(CharaDrawTest, OutOfRangeKindsAndCountsDrawThePlainPicture) {
  for (int effect : {AddEffect(17, 10, 0, 0), AddEffect(-3, 10, 0, 0), AddEffect(2, 10, 0, 8, 0),
                     AddEffect(3, 10, 0, 8, 0), AddEffect(4, 10, 0, 0, 0, 0), AddEffect(2, 10, 0, 8, INT32_MAX)}) {
    c->m_Effect.Start(effect, 0, 0);
    Draw(0);
    EXPECT_EQ(At(L, T), GREEN) << effect;
    EXPECT_EQ(At(L + 31, T + 31), GREEN) << effect;
    EXPECT_EQ(At(L - 1, T), EMPTY) << effect;
  }
}

// A lens looking from as far off as a damaged file can say sees none of the picture.
TEST_F(CharaDrawTest, LensLookingFromFarOffShowsNothing) {
  c->m_Effect.Start(AddEffect(12, 10, 100, 5, INT32_MAX, INT32_MIN), 0, 0);
  Draw(0);
  EXPECT_EQ(At(L + 16, T + 16), EMPTY);
  EXPECT_NE(c->m_Effect.m_nEffect, 0);
}

TEST_F(CharaDrawTest, BlinkShowsAndHidesForItsInterval) {
  c->m_Effect.Start(AddEffect(CHARAEFFECT_BLINK, 100, 5, 0), 0, 0);
  std::string seen;
  for (int i = 0; i < 20; ++i) {
    Draw(0);
    seen += Shown() ? '#' : '.';
  }
  EXPECT_EQ(seen, ".....#####.....#####");
}

TEST_F(CharaDrawTest, FrozenFramesHoldTheEffectAndItEndsAfterItsTime) {
  // 0.1 s = 6 frames from 32 to 38: one dot a frame; the seventh step passes the end.
  c->m_Effect.Start(AddEffect(CHARAEFFECT_ZOOM, 1, 32, 38), 0, 0);
  Draw(1);
  Draw(1);
  EXPECT_EQ(c->m_Effect.m_dValue, 32.0);
  for (int i = 1; i <= 6; ++i) {
    Draw(0);
    EXPECT_DOUBLE_EQ(c->m_Effect.m_dValue, 32.0 + i);
    EXPECT_NE(c->m_Effect.m_nEffect, 0);
  }
  Draw(0);
  EXPECT_EQ(c->m_Effect.m_nEffect, 0);
  // A run time of nothing ends on its first step.
  c->m_Effect.Start(AddEffect(CHARAEFFECT_ZOOM, 0, 32, 64), 0, 0);
  Draw(0);
  EXPECT_EQ(c->m_Effect.m_nEffect, 0);
}

TEST_F(CharaDrawTest, MarksAreReadColumnMajor) {
  DDSURFACEDATA* marks = &g_SurfaceTable[IMAGE_MARKS];
  NewSurface(marks, 256, 480);
  // Mark n sits in column n / 15, row n mod 15: mark 16 at (32, 32), mark 1 at (0, 32).
  Paint(marks, 32, 32, 32, 32, YELLOW);
  c->m_Def.m_cShowBadge = 1;
  c->m_Def.m_sBadgeNo = 16;
  Draw(1);
  EXPECT_EQ(At(L, T), YELLOW);
  EXPECT_EQ(At(L + 31, T + 31), YELLOW);
  c->m_Def.m_sBadgeNo = 1;
  Draw(1);
  EXPECT_EQ(At(L, T), GREEN);
}

TEST_F(CharaDrawTest, GaugeShowsTheFilledAndTheMovingPart) {
  DDSURFACEDATA* acc = &g_SurfaceTable[IMAGE_ACCESSORY_SHEET];
  NewSurface(acc, 128, 224);
  // A tall sheet: rows from 208 two dots apart: empty, normal, low, loss, gain.
  Paint(acc, 0, 208, 50, 2, GREY);
  Paint(acc, 0, 210, 50, 2, GREEN);
  Paint(acc, 0, 212, 50, 2, RED);
  Paint(acc, 0, 214, 50, 2, BLUE);
  Paint(acc, 0, 216, 50, 2, YELLOW);
  c->m_nHp = c->m_Def.m_nMaxHp = 100;
  // Filled part 20 dots; a loss of 10 shows right of it, a gain of 6 over its last dots.
  struct Case {
    double moving;
    int firstMoving, lastMoving;
    uint32_t movingColour;
  } cases[] = {{-10.0, 20, 29, BLUE}, {6.0, 14, 19, YELLOW}};
  // The bar starts 25 dots left of the character's middle, 3 dots above it, 2 dots high.
  const int x = L + 16 - 25;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.moving);
    c->m_HpGauge.nFrames = 100;
    c->m_HpGauge.nLength = 20;
    c->m_HpGauge.dMoving = k.moving;
    Draw(1);
    EXPECT_EQ(At(x - 1, T - 3), EMPTY);
    EXPECT_EQ(At(x, T - 3), GREEN);
    EXPECT_EQ(At(x + k.firstMoving - 1, T - 2), GREEN);
    EXPECT_EQ(At(x + k.firstMoving, T - 3), k.movingColour);
    EXPECT_EQ(At(x + k.lastMoving, T - 2), k.movingColour);
    EXPECT_EQ(At(x + k.lastMoving + 1, T - 3), GREY);
    EXPECT_EQ(At(x + 49, T - 3), GREY);
    EXPECT_EQ(At(x + 50, T - 3), EMPTY);
    EXPECT_EQ(At(x, T - 4), EMPTY);
  }
  // Frozen frames keep the countdown; played ones run it.
  c->m_HpGauge.nFrames = 100;
  Draw(1);
  EXPECT_EQ(c->m_HpGauge.nFrames, 100);
  Draw(0);
  EXPECT_EQ(c->m_HpGauge.nFrames, 99);
}

TEST_F(CharaDrawTest, AnEffectNumberWithoutDefinitionStartsNothing) {
  c->m_Effect.Start(AddEffect(CHARAEFFECT_BLINK, 100, 5, 0), 0, 0);
  for (int effect : {static_cast<int>(g_Database.m_CharaEffects.size()) + 5, -2}) {
    c->m_Effect.Start(effect, 0, 0);
    EXPECT_EQ(c->m_Effect.m_nEffect, 0);
    Draw(0);
    EXPECT_EQ(At(L, T), GREEN);
  }
}

// Animations started by flows are drawn in place of the character's own while they run, and a
// played one leaves when it reaches its end.
TEST_F(CharaDrawTest, RunningAnimationsAreDrawnUntilTheyEnd) {
  const int column = c->m_Def.m_sGraphicOffset + 5;
  const int row = c->m_nGraphic % 15;
  for (int slot : {IMAGE_CHARAS, IMAGE_CHARAS + 1}) Paint(&g_SurfaceTable[slot], column * 32, row * 32, 32, 32, BLUE);
  Draw(1);
  ASSERT_EQ(At(L + 16, T + 16), GREEN);
  RUNNINGANIME ra;
  cSafeVector<ANIMEFRAMELIST> table(1);
  table[0] = {ANIMEFRAME{5, 3, 0}, ANIMEFRAME{ANIME_END_PLAYED, 0, 0}};
  ra.m_Anime.SetTable(table);
  c->m_RunningAnimes.push_front(ra);
  Draw(1);
  EXPECT_EQ(At(L + 16, T + 16), BLUE);
  Draw(0);
  Draw(0);
  EXPECT_EQ(At(L + 16, T + 16), BLUE);
  Draw(0);
  EXPECT_TRUE(c->m_RunningAnimes.empty());
  EXPECT_EQ(At(L + 16, T + 16), GREEN);
}

// While it cannot be hurt, a character glows with the pulsing colour its definition names, when
// the project turns that on (the render mode only).
TEST_F(CharaDrawTest, InvincibleCharactersGlowWithTheirPulseColour) {
  struct Case {
    const char* name;
    int option, invincible, colour;
    uint32_t expected;
  } cases[] = {
      {"colour 3 adds red", 1, 1, 3, 0x80FF00},
      {"not invincible", 1, 0, 3, GREEN},
      {"option off", 0, 1, 3, GREEN},
      {"colour 0", 1, 1, 0, GREEN},
      {"colour past the table", 1, 1, 10, GREEN},
  };
  const int32_t option = g_SystemData.m_bOption287;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    g_SystemData.m_bOption287 = k.option;
    c->m_Def.m_cInvincible = static_cast<int8_t>(k.invincible);
    c->m_Def.m_cInvincibleColor = static_cast<int8_t>(k.colour);
    // The frame's drawing ends by moving the pulse on, so the entry is set before every frame.
    g_PulseColors[3] = {0xFF800000u, D3DTOP_ADD};
    Draw(1);
    EXPECT_EQ(At(L + 16, T + 16), k.expected);
  }
  g_SystemData.m_bOption287 = option;
}

}  // namespace
}  // namespace t4::test
