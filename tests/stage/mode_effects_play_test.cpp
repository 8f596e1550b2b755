// Effects whose drawing depends on the mode, played in the modes they differ in: the render-mode
// screen colour over the virtual back buffer, the blur at 8 bits, and an ended 8-bit screen
// colour under the menu colour cycling.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>

#include "data/database.h"
#include "gfx/dd_effects.h"
#include "persist/system_data.h"
#include "stage/chara.h"
#include "stage/chara_draw.h"
#include "stage/effect_states.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/screen_effect.h"
#include "stage/stage_globals.h"
#include "support/dd_fixture.h"
#include "support/scoped_value.h"
#include "support/stage_harness.h"
#include "draw_probe.h"

namespace t4::test {
namespace {

constexpr DDMode kRender32{"d3d32", true, 32, 1};
constexpr DDMode kRender16{"d3d16", true, 16, 1};
constexpr DDMode kBlit8{"dd8", false, 8, 0};

uint32_t Shown(StageHarness& h, int x, int y) {
  g_Game.Present();
  const platform::Frame& f = h.LastFrame();
  return f.pixels.empty() ? 0xDEADBEEF : f.At(x, y);
}

void ExpectNear(uint32_t got, uint32_t want, int slack) {
  for (int shift : {16, 8, 0})
    EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>((want >> shift) & 0xFF), slack)
        << std::hex << got << " for " << want;
}

class RenderScreenColour : public ::testing::TestWithParam<DDMode> {};

// Grey 100 toward red (or white) at 50 per cent, alpha 127 of 255 kept: picture x 127 / 255 +
// colour x 128 / 255, per channel, whether or not the frame is drawn into the virtual back
// buffer, also when a running screen effect has it so and has used the work surface the tint
// lays over the frame in the same frame. (A colour change that read the buffer it draws into
// would multiply instead: grey toward red would lose its red, and white would change nothing.)
TEST_P(RenderScreenColour, TintsTheSameWithTheVirtualBackBuffer) {
  StageHarness h(GetParam());
  StartEmptyStage(h);
  SetPaletteRgb(PALETTE_EMPTY, 0x646464);
  // 16 bits: the grey and the result are each one 5-bit step (8 of 255) from the exact value.
  const int slack = GetParam().bpp == 16 ? 8 : 1;
  enum Way { DIRECT, VIRTUAL_BUFFER, SCREEN_EFFECT };
  for (Way way : {DIRECT, VIRTUAL_BUFFER, SCREEN_EFFECT}) {
    SCOPED_TRACE(way);
    if (way == SCREEN_EFFECT) {
      // A move that stays in place: the frame goes through the work surface and back unchanged.
      cScrEffectDef def;
      def.m_nKind = SCREFFECT_MOVE;
      def.m_nParam[0] = 100;
      g_Database.m_ScrEffects.push_back(def);
      PrepareEffectStates();
      h.Scene().m_Draw.m_ScrEffect.Start(static_cast<int>(g_Database.m_ScrEffects.size()) - 1, 0, 0);
    }
    struct Case {
      uint32_t colour;
      int percent;
      uint32_t expected;
    };
    // 25 per cent keeps alpha t(255 - 63.75) = 191: red 255 x 64 / 255 + 100 x 191 / 255 = 139,
    // green and blue 100 x 191 / 255 = 75 (a half-and-half mix would give 177 and 50 again).
    for (auto [colour, percent, expected] :
         {Case{0xFF0000u, 50, 0xB23232u}, Case{0xFFFFFFu, 50, 0xB2B2B2u}, Case{0xFF0000u, 25, 0x8B4B4Bu}}) {
      DDSetVirtualBackBuffer(way == VIRTUAL_BUFFER);
      int32_t p[8] = {};  // red, green, blue, percent; no restore, duration or blink
      for (int ch = 0; ch < 3; ++ch) p[ch] = static_cast<int32_t>((colour >> (16 - 8 * ch)) & 0xFF);
      p[3] = percent;
      h.Scene().m_Draw.m_ScreenColor.Set(p);
      h.Scene().Draw(1, 0, 0, 0);
      EXPECT_EQ(lpDTCon->bVirtualBackBuffer != 0, way != DIRECT);
      ExpectNear(Shown(h, 320, 240), expected, slack);
    }
  }
  DDSetVirtualBackBuffer(false);
}

INSTANTIATE_TEST_SUITE_P(Modes, RenderScreenColour, ::testing::Values(kRender32, kRender16), ModeName);

// At 8 bits the blur has no in-between colours to average into: the character is drawn tinted
// toward palette entry 31 instead of vanishing while the effect runs.
TEST(EightBitEffects, BlurDrawsTheCharacterTinted) {
  StageHarness h(kBlit8);
  ASSERT_TRUE(h.StartFile("data\\stg4\\demo1-1.stg4"));
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  h.Scene().Draw(1, 1, 0, 0);
  // The first character on screen (the slime near the start).
  cChara* c = nullptr;
  for (cChara* each : h.Charas())
    if (!c && each->m_rcScreen[0] >= 0 && each->m_rcScreen[2] < 640 && each->m_rcScreen[1] >= 0 &&
        each->m_rcScreen[3] < 480)
      c = each;
  ASSERT_NE(c, nullptr);
  const int L = c->m_rcScreen[0], T = c->m_rcScreen[1];
  const int W = c->m_rcScreen[2] - L + 1, H = c->m_rcScreen[3] - T + 1;
  ASSERT_GT(W, 0);
  ASSERT_GT(H, 0);
  // The palette indexes of the character's rectangle in the back buffer.
  const auto picture = [&] {
    std::vector<uint32_t> px;
    for (int y = T; y < T + H; ++y)
      for (int x = L; x < L + W; ++x) px.push_back(DDFixture::Pixel(&BackBuffer, x, y));
    return px;
  };
  const std::vector<uint32_t> plain = picture();
  c->m_Def.m_cTransparent = 1;
  h.Scene().Draw(1, 1, 0, 0);
  const std::vector<uint32_t> hidden = picture();
  ASSERT_NE(plain, hidden) << "the character must show in its rectangle for this test";
  c->m_Def.m_cTransparent = 0;
  cCharaEffectDef def;
  def.m_nKind = CHARAEFFECT_BLUR;
  def.m_nParam[0] = 10;
  def.m_nParam[1] = 2;
  def.m_nParam[2] = 2;
  g_Database.m_CharaEffects.push_back(def);
  PrepareEffectStates();
  c->m_Effect.Start(static_cast<int>(g_Database.m_CharaEffects.size()) - 1, 0, 0);
  h.Scene().Draw(1, 1, 0, 0);
  const std::vector<uint32_t> blurred = picture();
  // Strength 2 (the effect's value) steps each of the character's indexes twice through the
  // mixing table toward entry 31; the ground around it stays as it was.
  const auto toward31 = [](uint32_t i) { return static_cast<uint32_t>(g_HbtTable[i * 256 + 31]); };
  int tinted = 0;
  for (size_t i = 0; i < plain.size(); ++i) {
    if (plain[i] == hidden[i]) continue;
    ++tinted;
    EXPECT_EQ(blurred[i], toward31(toward31(plain[i]))) << "pixel " << i;
  }
  EXPECT_GT(tinted, 0);
}

// An 8-bit screen colour that has reached its end stays in the palette by itself; it no longer
// blends the palette every frame, so the menu colours (entries 208-239) go on cycling.
TEST(EightBitEffects, AnEndedScreenColourLetsTheMenuColoursCycle) {
  StageHarness h(kBlit8);
  StartEmptyStage(h);
  ScopedValue<int32_t> cycling(g_SystemData.m_bPaletteCycling, 1);
  const int32_t p[8] = {255, 0, 0, 50, 0, 0, 0, 0};
  cScreenColor& colour = h.Scene().m_Draw.m_ScreenColor;
  colour.Set(p);
  h.Scene().Draw(1, 0, 0, 0);
  EXPECT_EQ(colour.m_bReached, 1);
  EXPECT_EQ(colour.m_bActive, 0);
  const auto red = [] { return static_cast<int>(g_PaletteWork[PALETTE_EMPTY].peRed); };
  const int tinted = red();
  EXPECT_GT(tinted, g_Palette[PALETTE_EMPTY].peRed);  // toward red
  std::array<uint8_t, 4> before{};
  for (int i = 0; i < 4; ++i) before[static_cast<size_t>(i)] = g_PaletteWork[208 + i].peGreen;
  // The cycling turns each group of four entries by one every sixth frame.
  for (int i = 0; i < 12; ++i) h.Scene().Draw(1, 0, 0, 0);
  std::array<uint8_t, 4> after{};
  for (int i = 0; i < 4; ++i) after[static_cast<size_t>(i)] = g_PaletteWork[208 + i].peGreen;
  EXPECT_NE(after, before);
  EXPECT_TRUE(std::is_permutation(after.begin(), after.end(), before.begin()));
  EXPECT_EQ(red(), tinted);  // the reached colour stays
}

}  // namespace
}  // namespace t4::test
