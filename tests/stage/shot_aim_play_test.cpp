// The aiming and homing kinds of shots in a played stage: a flier fires upward and its shots turn
// toward the hero, once or in every sub-step between their start and their end. One sub-step a
// frame.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "data/ed_shot.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/shot.h"
#include "shot_fixture.h"
#include "support/stage_harness.h"

namespace t4::test::shots {
namespace {

// A flier of its own faction at tile (9, 0) that shoots, on a stage whose hero stands still on
// the floor at tile (4, 1).
cStage WithFlier() {
  cStage stage = Open(11, true);
  stage.m_CharaPlaces.push_back(stage.m_CharaPlaces.At(0));
  cCharaDef& flier = stage.m_CharaPlaces.back();
  flier.m_cController = 1;
  flier.m_cFlight = 1;
  flier.m_sBlockX = 9;
  flier.m_sBlockY = 0;
  flier.m_cActiveRange = 3;
  flier.m_cLayer = static_cast<int8_t>(stage.m_CharaPlaces.At(0).m_cLayer + 1);
  return stage;
}

// The velocity toward the hero's screen centre (144, 48) from the centre of the shot's screen
// rectangle (whole dots) where it stands.
void ExpectTowardHero(const cShot& shot, double x, double y, double speed) {
  const double dx = 144 - (static_cast<int>(x) - 320 + 8);
  const double dy = 48 - (static_cast<int>(y) - 320 + 8);
  const double d = std::sqrt(dx * dx + dy * dy);
  EXPECT_NEAR(shot.m_dVelX, dx / d * speed, 1e-9);
  EXPECT_NEAR(shot.m_dVelY, dy / d * speed, 1e-9);
}

TEST(ShotPlayTest, AimingKindsTurnOnceTowardTheirCharacter) {
  // Fired upward at 5 dots a sub-step, each aiming kind turns on its first sub-step toward its
  // character, or keeps its course when it has none; either way it is done.
  struct Case {
    const char* name;
    int kind;
    int slot;  // the shooter's target slot the shot takes: 0 holds the hero, 3 is empty
    bool turns;
  };
  const Case cases[] = {
      {"the hero", SHOT_MOVE_AIM_HERO, 3, true},
      {"the nearest of the hero's faction", SHOT_MOVE_AIM_NEAREST, 3, true},
      {"the target", SHOT_MOVE_AIM_TARGET, 0, true},
      {"no target", SHOT_MOVE_AIM_TARGET, 3, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Started s(WithFlier());
    ASSERT_EQ(s.h.Charas().size(), 1u);
    cChara& shooter = *s.h.Charas()[0];
    ASSERT_EQ(shooter.m_Targets.At(0), &s.h.Hero());
    ASSERT_EQ(shooter.m_Targets.At(3), nullptr);
    cEdShot p = Straight(50);
    p.m_cDir = 6;
    p.m_cMoveType = static_cast<uint8_t>(c.kind);
    p.m_cShotSlot = static_cast<int8_t>(c.slot);
    p.m_sMoveParam[1] = static_cast<int16_t>(s.h.Hero().m_nLayer);
    cShot* shot = FireOne(s.h, shooter, p);
    ASSERT_NE(shot, nullptr);
    const double x0 = shot->m_dX;
    const double y0 = shot->m_dY;
    s.h.Frame();
    if (c.turns) {
      ExpectTowardHero(*shot, x0, y0, 5);
    } else {
      EXPECT_EQ(shot->m_dVelX, 0);
      EXPECT_EQ(shot->m_dVelY, -5);
    }
    EXPECT_EQ(shot->m_bMoveDone, 1);
  }
}

TEST(ShotPlayTest, HomingKindsSteerBetweenTheirStartAndEnd) {
  // Homing from 1 hbl (3 sub-steps at 5 dots) to 3 hbl (9 sub-steps): straight up for three
  // sub-steps, then turned toward the hero from where the shot stands in each of sub-steps 4 to 9,
  // then done with the last course. Kinds 5 and 7 steer alike.
  struct Case {
    const char* name;
    int kind;
  };
  const Case cases[] = {
      {"hero", SHOT_MOVE_HOME_HERO},
      {"nearest", SHOT_MOVE_HOME_NEAREST},
      {"target", SHOT_MOVE_HOME_TARGET},
      {"nearest, changing", SHOT_MOVE_HOME_NEAREST2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Started s(WithFlier());
    ASSERT_EQ(s.h.Charas().size(), 1u);
    cChara& shooter = *s.h.Charas()[0];
    ASSERT_EQ(shooter.m_Targets.At(0), &s.h.Hero());
    cEdShot p = Straight(50);
    p.m_cDir = 6;
    p.m_cMoveType = static_cast<uint8_t>(c.kind);
    p.m_sMoveParam[0] = 1;
    p.m_sMoveParam[1] = 3;
    p.m_sMoveParam[2] = static_cast<int16_t>(s.h.Hero().m_nLayer);
    cShot* shot = FireOne(s.h, shooter, p);
    ASSERT_NE(shot, nullptr);
    for (int step = 1; step <= 12; ++step) {
      SCOPED_TRACE(step);
      const double x = shot->m_dX;
      const double y = shot->m_dY;
      const double vx = shot->m_dVelX;
      const double vy = shot->m_dVelY;
      s.h.Frame();
      if (step <= 3) {
        EXPECT_EQ(shot->m_dVelX, 0);
        EXPECT_EQ(shot->m_dVelY, -5);
      } else if (step <= 9) {
        ExpectTowardHero(*shot, x, y, 5);
      } else {
        EXPECT_EQ(shot->m_dVelX, vx);
        EXPECT_EQ(shot->m_dVelY, vy);
        EXPECT_EQ(shot->m_bMoveDone, 1);
      }
    }
  }
}

}  // namespace
}  // namespace t4::test::shots
