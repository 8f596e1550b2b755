#include <utility>
#include <vector>

#include "flow/exec_status.h"
#include "flow/status_table.h"
#include "flow_fixture.h"

namespace t4::test {
namespace {

using Params = std::vector<std::pair<int, int32_t>>;

cFlowCommand StatusCommand(Params params) {
  cFlowCommand command;
  command.m_cKind = CMD_STATUS;
  command.m_Params.assign(STP_COUNT, 0);
  for (auto [index, value] : params) command.m_Params[index] = value;
  return command;
}

// Left side: a status of an owner, set by a constant.
Params SetStatus(int owner, int kind, int32_t value, int op = CALC_SET) {
  return {{STP_LEFT_CLASS, 0}, {STP_LEFT_OWNER, owner}, {STP_LEFT_KIND, kind},
          {STP_OPERATION, op}, {STP_RIGHT_TYPE, 0},     {STP_CONSTANT, value}};
}

class ExecStatusTest : public FlowTest {
 protected:
  void Run(Params params) { ExecStatus(stage, Me(), StatusCommand(params)); }
};

TEST_F(ExecStatusTest, VariablesTakeEveryOperandKindWithinTheirLimits) {
  Run({{STP_LEFT_CLASS, 1}, {STP_LEFT_SCOPE, 0}, {STP_LEFT_VAR, 5}, {STP_RIGHT_TYPE, 0}, {STP_CONSTANT, 2000000}});
  EXPECT_EQ(g_SaveData.m_CommonVars[5], 999999);

  stage.stageVars[7] = 12;
  Run({{STP_LEFT_CLASS, 1},
       {STP_LEFT_SCOPE, 0},
       {STP_LEFT_VAR, 6},
       {STP_RIGHT_TYPE, 3},
       {STP_RIGHT_SCOPE, 1},
       {STP_RIGHT_VAR, 7}});
  EXPECT_EQ(g_SaveData.m_CommonVars[6], 12);

  me->vars[3] = -40;
  Run({{STP_LEFT_CLASS, 1},
       {STP_LEFT_SCOPE, 1},
       {STP_LEFT_VAR, 2},
       {STP_RIGHT_TYPE, 2},
       {STP_RIGHT_OWNER, 0},
       {STP_RIGHT_KIND, CSTAT_VAR},
       {STP_RIGHT_VAR, 3}});
  EXPECT_EQ(stage.stageVars[2], -40);

  // A random operand between the two bounds, in either order.
  for (int seed = 1; seed <= 40; ++seed) {
    t4::platform::SeedRand(static_cast<uint32_t>(seed));
    Run({{STP_LEFT_CLASS, 1},
         {STP_LEFT_SCOPE, 1},
         {STP_LEFT_VAR, 1},
         {STP_RIGHT_TYPE, 1},
         {STP_RAND_A, 10},
         {STP_RAND_B, 5}});
    EXPECT_GE(stage.stageVars[1], 5);
    EXPECT_LE(stage.stageVars[1], 10);
  }

  // Percent of the current value: 999 x 50 / 100 = 499.5 rounds away from zero.
  g_SaveData.m_nStageScore = 999;
  Run({{STP_LEFT_OWNER, OWNER_SYSTEM}, {STP_LEFT_KIND, SSTAT_SCORE}, {STP_CONSTANT, 50}, {STP_PERCENT, 0x101}});
  EXPECT_EQ(g_SaveData.m_nStageScore, 500);
}

TEST_F(ExecStatusTest, HpGoesThroughAddHpAndTheHpCheckIsAskedOnlyForOthers) {
  me->hp = 90;
  Run(SetStatus(0, CSTAT_HP, 20, CALC_ADD));
  ASSERT_EQ(me->addHp.size(), 1u);
  EXPECT_EQ(me->addHp[0], 20);  // computed against 999999, clamped by the character
  EXPECT_EQ(me->hp, 100);
  Run(SetStatus(0, CSTAT_HP, 0));
  EXPECT_EQ(me->hp, 0);
  EXPECT_EQ(stage.hpCheckRequests, 0);

  Run(SetStatus(1, CSTAT_HP, 0));
  EXPECT_EQ(targets[0]->hp, 0);
  EXPECT_EQ(stage.hpCheckRequests, 1);

  // Percent of the maximum (200 x 50%) and then of the current value (100 x 50%), gauge flag
  // passed on.
  targets[1]->def.m_nMaxHp = 200;
  targets[1]->hp = 60;
  Run({{STP_LEFT_OWNER, 2}, {STP_LEFT_KIND, CSTAT_HP}, {STP_CONSTANT, 50}, {STP_HPSP_CALC, 1}, {STP_GAUGE, 1}});
  EXPECT_EQ(targets[1]->hp, 100);
  EXPECT_EQ(targets[1]->addHpGauge.back(), 1);
  Run({{STP_LEFT_OWNER, 2}, {STP_LEFT_KIND, CSTAT_HP}, {STP_CONSTANT, 50}, {STP_HPSP_CALC, 2}});
  EXPECT_EQ(targets[1]->hp, 50);
  Run({{STP_LEFT_OWNER, 2}, {STP_LEFT_KIND, CSTAT_SP}, {STP_CONSTANT, 10}, {STP_HPSP_CALC, 9}});
  EXPECT_EQ(targets[1]->sp, 30);
  EXPECT_EQ(targets[1]->addSp.back(), 0);
  // The percent flag of the other statuses leaves HP and SP alone: they go by their own choice.
  Run({{STP_LEFT_OWNER, 2}, {STP_LEFT_KIND, CSTAT_HP}, {STP_CONSTANT, 20}, {STP_PERCENT, 1}});
  EXPECT_EQ(targets[1]->hp, 20);

  // Maximum HP below the current HP lowers it; a target left at 0 HP asks for the check.
  me->hp = 80;
  Run(SetStatus(0, CSTAT_MAX_HP, 50));
  EXPECT_EQ(me->def.m_nMaxHp, 50);
  EXPECT_EQ(me->hp, 50);
  Run(SetStatus(4, CSTAT_MAX_SP, 10));
  EXPECT_EQ(targets[3]->sp, 10);
  targets[2]->hp = 0;
  Run(SetStatus(3, CSTAT_MAX_HP, 0));
  EXPECT_EQ(stage.hpCheckRequests, 2);
}

TEST_F(ExecStatusTest, CharacterStatusesUseTheirWidthsAndLimits) {
  struct Case {
    int kind;
    int32_t start;
    int op;
    int32_t operand;
    int32_t expected;
  };
  const Case cases[] = {
      {CSTAT_CHARA_ID, 50, CALC_ADD, 100, 0},  // the byte wraps before the clamp
      {CSTAT_CHARA_ID, 50, CALC_ADD, 40, 90},    {CSTAT_Z, 3, CALC_SET, 9, 7},
      {CSTAT_MARK, 100, CALC_ADD, 50, 119},      {CSTAT_BODY_POWER, 0, CALC_SET, -2000000, -999999},
      {CSTAT_BODY_IMPACT, 0, CALC_SUB, 30, -20}, {CSTAT_DEFENCE, 10, CALC_SUB, 20, 0},
      {CSTAT_IMPACT_RESIST, 5, CALC_MUL, 5, 20}, {CSTAT_STOPPING, 10, CALC_MUL, 30, 200},
      {CSTAT_SCORE, 0, CALC_SET, -5, -5},        {CSTAT_VAR, 7, CALC_MOD, 4, 3},
  };
  cCharaDef& d = me->def;
  auto field = [&](int kind) -> int32_t {
    switch (kind) {
      case CSTAT_CHARA_ID: return d.m_cCharaId;
      case CSTAT_Z: return d.m_cZOrder;
      case CSTAT_MARK: return d.m_sBadgeNo;
      case CSTAT_BODY_POWER: return d.m_nBodyPower;
      case CSTAT_BODY_IMPACT: return d.m_cBodyImpact;
      case CSTAT_DEFENCE: return d.m_nDefence;
      case CSTAT_IMPACT_RESIST: return d.m_cImpactResist;
      case CSTAT_STOPPING: return d.m_sStopping;
      case CSTAT_SCORE: return d.m_nScore;
      default: return me->vars[4];
    }
  };
  for (const Case& c : cases) {
    d.m_cCharaId = d.m_cZOrder = d.m_cBodyImpact = d.m_cImpactResist = static_cast<int8_t>(c.start);
    d.m_sBadgeNo = d.m_sStopping = static_cast<int16_t>(c.start);
    d.m_nBodyPower = d.m_nDefence = d.m_nScore = me->vars[4] = c.start;
    Run({{STP_LEFT_OWNER, 0},
         {STP_LEFT_KIND, c.kind},
         {STP_LEFT_VAR, 4},
         {STP_OPERATION, c.op},
         {STP_CONSTANT, c.operand}});
    EXPECT_EQ(field(c.kind), c.expected) << "kind " << c.kind;
  }
  EXPECT_EQ(me->frictionRefreshes, 1);  // after the stop-ease change
}

TEST_F(ExecStatusTest, SightOnlyForSideZeroAndThenTheRadiusInDots) {
  Run(SetStatus(0, CSTAT_SIGHT, 3));
  EXPECT_EQ(me->def.m_cSightRange, 3);
  EXPECT_EQ(me->sightRadius, 48);
  Run(SetStatus(1, CSTAT_SIGHT, 3));
  EXPECT_EQ(targets[0]->def.m_cSightRange, 0);
  EXPECT_EQ(targets[0]->sightRadius, -1);
  // As a right operand a non-zero side ends the command too.
  g_SaveData.m_CommonVars[1] = 77;
  Run({{STP_LEFT_CLASS, 1},
       {STP_LEFT_VAR, 1},
       {STP_RIGHT_TYPE, 2},
       {STP_RIGHT_OWNER, 1},
       {STP_RIGHT_KIND, CSTAT_SIGHT}});
  EXPECT_EQ(g_SaveData.m_CommonVars[1], 77);
}

TEST_F(ExecStatusTest, NothingChangesWithoutAnOwnerOrForAnInvincibleOne) {
  me->targets[1] = nullptr;
  Run(SetStatus(2, CSTAT_HP, 5));
  Run(SetStatus(7, CSTAT_HP, 5));
  Run(SetStatus(-1, CSTAT_HP, 5));
  g_SaveData.m_CommonVars[1] = 77;
  Run({{STP_LEFT_CLASS, 1}, {STP_LEFT_VAR, 1}, {STP_RIGHT_TYPE, 2}, {STP_RIGHT_OWNER, 2}, {STP_RIGHT_KIND, CSTAT_HP}});
  Run({{STP_LEFT_CLASS, 1}, {STP_LEFT_VAR, 1}, {STP_RIGHT_TYPE, 2}, {STP_RIGHT_OWNER, 6}, {STP_RIGHT_KIND, CSTAT_HP}});
  EXPECT_EQ(g_SaveData.m_CommonVars[1], 77);
  EXPECT_EQ(me->hp, 80);

  targets[0]->bInvincible = true;
  Run({{STP_LEFT_OWNER, 1}, {STP_LEFT_KIND, CSTAT_DEFENCE}, {STP_CONSTANT, 9}, {STP_SKIP_INVINCIBLE, 1}});
  EXPECT_EQ(targets[0]->def.m_nDefence, 0);
  Run({{STP_LEFT_OWNER, 1}, {STP_LEFT_KIND, CSTAT_DEFENCE}, {STP_CONSTANT, 9}});
  EXPECT_EQ(targets[0]->def.m_nDefence, 9);

  cFlowCommand shortCommand = StatusCommand(SetStatus(0, CSTAT_DEFENCE, 5));
  shortCommand.m_Params.resize(STP_COUNT - 1);
  ExecStatus(stage, Me(), shortCommand);
  EXPECT_EQ(me->def.m_nDefence, 0);
}

TEST_F(ExecStatusTest, SystemStatuses) {
  Run(SetStatus(OWNER_SYSTEM, SSTAT_TIME, 1200));
  EXPECT_EQ(stage.time, 999);
  Run(SetStatus(OWNER_SYSTEM, SSTAT_SCROLL_X, 600));
  EXPECT_EQ(g_Stage.m_nAutoScrollX, 480);
  Run(SetStatus(OWNER_SYSTEM, SSTAT_SCROLL_Y, -20));
  ASSERT_EQ(stage.autoScroll.size(), 2u);
  EXPECT_EQ(stage.autoScroll[0].axis, SCROLL_AXIS_X);
  EXPECT_EQ(stage.autoScroll[0].flag, 1);
  EXPECT_EQ(stage.autoScroll[0].speed, 480);
  EXPECT_EQ(stage.autoScroll[1].axis, SCROLL_AXIS_Y);
  EXPECT_EQ(stage.autoScroll[1].speed, -20);

  g_SaveData.m_nLives = 98;
  Run(SetStatus(OWNER_SYSTEM, SSTAT_LIVES, 5, CALC_ADD));
  EXPECT_EQ(g_SaveData.m_nLives, 99);
  g_SaveData.m_nLives = LIVES_INFINITE;
  Run(SetStatus(OWNER_SYSTEM, SSTAT_LIVES, 5));
  EXPECT_EQ(g_SaveData.m_nLives, LIVES_INFINITE);
}

TEST_F(ExecStatusTest, SystemStatusesAsOperands) {
  struct Case {
    int kind;
    int32_t livesCompat;
    bool bNoTimeLimit;
    int32_t expected;
  };
  stage.time = 321;
  g_SaveData.m_nLives = LIVES_INFINITE;
  const Case cases[] = {
      {SSTAT_LIVES, 0, false, 100}, {SSTAT_LIVES, 1, false, 0}, {SSTAT_TIME, 0, false, 321},
      {SSTAT_TIME, 0, true, 0},     {9, 0, false, 0},
  };
  for (const Case& c : cases) {
    g_SystemData.m_bCompat819 = c.livesCompat;
    stage.bNoTimeLimit = c.bNoTimeLimit;
    g_SaveData.m_CommonVars[1] = -1;
    Run({{STP_LEFT_CLASS, 1},
         {STP_LEFT_VAR, 1},
         {STP_RIGHT_TYPE, 2},
         {STP_RIGHT_OWNER, OWNER_SYSTEM},
         {STP_RIGHT_KIND, c.kind}});
    EXPECT_EQ(g_SaveData.m_CommonVars[1], c.expected) << c.kind << " " << c.livesCompat;
  }
}

TEST_F(ExecStatusTest, PositionsAreReadInTheirModeAndWrittenThroughAWarpRecord) {
  me->rect = {100, 200, 131, 247, 32, 48};          // centre 116, 224; foot 232
  targets[0]->rect = {300, 100, 315, 115, 16, 16};  // centre 308, 108
  stage.scrollPos[0] = 64.9;
  stage.scrollMargin[0] = 10;
  stage.scrollPos[1] = 10;
  stage.scrollMargin[1] = 10;
  struct Read {
    int kind;
    int mode;
    int point;
    int32_t expected;
  };
  const Read reads[] = {
      {CSTAT_X, 0, 0, 192},             // 308 - 116
      {CSTAT_X, 1, 0, 64 - 320 + 308},  // scroll truncated, minus the margin in dots
      {CSTAT_X, 2, 0, 308},
      {CSTAT_Y, 0, 1, 108 - 224},  // the relative mode always uses the centres
      {CSTAT_Y, 2, 1, 115 - 15},   // foot point
      {CSTAT_Y, 2, 2, 115 - 15},   // walking: foot point
      {CSTAT_Y, 1, 0, 10 - 320 + 108},
  };
  for (const Read& r : reads) {
    Run({{STP_LEFT_CLASS, 1},
         {STP_LEFT_VAR, 2},
         {STP_RIGHT_TYPE, 2},
         {STP_RIGHT_OWNER, 1},
         {STP_RIGHT_KIND, r.kind},
         {STP_RIGHT_COORD, r.mode},
         {STP_RIGHT_YPOINT, r.point}});
    EXPECT_EQ(g_SaveData.m_CommonVars[2], r.expected) << r.kind << " mode " << r.mode;
  }
  targets[0]->bWalking = false;
  Run({{STP_LEFT_CLASS, 1},
       {STP_LEFT_VAR, 2},
       {STP_RIGHT_TYPE, 2},
       {STP_RIGHT_OWNER, 1},
       {STP_RIGHT_KIND, CSTAT_Y},
       {STP_RIGHT_COORD, 2},
       {STP_RIGHT_YPOINT, 2}});
  EXPECT_EQ(g_SaveData.m_CommonVars[2], 108);  // flying: centre

  // Writes: set places the point; add starts from 0 in the relative mode and from the reading
  // in the screen mode.
  Run({{STP_LEFT_OWNER, 0}, {STP_LEFT_KIND, CSTAT_X}, {STP_CONSTANT, 100}, {STP_LEFT_COORD, 1}});
  Run({{STP_LEFT_OWNER, 0},
       {STP_LEFT_KIND, CSTAT_X},
       {STP_OPERATION, CALC_ADD},
       {STP_CONSTANT, 10},
       {STP_LEFT_COORD, 0}});
  Run({{STP_LEFT_OWNER, 0},
       {STP_LEFT_KIND, CSTAT_X},
       {STP_OPERATION, CALC_ADD},
       {STP_CONSTANT, 10},
       {STP_LEFT_COORD, 2}});
  Run({{STP_LEFT_OWNER, 0},
       {STP_LEFT_KIND, CSTAT_Y},
       {STP_CONSTANT, 99999},
       {STP_LEFT_COORD, 2},
       {STP_LEFT_YPOINT, 1}});
  ASSERT_EQ(stage.warps.size(), 4u);
  const cEdMove& x = stage.warps[0].move;
  EXPECT_EQ(stage.warps[0].chara, me);
  EXPECT_EQ(x.m_cMode, 5);
  EXPECT_EQ(x.m_cUseX, 1);
  EXPECT_EQ(x.m_cUseY, 0);
  EXPECT_EQ(x.m_cUnit, 1);
  EXPECT_EQ(x.m_cYPoint, 0);
  EXPECT_EQ(x.m_cMirrorX, 0);
  EXPECT_EQ(x.m_cMirrorY, 0);
  EXPECT_EQ(x.m_cCoordMode, 1);
  EXPECT_EQ(x.m_sTargetX, 100);
  EXPECT_EQ(x.m_sTargetDotX, 0);
  EXPECT_EQ(stage.warps[1].move.m_sTargetX, 10);
  EXPECT_EQ(stage.warps[1].move.m_cCoordMode, 0);
  EXPECT_EQ(stage.warps[2].move.m_sTargetX, 126);
  const cEdMove& y = stage.warps[3].move;
  EXPECT_EQ(y.m_cUseX, 0);
  EXPECT_EQ(y.m_cUseY, 1);
  EXPECT_EQ(y.m_cUnit, 1);
  EXPECT_EQ(y.m_cYPoint, 1);
  EXPECT_EQ(y.m_cCoordMode, 2);
  EXPECT_EQ(y.m_sTargetY, 16384);
}

TEST_F(ExecStatusTest, OldProjectsWarpByDotsOffsetToTheBlockCorner) {
  g_SystemData.m_bCompat895 = 1;
  Run({{STP_LEFT_OWNER, 0}, {STP_LEFT_KIND, CSTAT_X}, {STP_CONSTANT, 100}, {STP_LEFT_COORD, 1}});
  Run({{STP_LEFT_OWNER, 0}, {STP_LEFT_KIND, CSTAT_X}, {STP_CONSTANT, 100}, {STP_LEFT_COORD, 0}});
  Run({{STP_LEFT_OWNER, 0}, {STP_LEFT_KIND, CSTAT_Y}, {STP_CONSTANT, 100}, {STP_LEFT_COORD, 2}, {STP_LEFT_YPOINT, 1}});
  ASSERT_EQ(stage.warps.size(), 3u);
  EXPECT_EQ(stage.warps[0].move.m_sTargetX, 0);
  EXPECT_EQ(stage.warps[0].move.m_sTargetDotX, 84);
  EXPECT_EQ(stage.warps[1].move.m_sTargetDotX, 100);
  const cEdMove& y = stage.warps[2].move;
  EXPECT_EQ(y.m_sTargetY, 0);
  EXPECT_EQ(y.m_sTargetDotY, 84);
  EXPECT_EQ(y.m_cUnit, 0);  // the fresh record's own
  EXPECT_EQ(y.m_cYPoint, 0);
}

}  // namespace
}  // namespace t4::test
