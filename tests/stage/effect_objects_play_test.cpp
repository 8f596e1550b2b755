// Effects placed by the effect command and by hits: where they appear, how they play through
// their frames and end, frozen frames, the freezing effect and removal.
#include <climits>
#include <cmath>
#include <string>

#include "flow/cmd_effect.h"
#include "effect_fixture.h"

namespace t4::test {
namespace {

class EffectObjects : public EffectStage {
 protected:
  void SetUp() override {
    Start();
    ASSERT_FALSE(HasFatalFailure());
    Hero().m_Def.m_cTransparent = 1;
    Other().m_Def.m_cTransparent = 1;
  }
  // The colour at (x, y) after a frame: R, B or "." for the empty screen.
  std::string Seen(int x, int y, int frozen) {
    Draw(frozen);
    const uint32_t c = At(x, y);
    return c == RED ? "R" : c == BLUE ? "B" : c == EMPTY ? "." : "?";
  }
};

TEST_F(EffectObjects, PositionsOfEachPlacement) {
  Scene().m_ScrollX.m_dPos = 400.5;
  Scene().m_ScrollY.m_dPos = 330.25;
  Hero().m_rcScreen[0] = 100;
  Hero().m_rcScreen[1] = 200;
  Hero().m_nDrawWidth = 32;
  Hero().m_nDrawHeight = 48;
  Other().m_rcScreen[0] = 300;
  Other().m_rcScreen[1] = 50;
  Other().m_nDrawWidth = 64;
  Other().m_nDrawHeight = 64;
  struct Case {
    int placement, unit, X, Y;
    double x, y;  // expected, in stage dots
  } cases[] = {
      {0, 0, 9, 9, 400.5 + 320 - 32 + 5, 330.25 + 240 - 32 - 7},
      {0, 7, 9, 9, 400.5 + 320 - 32 + 5, 330.25 + 240 - 32 - 7},
      {1, 0, 0, 0, 300 + 32 + 400.5 - 32 + 5, 50 + 32 + 330.25 - 32 - 7},
      {2, 1, 0, 0, 100 + 16 + 400.5 - 32 + 5, 200 + 24 + 330.25 - 32 - 7},
      {3, 0, 2, 3, 400.5 + 64 + 5, 330.25 + 96 - 7},
      {3, 1, 2, 3, 400.5 + 2 + 5, 330.25 + 3 - 7},
      {4, 0, 2, 3, 400.5 + 64 + 16 - 32 + 5, 330.25 + 96 + 16 - 32 - 7},
      {4, 1, 2, 3, 400.5 + 2 - 32 + 5, 330.25 + 3 - 32 - 7},
      {5, 0, 2, 3, 32 * 12 + 5, 32 * 13 - 7},
      {5, 1, 2, 3, 2 + 320 + 5, 3 + 320 - 7},
      {6, 0, 2, 3, 32 * 12 + 16 - 32 + 5, 32 * 13 + 16 - 32 - 7},
      {6, 1, 2, 3, 2 + 320 - 32 + 5, 3 + 320 - 32 - 7},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.placement * 10 + k.unit);
    double x = -1, y = -1;
    ASSERT_TRUE(CalcEffectPosition(&x, &y, 64, 64, &Other(), k.placement, k.unit, k.X, k.Y, 5, -7));
    EXPECT_EQ(x, k.x);
    EXPECT_EQ(y, k.y);
  }
  // Placements and units outside the tables give no position, and the command shows nothing.
  for (auto [placement, unit] : {std::pair{7, 0}, {-1, 0}, {3, 2}, {6, -1}}) {
    double x = -1, y = -1;
    EXPECT_FALSE(CalcEffectPosition(&x, &y, 64, 64, &Other(), placement, unit, 1, 1, 0, 0));
    EXPECT_EQ(x, -1);
  }
  const int n = AddEffect(32, 32, {RED}, 1);
  Exec(Hero(), CMD_EFFECT, {n, 3, 1, 1, 0, 0, 100, 0, 2});
  Exec(Hero(), CMD_EFFECT, {n, 9, 1, 1, 0, 0, 100, 0, 0});
  EXPECT_TRUE(Scene().m_Effects.empty());
}

TEST_F(EffectObjects, SizeIsScaledAndRoundedAwayFromZero) {
  const int n = AddEffect(33, 20, {RED}, 1);
  Exec(Hero(), CMD_EFFECT, {n, 3, 10, 10, 0, 0, 50, 0, 1});
  ASSERT_EQ(Scene().m_Effects.size(), 1u);
  EXPECT_EQ(Scene().m_Effects.front().m_nWidth, 17);
  EXPECT_EQ(Scene().m_Effects.front().m_nHeight, 10);
  EXPECT_EQ(Scene().m_Effects.front().m_bScaled, 1);
  // Drawn stretched: 17 dots wide from screen x 10.
  Draw(1);
  EXPECT_EQ(At(10, 15), RED);
  EXPECT_EQ(At(26, 15), RED);
  EXPECT_EQ(At(27, 15), EMPTY);
  EXPECT_EQ(At(9, 15), EMPTY);
}

TEST_F(EffectObjects, PlaysItsFramesOnceAndEnds) {
  // Two cells of 0.1 s, 6 frames each; it ends on the draw after them.
  const int n = AddEffect(16, 16, {RED, BLUE}, 1);
  Exec(Hero(), CMD_EFFECT, {n, 3, 100, 100, 0, 0, 100, 0, 1});
  ASSERT_EQ(Scene().m_Effects.size(), 1u);
  EXPECT_EQ(Scene().m_Effects.front().m_dX, Scene().m_ScrollX.m_dPos + 100);
  std::string seen = Seen(108, 108, 1) + Seen(108, 108, 1) + "/";
  for (int i = 0; i < 14; ++i) seen += Seen(108, 108, 0);
  EXPECT_EQ(seen, "RR/RRRRRRBBBBBB..");
  EXPECT_TRUE(Scene().m_Effects.empty());
  // The effect keeps its stage spot while the view scrolls.
  Exec(Hero(), CMD_EFFECT, {n, 3, 100, 100, 0, 0, 100, 0, 1});
  Scene().m_ScrollX.m_dPos -= 50;
  EXPECT_EQ(Seen(158, 108, 1), "R");
  EXPECT_EQ(Seen(108, 108, 1), ".");
}

TEST_F(EffectObjects, FreezingEffectHoldsTheGameWhileItPlays) {
  const int n = AddEffect(16, 16, {RED, BLUE}, 1);
  const int before = H().Presented();
  const int frame = Scene().m_nPlayFrame;
  Exec(Hero(), CMD_EFFECT, {n, 3, 100, 100, 0, 0, 100, 1, 1});
  // The pause thread shows the two cells of 6 frames; the effect stays and ends by itself.
  EXPECT_EQ(H().Presented() - before, 12);
  EXPECT_EQ(Scene().m_nPlayFrame, frame);
  ASSERT_EQ(Scene().m_Effects.size(), 1u);
  // It also runs in frozen frames: the next one ends it.
  EXPECT_EQ(Seen(108, 108, 1), ".");
  EXPECT_TRUE(Scene().m_Effects.empty());
}

TEST_F(EffectObjects, NumberZeroRemovesEveryEffectAndOthersThatNameNoneShowNothing) {
  const int n = AddEffect(16, 16, {RED}, 10);
  Exec(Hero(), CMD_EFFECT, {n, 0, 0, 0, 0, 0, 100, 0, 0});
  const double box[4] = {100, 100, 120, 120};
  Scene().AddAttackEffect(n, box, box, 1);
  ASSERT_EQ(Scene().m_Effects.size(), 2u);
  for (int none : {-1, n + 1, 40000}) Exec(Hero(), CMD_EFFECT, {none, 0, 0, 0, 0, 0, 100, 0, 0});
  Scene().AddAttackEffect(0, box, box, 1);
  Scene().AddAttackEffect(-3, box, box, 1);
  EXPECT_EQ(Scene().m_Effects.size(), 2u);
  Exec(Hero(), CMD_EFFECT, {0});
  EXPECT_TRUE(Scene().m_Effects.empty());
}

TEST_F(EffectObjects, HitEffectsAreCentredOnTheOverlapWithAJitter) {
  const int plain = AddEffect(32, 32, {RED}, 1);
  const int scalable = AddEffect(32, 32, {RED}, 1, 1);
  const double a[4] = {100, 100, 131, 131};
  const double b[4] = {120, 110, 150, 140};
  const double apart[4] = {300, 300, 310, 310};
  struct Case {
    int effect;
    const double* other;
    int factor;
    double x, y;  // before the jitter
    int size, jitter;
  } cases[] = {
      {plain, b, 3, 120 + 6 - 16, 110 + 11 - 16, 32, 4},
      {scalable, b, 3, 120 + 6 - 48, 110 + 11 - 48, 96, 12},
      {scalable, b, 0, 120 + 6 - 16, 110 + 11 - 16, 32, 0},
      {plain, apart, 1, -16, -16, 32, 4},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(&k - cases);
    double lo = 1e9, hi = -1e9;
    for (int i = 0; i < 200; ++i) {
      Scene().m_Effects.clear();
      Scene().AddAttackEffect(k.effect, a, k.other, k.factor);
      const cEffectObj& e = Scene().m_Effects.front();
      EXPECT_EQ(e.m_nWidth, k.size);
      EXPECT_EQ(e.m_nHeight, k.size);
      EXPECT_LE(std::abs(e.m_dY - k.y), k.jitter);
      lo = std::min(lo, e.m_dX - k.x);
      hi = std::max(hi, e.m_dX - k.x);
    }
    EXPECT_EQ(lo, -k.jitter);
    EXPECT_EQ(hi, k.jitter);
  }
}

TEST_F(EffectObjects, HitEffectOfAHugeFrameGrowsNoFurtherThanAnIntHolds) {
  const int n = AddEffect(32, 32, {RED}, 1, 1);
  g_Database.m_Effects[static_cast<size_t>(n)].m_nFrameWidth = 30000000;
  const double a[4] = {100, 100, 131, 131};
  Scene().AddAttackEffect(n, a, a, 100);
  ASSERT_EQ(Scene().m_Effects.size(), 1u);
  EXPECT_EQ(Scene().m_Effects.front().m_nWidth, INT32_MAX);
  EXPECT_EQ(Scene().m_Effects.front().m_nHeight, 3200);
  EXPECT_EQ(Scene().m_Effects.front().m_bScaled, 1);
}

TEST_F(EffectObjects, BodyContactsAndShotsStartTheAttackersEffect) {
  const int n = AddEffect(32, 32, {RED}, 1);
  int damage = 0, impact = 0;
  Other().m_Def.m_sBodyHitEffect = 0;
  Hero().ApplyCharaDamage(Other(), damage, impact);
  EXPECT_TRUE(Scene().m_Effects.empty());
  Other().m_Def.m_sBodyHitEffect = static_cast<int16_t>(n);
  Hero().ApplyCharaDamage(Other(), damage, impact);
  ASSERT_EQ(Scene().m_Effects.size(), 1u);
  // The boxes lie apart: the effect is centred on (0, 0).
  EXPECT_LE(std::abs(Scene().m_Effects.front().m_dX + 16), 4);
}

}  // namespace
}  // namespace t4::test
