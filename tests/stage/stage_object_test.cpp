// The in-stage object base: bounds frames and their codes, stepping under the speed limit, tile
// fields, friction, the screen rectangle, the area tests, impact splitting and rescaling.
#include <climits>
#include <cmath>
#include <limits>

#include "chara_fixture.h"
#include "stage/stage_object.h"

namespace t4::test {
namespace {

class StageObjectTest : public CharaStage {
 protected:
  void SetUp() override {
    // 30 x 20 tiles: X stage 320..1280 of a 1600-dot grid, Y stage 320..960 of 1280.
    MakeStage(30, 20, 0.4, 1);
    obj.Init(1, 1, 0, 1, 0, nullptr, 0, 4, 4, 24, 28, 32, 32, 0, 0, 0);
  }
  cStageObject obj;
};

struct BoundsCase {
  int mode;
  double in;
  double out;
  int code;
};

TEST_F(StageObjectTest, CheckBoundsXClampsAndClassifiesPerMode) {
  // Scroll limits narrowed to stage tiles 5..19: dots 480..960.
  ScrollX().SetLimits(5, 19, 1, 1);
  const BoundsCase cases[] = {
      {0, 400, 480, 0}, {0, 950, 936, 0},    // against the scroll limits
      {1, 300, 320, 0}, {1, 1270, 1256, 0},  // a clamp to the stage area returns 0 at once
      {1, 400, 400, 1}, {1, 600, 600, 0},    // inside the stage, outside / inside the limits
      {2, -5, 0, 3},    {2, 1590, 1576, 3},  // held at the grid's edges
      {2, 0, 0, 2},     {2, 400, 400, 1},   {2, 600, 600, 0}, {7, -50, -50, 0},  // unknown modes clamp nothing
  };
  for (const BoundsCase& c : cases) {
    obj.m_dX = c.in;
    EXPECT_EQ(obj.CheckBoundsX(c.mode), c.code) << "mode " << c.mode << " x " << c.in;
    EXPECT_EQ(obj.m_dX, c.out) << "mode " << c.mode << " x " << c.in;
    EXPECT_EQ(obj.m_dRight, c.out + 23);
  }
}

TEST_F(StageObjectTest, CheckBoundsYSeparatesTopAndBottom) {
  // Limits on stage rows 2..12: dots 384..736.
  ScrollY().SetLimits(2, 12, 1, 1);
  const BoundsCase cases[] = {
      {2, -3, 0, 3},    {2, 1260, 1252, 6}, {2, 100, 100, 2}, {2, 950, 950, 5}, {2, 350, 350, 1}, {2, 720, 720, 4},
      {2, 500, 500, 0}, {1, 300, 320, 0},   {1, 950, 932, 0}, {1, 350, 350, 1}, {1, 720, 720, 4}, {0, 300, 384, 0},
  };
  for (const BoundsCase& c : cases) {
    obj.m_dY = c.in;
    EXPECT_EQ(obj.CheckBoundsY(c.mode), c.code) << "mode " << c.mode << " y " << c.in;
    EXPECT_EQ(obj.m_dY, c.out) << "mode " << c.mode << " y " << c.in;
    EXPECT_EQ(obj.m_dBottom, c.out + 27);
  }
}

TEST_F(StageObjectTest, ObjectAsTallAsTheBorderIsNeverClampedOnY) {
  cStageObject tall;
  tall.Init(2, 1, 0, 1, 0, nullptr, 0, 0, 0, 24, 320, 32, 320, 0, 0, 0);
  tall.m_dY = -40;
  EXPECT_EQ(tall.CheckBoundsY(2), 0);
  EXPECT_EQ(tall.m_dY, -40);
}

TEST_F(StageObjectTest, TileFieldsTruncateBeforeTheShift) {
  const struct {
    double x;
    int tile;
  } cases[] = {{-0.5, 0}, {-33.0, -2}, {31.9, 0}, {32.0, 1}, {640.5, 20}};
  for (const auto& c : cases) {
    obj.m_dX = c.x;
    obj.CheckBoundsX(9);
    EXPECT_EQ(obj.m_nTileLeft, c.tile) << c.x;
  }
}

TEST_F(StageObjectTest, StepLimitsTheStoredSpeed) {
  obj.m_dX = 600;
  obj.m_dSpeedX = 100;
  obj.StepX(9);
  EXPECT_EQ(obj.m_dX, 606);  // level 1: 6 dots per sub-step
  EXPECT_EQ(obj.m_dSpeedX, 6);
  g_Stage.SetCollisionLevel(15);  // n = 5: 60 / 5 = 12 dots per sub-step
  obj.m_dY = 500;
  obj.m_dSpeedY = -40;
  obj.StepY(9);
  EXPECT_EQ(obj.m_dY, 488);
  EXPECT_EQ(obj.m_dSpeedY, -12);
}

TEST_F(StageObjectTest, FrictionStopsAtZeroWithoutReversing) {
  obj.m_dFriction = 0.25;
  const struct {
    double in;
    int enabled;
    double out;
  } cases[] = {{1.0, 1, 0.75}, {0.2, 1, 0.0}, {-0.2, 1, 0.0}, {-1.0, 1, -0.75}, {0.0, 1, 0.0}, {1.0, 0, 1.0}};
  for (const auto& c : cases) {
    double v = c.in;
    obj.ApplyFriction(v, c.enabled);
    EXPECT_EQ(v, c.out) << c.in;
  }
}

TEST_F(StageObjectTest, ScreenRectangleRoundsPerMovementKind) {
  ScrollX().m_dPos = 100.5;
  ScrollY().m_dPos = 200.9;
  obj.m_dX = 400.2;
  obj.m_dY = 500.95;
  obj.UpdateScreenRect();
  // Walking: trunc((400.2 - 4) - 100) = 296; trunc((500.95 - 4) - 200) = 296.
  EXPECT_EQ(obj.m_rcScreen[0], 296);
  EXPECT_EQ(obj.m_rcScreen[1], 296);
  EXPECT_EQ(obj.m_rcScreen[2], 327);
  EXPECT_EQ(obj.m_rcScreen[3], 327);
  obj.SetMoveType(2);
  obj.UpdateScreenRect();
  // Flying, no auto-scroll: 400 - 100 - 4 = 296; 500 - 200 - 4 = 296.
  EXPECT_EQ(obj.m_rcScreen[0], 296);
  EXPECT_EQ(obj.m_rcScreen[1], 296);
  ScrollX().m_dAutoSpeed = 1;
  ScrollY().m_dAutoSpeed = 1;
  obj.m_bScrollRide = 1;
  obj.UpdateScreenRect();
  // Riding an auto-scroll: trunc(400.2 - 100.5) - 4 = 295; trunc(500.95 - 200.9) - 4 + 1 = 297.
  EXPECT_EQ(obj.m_rcScreen[0], 295);
  EXPECT_EQ(obj.m_rcScreen[1], 297);
}

TEST_F(StageObjectTest, OutOfAreaHonoursTheOnScreenFlagAndTheGridEdge) {
  cStageAreaSetting none;
  obj.m_dX = 0;
  obj.m_dY = 500;
  obj.CheckBoundsX(9);
  obj.CheckBoundsY(9);
  EXPECT_EQ(obj.CheckBoundsX(2), 2);    // inside the grid...
  EXPECT_EQ(obj.IsOutOfArea(none), 1);  // ...but x <= 0 is out
  obj.m_bOnScreen = 1;
  obj.m_dX = -100;
  EXPECT_EQ(obj.IsOutOfArea(none), 0);
  obj.m_bOnScreen = 0;
  cStageAreaSetting left;
  left.m_nLeftOn = 1;
  left.m_nLeftMargin = 2;
  ScrollX().m_dPos = 320;  // trunc(320 - 64) = 256
  obj.m_dX = 232;          // right 255
  obj.CheckBoundsX(9);
  EXPECT_EQ(obj.IsOutOfArea(left), 1);
  obj.m_dX = 233;  // right 256
  obj.CheckBoundsX(9);
  EXPECT_EQ(obj.IsOutOfArea(left), 1);
  obj.m_dX = 234;
  obj.CheckBoundsX(9);
  EXPECT_EQ(obj.IsOutOfArea(left), 0);
}

TEST_F(StageObjectTest, SplitImpactTurnsPowerIntoSpeeds) {
  double ix = 9, iy = 9, kept = 5;
  // n = 1: px = 7.5, py = -2.5; v = (sqrt(1 + 128 |p|) - 1) / 2: sqrt(961) = 31 gives 15.
  cStageObject::SplitImpact(ix, iy, 10, 3, -1, &kept);
  EXPECT_DOUBLE_EQ(ix, 15.0);
  EXPECT_DOUBLE_EQ(iy, -8.458236433584458);  // -(sqrt(321) - 1) / 2
  EXPECT_EQ(kept, 0);
  // n = 4, power 127 straight right: (sqrt(1 + 512 x 127) - 1) / 8 = (255 - 1) / 8.
  g_Stage.SetCollisionLevel(4);
  cStageObject::SplitImpact(ix, iy, 127, 2, 0, nullptr);
  EXPECT_EQ(ix, 31.75);
  EXPECT_EQ(iy, 0);
  // A zero direction gives zero speeds; a zero power writes nothing.
  cStageObject::SplitImpact(ix, iy, 5, 0, 0, nullptr);
  EXPECT_EQ(ix, 0);
  EXPECT_EQ(iy, 0);
  ix = iy = kept = 3;
  cStageObject::SplitImpact(ix, iy, 0, 1, 1, &kept);
  EXPECT_EQ(ix, 3);
  EXPECT_EQ(kept, 3);
  // The old rule keeps the victim's previous vertical impact.
  g_SystemData.m_bCompat897 = 1;
  cStageObject::SplitImpact(ix, iy, 5, 1, 0, &kept);
  EXPECT_EQ(kept, 3);
}

TEST_F(StageObjectTest, ScaleKeepsTheHorizontalCentre) {
  obj.m_dX = 600;
  obj.m_dY = 500;
  obj.SetScale(2, 1, 0);
  EXPECT_EQ(obj.m_nHitWidth, 48);
  EXPECT_EQ(obj.m_nHitHeight, 56);
  EXPECT_EQ(obj.m_nDrawOffsetX, 8);
  EXPECT_EQ(obj.m_nDrawWidth, 64);
  EXPECT_EQ(obj.m_dX, 588);  // 600 - (2 - 1) x (24 / 2)
  EXPECT_EQ(obj.m_dRight, 635);
  obj.SetScale(2, 2, 0);
  EXPECT_EQ(obj.m_dX, 588);
}

TEST_F(StageObjectTest, JudgeSpanCoversTheLengthsOrTheOwnExtent) {
  int start = 0, end = 0;
  cStageObject::CalcJudgeSpan(start, end, 100, 32, 10, 0, 0);
  EXPECT_EQ(start, 90);  // centre 116 - 16 - 10
  EXPECT_EQ(end, 116);
  cStageObject::CalcJudgeSpan(start, end, 100, 32, 0, 0, 1);
  EXPECT_EQ(start, 100);
  EXPECT_EQ(end, 132);
}

TEST(TruncToIntTest, UnrepresentableValuesGiveIntMin) {
  EXPECT_EQ(TruncToInt(-2.7), -2);
  EXPECT_EQ(TruncToInt(2147483647.9), 2147483647);
  EXPECT_EQ(TruncToInt(std::numeric_limits<double>::quiet_NaN()), INT_MIN);
  EXPECT_EQ(TruncToInt(3e9), INT_MIN);
  EXPECT_EQ(TruncToInt(-3e9), INT_MIN);
}

}  // namespace
}  // namespace t4::test
