// Shot commands in a played stage: the six formations place every object and give it its
// velocity, clone volleys turn, the random spread draws once per volley, directions resolve with
// the facing, and aiming at a target that rides the auto-scroll leads it. One sub-step a frame,
// so velocities per sub-step equal the fire speed (0.1 dot per frame).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "data/ed_shot.h"
#include "platform/random.h"
#include "stage/aim.h"
#include "stage/chara.h"
#include "stage/fire.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/shot.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"
#include "fire_fixture.h"

namespace t4::test::fire {
namespace {

TEST(FirePlayTest, FormationsPlaceAndAimEveryObject) {
  struct Case {
    const char* name;
    cEdShot p;
    std::vector<Placed> want;
  };
  std::vector<Case> cases;
  {
    // Three in a column centred on the right muzzle (480, 360), 16 + 16 dots apart.
    cEdShot p = Record(0, 3, 3);
    p.m_sFormParam[0] = 1;
    cases.push_back({"straight A", p, {{480, 328, 4, 0}, {480, 360, 4, 0}, {480, 392, 4, 0}}});
  }
  {
    // Stacked upward from the hero's feet: y = 320 + 63 - 16 + 1, then 16 dots up each.
    cEdShot p = Record(1, 3, 3);
    cases.push_back({"straight B", p, {{480, 368, 4, 0}, {480, 352, 4, 0}, {480, 336, 4, 0}}});
  }
  {
    // Four spread 30 degrees apart around 180 (right): 135, 165, 195, 225.
    cEdShot p = Record(2, 4, 3);
    p.m_sFormParam[0] = 30;
    cases.push_back({"spread of four",
                     p,
                     {{480, 360, 2.82843, -2.82843},
                      {480, 360, 3.86370, -1.03528},
                      {480, 360, 3.86370, 1.03528},
                      {480, 360, 2.82843, 2.82843}}});
  }
  {
    cEdShot p = Record(2, 3, 3);
    p.m_sFormParam[0] = 30;
    cases.push_back({"spread of three", p, {{480, 360, 3.46410, -2}, {480, 360, 4, 0}, {480, 360, 3.46410, 2}}});
  }
  {
    // Eight from the hero's centre (456, 360) every 45 degrees, from 0 (left).
    cEdShot p = Record(4, 8, 2);
    cases.push_back({"explosion",
                     p,
                     {{456, 360, -4, 0},
                      {456, 360, -2.82843, -2.82843},
                      {456, 360, 0, -4},
                      {456, 360, 2.82843, -2.82843},
                      {456, 360, 4, 0},
                      {456, 360, 2.82843, 2.82843},
                      {456, 360, 0, 4},
                      {456, 360, -2.82843, 2.82843}}});
  }
  {
    // Around the hero at distance 0: all on its centre, each with its own heading.
    cEdShot p = Record(5, 4, 2);
    p.m_cFormTarget = 1;
    p.m_sFormParam[0] = 0;
    cases.push_back(
        {"surround, distance 0", p, {{456, 360, -4, 0}, {456, 360, 0, -4}, {456, 360, 4, 0}, {456, 360, 0, 4}}});
  }
  {
    // Distance 2 hbl: 32 dots out, truncated toward zero after adding 0.5, moving inward.
    cEdShot p = Record(5, 4, 2);
    p.m_cFormTarget = 1;
    p.m_sFormParam[0] = 2;
    cases.push_back(
        {"surround, distance 2", p, {{488, 360, -4, 0}, {456, 392, 0, -4}, {425, 360, 4, 0}, {456, 329, 0, 4}}});
  }
  {
    // Down onto the hero from the top of the view: x = 320 + 16 + 128 - 8 = 456, less half the
    // 32-dot column spacing; two columns, two rows 16 + 16 dots apart.
    cEdShot p = Record(3, 2, 7);
    p.m_cFormTarget = 1;
    p.m_sFormParam[0] = 1;
    p.m_sFormParam[1] = 2;
    p.m_sFormParam[2] = 2;
    cases.push_back({"lightning", p, {{440, 320, 0, 4}, {472, 320, 0, 4}, {440, 352, 0, 4}, {472, 352, 0, 4}}});
  }
  {
    // Without a target in the slot, lightning and surround create nothing.
    cEdShot p = Record(3, 2, 7);
    p.m_sFormParam[1] = 1;
    p.m_cFormSlot = 3;
    cases.push_back({"lightning without target", p, {}});
    cEdShot q = Record(5, 2, 7);
    q.m_cFormSlot = 3;
    cases.push_back({"surround without target", q, {}});
  }
  {
    // "前Y" for a hero facing left: upward from the top muzzle (456, 320 + 32 - 16).
    cEdShot p = Record(0, 1, 4);
    cases.push_back({"forward Y, facing left", p, {{456, 336, 0, -4}}});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Started s;
    ASSERT_EQ(s.h.Hero().m_Targets.At(3), nullptr);
    ExpectPlaced(Fire(s.h, c.p), c.want);
  }
}

TEST(FirePlayTest, LightningColumnsStopAtFifty) {
  // A stored column count far past the editor's 50: 50 columns of one object each, centred on the
  // hero.
  Started s;
  cEdShot p = Record(3, 1, 7);
  p.m_cFormTarget = 1;
  p.m_sFormParam[1] = 30000;
  p.m_sFormParam[2] = 1;
  const std::vector<Placed> got = Fire(s.h, p);
  ASSERT_EQ(got.size(), 50u);
  // Columns 16 dots apart, the first 24.5 spacings left of the hero's centre column at 456.
  EXPECT_EQ(got.front().x, 456 - 24 * 16 - 8);
  EXPECT_EQ(got.back().x, got.front().x + 49 * 16);
}

TEST(FirePlayTest, ForwardYFiresDownForAHeroFacingRight) {
  Started s;
  s.h.Hero().m_bRight = 1;
  // Bottom muzzle: y = 320 + 63 + 1.
  ExpectPlaced(Fire(s.h, Record(0, 1, 4)), {{456, 384, 0, 4}});
}

TEST(FirePlayTest, CloneVolleysTurnByTheirAngleStep) {
  // Count 3, one clone, 10 degrees a clone: the second volley of three flies at 180 + 10.
  Started s;
  cEdShot p = Record(0, 3, 3);
  p.m_sFormParam[0] = 1;
  p.m_cClones = 1;
  p.m_sAngleOfsPerClone = 10;
  const std::vector<Placed> got = Fire(s.h, p);
  ExpectPlaced(got, {{480, 328, 4, 0},
                     {480, 360, 4, 0},
                     {480, 392, 4, 0},
                     {480, 328, 3.93923, 0.69459},
                     {480, 360, 3.93923, 0.69459},
                     {480, 392, 3.93923, 0.69459}});
  int clone1 = 0;
  for (const cShot& shot : s.h.Scene().m_Shots) clone1 += shot.m_nCloneValue == 1;
  EXPECT_EQ(clone1, 3);
  // Consecutive shot ids, and each shot is in its faction's list once.
  EXPECT_EQ(s.h.Scene().m_nShotIdCount, 6);
  EXPECT_EQ(s.h.Scene().m_ShotLayers.At(1).size(), 6u);
}

// The runtime library's generator, as the spread must draw from it.
struct Lcg {
  uint32_t state;
  int Range(int low, int high) {
    state = state * 214013u + 2531011u;
    return low + static_cast<int>((state >> 16) & 0x7fff) % (high - low + 1);
  }
};

TEST(FirePlayTest, SpreadTurnsEveryVolleyByItsOwnDraw) {
  // Three volleys of one shot fired right with a spread of 20: each volley flies at 180 plus its
  // own draw in -20..20, and the generator moves on by one draw per volley and one after the last.
  Started s;
  cEdShot p = Record(0, 1, 3);
  p.m_cClones = 2;
  p.m_sSpread = 20;
  platform::SetRandState(4321);
  Lcg lcg{4321};
  const std::vector<Placed> got = Fire(s.h, p);
  ASSERT_EQ(got.size(), 3u);
  for (size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE(i);
    const double a = (180 + lcg.Range(-20, 20)) * 0.017453292519943295;
    EXPECT_NEAR(got[i].vx, -std::cos(a) * 4, 1e-9);
    EXPECT_NEAR(got[i].vy, -std::sin(a) * 4, 1e-9);
  }
  lcg.Range(-20, 20);
  EXPECT_EQ(platform::GetRandState(), lcg.state);
}

TEST(FirePlayTest, AimAtATargetThatRidesTheScrollLeadsItAndSetsTheSpeed) {
  // A flier at tile (9, 0) fires a spread of two to the left at its target, the hero, who rides
  // the auto-scroll that carries the view right by one dot a sub-step. The aim asks for the course
  // that meets the carried hero, and the speed of that course becomes the fire speed of both
  // objects of the formation.
  cStage stage = Floor();
  cCharaDef flier = stage.m_CharaPlaces.At(0);
  flier.m_cController = 1;
  flier.m_cFlight = 1;
  flier.m_sBlockX = 9;
  flier.m_sBlockY = 0;
  flier.m_cActiveRange = 3;
  stage.m_CharaPlaces.push_back(flier);
  Started s(stage);
  ASSERT_EQ(s.h.Charas().size(), 1u);
  cChara& shooter = *s.h.Charas()[0];
  cHero& target = s.h.Hero();
  ASSERT_EQ(shooter.m_Targets.At(0), &target);
  target.m_bScrollRide = 1;
  target.UpdateScreenRect();
  cScroll& sx = s.h.Scene().m_ScrollX;
  sx.m_bAuto = 1;
  sx.m_dAutoSpeed = 1.0;
  sx.m_bAtEdge = 0;
  cEdShot p = Record(2, 2, 2);
  p.m_sFormParam[0] = 0;
  p.m_cAim = 1;
  FireShot(s.h.Scene().m_Shots, shooter, Command(CMD_KIND_SHOT), p);
  std::vector<Placed> got;
  for (const cShot& shot : s.h.Scene().m_Shots) got.push_back({shot.m_dX, shot.m_dY, shot.m_dVelX, shot.m_dVelY});
  ASSERT_EQ(got.size(), 2u);
  // From the centre of the muzzle (the view at 320) to the hero's screen centre, at 4 dots a
  // sub-step.
  const double fromX = got[0].x + 8 - 320;
  const double fromY = got[0].y + 8 - 320;
  const double toX = target.m_rcScreen[0] + (target.m_nDrawWidth >> 1);
  const double toY = target.m_rcScreen[1] + (target.m_nDrawHeight >> 1);
  double vx = 0;
  double vy = 0;
  int dir = 0;
  CalcAimSpeed(vx, vy, dir, &target, fromX, fromY, toX, toY, 4.0, 0, 0, 0);
  const double speed = std::sqrt(vx * vx + vy * vy);
  const double angle = static_cast<int>(std::atan2(vy, vx) * 57.29577951308232 + 180) * 0.017453292519943295;
  // Meeting the carried hero from its right takes another speed than the fired 4.
  ASSERT_GT(std::fabs(speed - 4.0), 0.01);
  for (const Placed& shot : got) {
    EXPECT_NEAR(shot.vx, -std::cos(angle) * speed, 1e-9);
    EXPECT_NEAR(shot.vy, -std::sin(angle) * speed, 1e-9);
  }
}

}  // namespace
}  // namespace t4::test::fire
