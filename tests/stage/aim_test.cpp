// Aiming at points with and without the auto-scroll, the intercept course toward a point that
// rides the scroll, the one-axis forms, and the wave and per-second conversions.
#include <cmath>
#include <numbers>

#include "chara_fixture.h"
#include "stage/aim.h"

namespace t4::test {
namespace {

class AimTest : public CharaStage {
 protected:
  void SetUp() override { MakeStage(30, 20, 0.4, 1); }
  static void RunX(double speed) {
    ScrollX().m_bAuto = 1;
    ScrollX().m_dAutoSpeed = speed;
    ScrollX().m_bAtEdge = 0;
  }
};

TEST_F(AimTest, DirectAndFleeingForms) {
  struct Case {
    double fromX, fromY, toX, toY, speed;
    double vx, vy;
    int dir, arrived;
  } cases[] = {
      {0, 0, 3, 4, 2, 1.2, 1.6, 2, 0},
      {0, 0, 3, 4, 5, 3, 4, 2, 1},                                           // exactly one step away
      {10, 10, 7, 6, 5, -3, -4, 1, 1},                                       // within one step
      {5, 5, 5, 5, 2, 0, 0, 0, 1},                                           // the point itself: distance taken as 1
      {10, 10, 4, 4, -2, std::numbers::sqrt2, std::numbers::sqrt2, 2, 0},    // flee down-right
      {10, 10, 10, 10, -2, std::numbers::sqrt2, std::numbers::sqrt2, 2, 0},  // a tie flees positive
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.toX << "," << k.toY << " speed " << k.speed);
    double vx = 99, vy = 99;
    int dir = 99;
    EXPECT_EQ(CalcAimSpeed(vx, vy, dir, nullptr, k.fromX, k.fromY, k.toX, k.toY, k.speed, 0, 0, 1), k.arrived);
    EXPECT_DOUBLE_EQ(vx, k.vx);
    EXPECT_DOUBLE_EQ(vy, k.vy);
    EXPECT_EQ(dir, k.dir);
  }
}

TEST_F(AimTest, TheScrollIsTakenOutForATargetThatDoesNotRideIt) {
  RunX(0.5);
  cStageObject target;
  double vx = 0, vy = 0;
  int dir = 0;
  CalcAimSpeed(vx, vy, dir, &target, 0, 0, 3, 4, 10, 0, 0, 0);
  EXPECT_DOUBLE_EQ(vx, 5.5);
  EXPECT_DOUBLE_EQ(vy, 8);
  // Stopped at its limit the axis does not run.
  ScrollX().m_bAtEdge = 1;
  CalcAimSpeed(vx, vy, dir, &target, 0, 0, 3, 4, 10, 0, 0, 0);
  EXPECT_DOUBLE_EQ(vx, 6);
  // With the old rule the scroll is added instead, target or not.
  ScrollX().m_bAtEdge = 0;
  g_SystemData.m_bCompat214 = 1;
  CalcAimSpeed(vx, vy, dir, nullptr, 0, 0, 3, 4, 10, 0, 0, 0);
  EXPECT_DOUBLE_EQ(vx, 6.5);
}

TEST_F(AimTest, InterceptCourseKeepsTheSpeedAndMatchesTheScroll) {
  // A point 30 dots straight below that rides a scroll of 1 dot a sub-step: a mover at 5 keeps
  // pace sideways (vx = 1) and spends the rest going down: vy = sqrt(25 - 1).
  RunX(1);
  cStageObject target;
  target.m_bScrollRide = 1;
  double vx = 0, vy = 0;
  int dir = 0;
  CalcAimSpeed(vx, vy, dir, &target, 100, 100, 100, 130, 5, 0, 0, 0);
  EXPECT_DOUBLE_EQ(vx, 1);
  EXPECT_NEAR(vy, std::sqrt(24.0), 1e-12);
  EXPECT_EQ(dir, 2);
}

TEST_F(AimTest, OneAxisForms) {
  double vx = 9, vy = 9;
  int dir = 9;
  // Equal coordinates: left, and arrival for any non-zero speed.
  EXPECT_EQ(CalcAimSpeedX(vx, vy, dir, nullptr, 50, 50, 3, 0, 1), 1);
  EXPECT_EQ(dir, 1);
  EXPECT_EQ(vx, -3);
  EXPECT_EQ(vy, 0);
  EXPECT_EQ(CalcAimSpeedX(vx, vy, dir, nullptr, 40, 50, 3, 0, 1), 0);
  EXPECT_EQ(dir, 2);
  EXPECT_EQ(vx, 3);
  EXPECT_EQ(CalcAimSpeedY(vx, vy, dir, nullptr, 40, 42, 3, 0, 1), 1);
  EXPECT_EQ(dir, 0);
  EXPECT_EQ(vx, 0);
  EXPECT_EQ(vy, 3);
}

TEST_F(AimTest, WaveSpeedAccelerationAndPhase) {
  const double k = std::numbers::pi / 180;
  double phase = 0;
  EXPECT_DOUBLE_EQ(WaveSpeed(16, 1, phase, 1, 0), 16 * k);
  EXPECT_EQ(phase, 1);
  phase = 359;
  WaveSpeed(16, 1, phase, 1, 0);
  EXPECT_EQ(phase, 0);
  phase = 90;
  EXPECT_DOUBLE_EQ(WaveAccel(16, 1, phase, 1, 0), -16 * k * k);
  EXPECT_EQ(phase, 91);
  // At 4 sub-steps a frame: phase 240 is 60 degrees (cos 0.5), the change a quarter of a frame's,
  // and the period 1440 sub-steps.
  g_Stage.SetCollisionLevel(4);
  phase = 240;
  EXPECT_DOUBLE_EQ(WaveSpeed(16, 1, phase, 1, 0), 2 * k);
  phase = 1439;
  WaveSpeed(16, 1, phase, 1, 0);
  EXPECT_EQ(phase, 0);
}

TEST_F(AimTest, PerSecondValuesSpreadOverTheSubSteps) {
  g_Stage.SetCollisionLevel(2);
  EXPECT_DOUBLE_EQ(PerSecToSubstep(120), 1.0);
  g_Stage.SetCollisionLevel(1);
  EXPECT_DOUBLE_EQ(PerSecToSubstep(-30), -0.5);
}

}  // namespace
}  // namespace t4::test
