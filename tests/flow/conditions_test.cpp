// Condition lists with their latch, the status condition read through a stand-in stage, and the
// state and distance conditions of characters.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "data/flow_kinds.h"
#include "flow/conditions.h"
#include "flow/exec_status.h"
#include "flow/status_table.h"
#include "persist/replay.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "stage/chara_base.h"
#include "stage/game.h"
#include "stage/item.h"
#include "support/scoped_value.h"
#include "fake_flow_stage.h"

namespace t4::test {
namespace {

cCond CommonVarIs(int n, int32_t value, int op = CMP_EQ) {
  cCond c;
  c.m_cKind = COND_COMMON_VAR;
  c.m_sIndex = static_cast<int16_t>(n);
  c.m_nValue = value;
  c.m_cOperator = static_cast<int8_t>(op);
  return c;
}

class Conditions : public ::testing::Test {
 protected:
  ScopedValue<cSafeVector<int32_t>> vars{g_SaveData.m_CommonVars, cSafeVector<int32_t>(1001, 0)};
  int32_t& Var(int n) { return g_SaveData.m_CommonVars.At(n); }
};

TEST_F(Conditions, ListModes) {
  Var(1) = 5;
  Var(2) = 7;
  const cCond yes = CommonVarIs(1, 5), no = CommonVarIs(2, 5);
  struct Case {
    std::vector<cCond> conds;
    int mode;
    int result;
  };
  const Case cases[] = {
      {{}, 0, 1},        {{}, 1, 0},       {{yes, yes}, 0, 1}, {{yes, no}, 0, 0},
      {{no, yes}, 1, 1}, {{no, no}, 1, 0}, {{yes}, 2, 0},      {{yes}, -1, 0},
  };
  for (const Case& c : cases) {
    cSafeVector<cCond> list;
    for (const cCond& k : c.conds) list.push_back(k);
    EXPECT_EQ(CheckCondList(list, c.mode, nullptr), c.result) << c.conds.size() << " mode " << c.mode;
  }
}

TEST_F(Conditions, VariableComparisons) {
  Var(3) = -12;
  struct Case {
    int op;
    int32_t value;
    int result;
  };
  const Case cases[] = {
      {CMP_EQ, -12, 1},      {CMP_NE, -12, 0},          {CMP_GE, -12, 1},           {CMP_LE, -13, 0},
      {CMP_GT, -13, 1},      {CMP_LT, -12, 0},          {CMP_DIVISIBLE, 4, 1},      {CMP_DIVISIBLE, -5, 0},
      {CMP_DIVISIBLE, 0, 1}, {CMP_NOT_DIVISIBLE, 0, 0}, {CMP_NOT_DIVISIBLE, -5, 1}, {8, -12, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CheckCond(CommonVarIs(3, c.value, c.op), nullptr), c.result) << c.op << " " << c.value;
  Var(3) = std::numeric_limits<int32_t>::min();
  EXPECT_EQ(CheckCond(CommonVarIs(3, -1, CMP_DIVISIBLE), nullptr), 1);
  cCond unknown = CommonVarIs(3, 0);
  unknown.m_cKind = 0;
  EXPECT_EQ(CheckCond(unknown, nullptr), 0);
}

TEST_F(Conditions, LatchedListStaysTrueOnceItHeld) {
  cSafeVector<cCond> list{CommonVarIs(1, 1)};
  for (int latch : {0, 1}) {
    int8_t latched = 0;
    Var(1) = 0;
    EXPECT_EQ(CheckLatchedConds(list, 0, latch, latched, nullptr), 0);
    Var(1) = 1;
    EXPECT_EQ(CheckLatchedConds(list, 0, latch, latched, nullptr), 1);
    EXPECT_EQ(latched, 1);
    Var(1) = 0;
    EXPECT_EQ(CheckLatchedConds(list, 0, latch, latched, nullptr), latch);
  }
  int8_t latched = 0;
  EXPECT_EQ(CheckLatchedConds(cSafeVector<cCond>(), 1, 0, latched, nullptr), 1);  // an empty holder list holds
}

TEST_F(Conditions, CharactersAndItemsKeepTheirOwnLatch) {
  cCharaBase chara;
  cItem item;
  for (cSafeVector<cCond>* conds : {&chara.m_Def.m_Conds, &item.m_Def.m_Conds}) conds->push_back(CommonVarIs(1, 1));
  chara.m_Def.m_cCondLatch = 1;
  item.m_Def.m_cCondLatch = 0;
  EXPECT_EQ(CheckCharaCond(chara), 0);
  EXPECT_EQ(CheckItemCond(item), 0);
  Var(1) = 1;
  EXPECT_EQ(CheckCharaCond(chara), 1);
  EXPECT_EQ(CheckItemCond(item), 1);
  Var(1) = 0;
  EXPECT_EQ(CheckCharaCond(chara), 1);
  EXPECT_EQ(CheckItemCond(item), 0);
}

class StatusCond : public Conditions {
 protected:
  cCond Status(int owner, int kind, int op, int32_t value) {
    cCond c;
    c.m_cKind = COND_STATUS;
    c.m_cLeftKind = 0;
    c.m_cOwner = static_cast<int8_t>(owner);
    c.m_cItem = static_cast<int8_t>(kind);
    c.m_cOperator = static_cast<int8_t>(op);
    c.m_nValue = value;
    return c;
  }
  int Check(const cCond& c) { return CheckStatusCond(stage, c, FakeFlowStage::Handle(&self)); }

  FakeFlowStage stage;
  FakeChara& self = stage.AddChara();
  ScopedRestore<int32_t> lives{g_SaveData.m_nLives};
  ScopedRestore<int32_t> livesZero{g_SystemData.m_bCompat819};
};

TEST_F(StatusCond, PercentOfTheMaximumRoundsHalfAway) {
  self.def.m_nMaxHp = 7;
  cCond c = Status(0, CSTAT_HP, CMP_EQ, 50);
  c.m_cRightMode = 1;  // 50 % of 7 = 3.5 -> 4
  self.hp = 4;
  EXPECT_EQ(Check(c), 1);
  self.hp = 3;
  EXPECT_EQ(Check(c), 0);
  c.m_nValue = 200;  // 14, clamped to nothing more than the HP range allows
  self.hp = 14;
  EXPECT_EQ(Check(c), 1);
}

TEST_F(StatusCond, ByteStatusesCompareAtTheirWidth) {
  // The ID is a byte: 300 compares as its low byte, 44.
  self.def.m_cCharaId = 44;
  EXPECT_EQ(Check(Status(0, CSTAT_CHARA_ID, CMP_EQ, 300)), 1);
  EXPECT_EQ(Check(Status(0, CSTAT_CHARA_ID, CMP_EQ, 44)), 1);
  self.def.m_nMaxHp = 300;
  EXPECT_EQ(Check(Status(0, CSTAT_MAX_HP, CMP_EQ, 44)), 0);
}

TEST_F(StatusCond, UnlimitedLivesAndTheOlderRule) {
  g_SaveData.m_nLives = LIVES_INFINITE;
  const cCond left = Status(OWNER_SYSTEM, SSTAT_LIVES, CMP_EQ, 100);
  cCond right = Status(0, CSTAT_VAR, CMP_EQ, 0);
  right.m_sIndex = 2;
  right.m_cRightKind = 2;
  right.m_cRightOwner = OWNER_SYSTEM;
  right.m_cRightItem = SSTAT_LIVES;
  self.vars.At(2) = 100;
  g_SystemData.m_bCompat819 = 0;
  EXPECT_EQ(Check(left), 1);
  EXPECT_EQ(Check(right), 1);
  g_SystemData.m_bCompat819 = 1;
  EXPECT_EQ(Check(Status(OWNER_SYSTEM, SSTAT_LIVES, CMP_NE, 100)), 0);  // false whatever the test
  self.vars.At(2) = 0;
  EXPECT_EQ(Check(right), 1);
}

TEST_F(StatusCond, OwnersThatNameNoCharacterFail) {
  self.def.m_nMaxHp = 5;
  EXPECT_EQ(Check(Status(0, CSTAT_MAX_HP, CMP_EQ, 5)), 1);
  EXPECT_EQ(Check(Status(1, CSTAT_MAX_HP, CMP_EQ, 5)), 0);  // empty target slot
  EXPECT_EQ(Check(Status(6, CSTAT_MAX_HP, CMP_EQ, 5)), 0);
  EXPECT_EQ(Check(Status(-1, CSTAT_MAX_HP, CMP_EQ, 5)), 0);
  EXPECT_EQ(Check(Status(0, 17, CMP_EQ, 0)), 0);
  FakeChara& other = stage.AddChara();
  other.def.m_nMaxHp = 5;
  self.targets[2] = &other;
  EXPECT_EQ(Check(Status(3, CSTAT_MAX_HP, CMP_EQ, 5)), 1);
  cCond fromEmpty = Status(0, CSTAT_MAX_HP, CMP_EQ, 5);
  fromEmpty.m_cRightKind = 2;
  fromEmpty.m_cRightOwner = 2;  // slot 2 is empty
  fromEmpty.m_cRightItem = CSTAT_MAX_HP;
  EXPECT_EQ(Check(fromEmpty), 0);
}

TEST_F(StatusCond, RightStatusOfStopEaseRefreshesFriction) {
  self.def.m_sStopping = 0;
  cCond c = Status(0, CSTAT_STOPPING, CMP_EQ, 0);
  c.m_cRightKind = 2;
  c.m_cRightOwner = 0;
  c.m_cRightItem = CSTAT_STOPPING;
  EXPECT_EQ(Check(c), 1);
  EXPECT_EQ(self.frictionRefreshes, 1);
}

TEST_F(StatusCond, VariableLeftSideComparesWithZeroUnderThePercentFlag) {
  Var(4) = 0;
  cCond c = Status(0, 0, CMP_EQ, 30);
  c.m_cLeftKind = 1;
  c.m_cLeftScope = 0;
  c.m_sIndex = 4;
  EXPECT_EQ(Check(c), 0);
  c.m_cRightMode = 1;
  EXPECT_EQ(Check(c), 1);
  c.m_cLeftScope = 2;  // neither common nor stage
  EXPECT_EQ(Check(c), 0);
}

class CharaConds : public ::testing::Test {
 protected:
  CharaConds() {
    self.m_Targets.assign(4, nullptr);
    other.m_Targets.assign(4, nullptr);
  }
  cCond Make(int kind, int owner, int item, int op) {
    cCond c;
    c.m_cKind = static_cast<int8_t>(kind);
    c.m_cOwner = static_cast<int8_t>(owner);
    c.m_cItem = static_cast<int8_t>(item);
    c.m_cOperator = static_cast<int8_t>(op);
    return c;
  }
  // The distance condition "target 1 within 6 half blocks (96 dots) on the X axis" while the
  // target stands 40 dots to the right but its screen rectangle is still a far-off one: 1 when
  // the rectangle is refreshed first, 0 when the stale one is judged.
  int StaleTargetInRange() {
    self.m_nDrawWidth = self.m_nDrawHeight = other.m_nDrawWidth = other.m_nDrawHeight = 32;
    other.m_dX = 40;
    const int32_t stale[4] = {5000, 0, 5031, 31};
    std::copy(stale, stale + 4, other.m_rcScreen);
    self.m_Targets.At(0) = &other;
    cCond c = Make(COND_DISTANCE, 1, 0, 0);
    c.m_cShape = 0;  // both sides on the X axis
    c.m_nValue = 6;
    return CheckCond(c, &self);
  }
  cCharaBase self;
  cCharaBase other;
};

TEST_F(CharaConds, FacingAndExistenceWithNegation) {
  other.m_bRight = 1;
  self.m_Targets.At(0) = &other;
  EXPECT_EQ(CheckCond(Make(COND_STATUS3, 1, 1, 0), &self), 1);
  EXPECT_EQ(CheckCond(Make(COND_STATUS3, 1, 1, 1), &self), 0);
  EXPECT_EQ(CheckCond(Make(COND_STATUS3, 0, 0, 0), &self), 1);  // self faces left
  // An empty slot: false, and the negation does not apply, except to "exists".
  EXPECT_EQ(CheckCond(Make(COND_STATUS3, 2, 1, 1), &self), 0);
  EXPECT_EQ(CheckCond(Make(COND_STATUS3, 2, 4, 0), &self), 0);
  EXPECT_EQ(CheckCond(Make(COND_STATUS3, 2, 4, 1), &self), 1);
  EXPECT_EQ(CheckCond(Make(COND_STATUS3, 1, 4, 0), &self), 1);
}

TEST_F(CharaConds, StateFlagsOfTheDefinition) {
  self.m_Def.m_cInvincible = 1;
  cCond c = Make(COND_STATUS2, 0, 4, CMP_EQ);
  c.m_sIndex = 1;
  EXPECT_EQ(CheckCond(c, &self), 1);
  c.m_sIndex = 0;
  EXPECT_EQ(CheckCond(c, &self), 0);
  c.m_cItem = 0;  // "vanish" is no state to test
  EXPECT_EQ(CheckCond(c, &self), 0);
}

TEST_F(CharaConds, OlderRuleJudgesAgainstTheTargetsLastDrawnPlace) {
  for (int32_t older : {0, 1}) {
    ScopedValue<int32_t> rule(g_SystemData.m_bCompat782, older);
    EXPECT_EQ(StaleTargetInRange(), older ? 0 : 1) << older;
  }
}

TEST_F(CharaConds, ReplaysOfVersion781OrOlderJudgeAgainstTheTargetsLastDrawnPlace) {
  // Only a replay that plays (the title's replay choice) brings its file version's rule back.
  struct Case {
    int32_t choice, version, inRange;
  } cases[] = {{TITLE_CHOICE_REPLAY, 781, 0},
               {TITLE_CHOICE_REPLAY, 600, 0},
               {TITLE_CHOICE_REPLAY, 782, 1},
               {TITLE_CHOICE_REPLAY, DATA_VERSION, 1},
               {TITLE_CHOICE_FREE, 781, 1}};
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << "choice " << k.choice << " version " << k.version);
    ScopedValue<int32_t> choice(g_Game.m_nTitleChoice, k.choice);
    ScopedValue<int32_t> version(g_Replay.m_nFileVersion, k.version);
    EXPECT_EQ(StaleTargetInRange(), k.inRange);
  }
}

TEST_F(CharaConds, CircleDistanceIncludesItsEdge) {
  // Centres 40 and 30 dots apart: 50 dots = 3 half blocks + 2 dots.
  self.m_nHitWidth = self.m_nHitHeight = other.m_nHitWidth = other.m_nHitHeight = 32;
  other.m_dX = 40;
  other.m_dY = 30;
  self.m_Targets.At(0) = &other;
  struct Case {
    int dots, op, result;
  };
  for (const Case& k : {Case{2, 0, 1}, Case{1, 0, 0}, Case{1, 1, 1}, Case{2, 1, 0}}) {
    cCond c = Make(COND_DISTANCE, 1, 0, k.op);
    c.m_cShape = 6;
    c.m_nValue = 3;
    c.m_sRightIndex = static_cast<int16_t>(k.dots);
    EXPECT_EQ(CheckCond(c, &self), k.result) << k.dots << " " << k.op;
  }
}

TEST_F(CharaConds, RangeOfAnyStoredSizeReachesAFarTarget) {
  // 2^31 - 1 half blocks is past anything a stage holds: the target 100,000 dots away is in range,
  // on the X axis and in the circle, and the range itself does not wrap round to a negative one.
  self.m_nHitWidth = self.m_nHitHeight = other.m_nHitWidth = other.m_nHitHeight = 32;
  self.m_nDrawWidth = self.m_nDrawHeight = other.m_nDrawWidth = other.m_nDrawHeight = 32;
  other.m_dX = 100000;
  self.m_Targets.At(0) = &other;
  for (int shape : {0, 6}) {
    cCond c = Make(COND_DISTANCE, 1, 0, 0);
    c.m_cShape = static_cast<int8_t>(shape);
    c.m_nValue = std::numeric_limits<int32_t>::max();
    c.m_sRightIndex = 32767;
    EXPECT_EQ(CheckCond(c, &self), 1) << shape;
    c.m_cOperator = 1;  // "outside"
    EXPECT_EQ(CheckCond(c, &self), 0) << shape;
  }
}

}  // namespace
}  // namespace t4::test
