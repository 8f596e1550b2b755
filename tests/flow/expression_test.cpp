#include <string>
#include <vector>

#include "flow/expression.h"
#include "flow_fixture.h"

namespace t4::test {
namespace {

class ExpressionTest : public FlowTest {
 protected:
  void SetUp() override {
    FlowTest::SetUp();
    me->vars[1] = 11;
    me->vars[8] = 18;
    for (int i = 0; i < 4; ++i) targets[i]->vars[1] = 21 + i;
    hero->vars[1] = 31;
  }
  int Run(const std::string& text) { return RunCode(stage, text, Me()); }
  // Runs "C1 = <expression>" and gives C1.
  int32_t Value(const std::string& expression) {
    g_SaveData.m_CommonVars[1] = -12345;
    EXPECT_EQ(Run("C1 = " + expression), 1) << expression;
    return g_SaveData.m_CommonVars[1];
  }
  int32_t& C(int n) { return g_SaveData.m_CommonVars[n]; }
};

TEST_F(ExpressionTest, OperatorsPrecedenceAndAssociativity) {
  struct Case {
    const char* expression;
    int32_t expected;
  };
  const Case cases[] = {
      {"1 + 2 * 3", 7},
      {"7 - 2 * 3", 1},
      {"10 - 4 - 3", 3},
      {"100 / 10 / 5", 2},
      {"2 * 3 % 4", 2},
      {"7 % 3 * 2", 2},
      {"8 / 2 + 6 / 3", 6},
      {"-7 / 2", -3},
      {"-7 % 3", -1},
      {"7 % -3", 1},
      {"(1 + 2) * 3", 9},
      {"((2 + 3) * (1 + 1)) - 1", 9},
      {"2 * (10 - (3 + 1))", 12},
      {"1+2", 1},  // without blanks one word: the constant 1
      {"12abc", 12},
      {"abc", 0},
      {"+5", 5},
      {"1.5", 5},        // an unknown prefix after a token is dropped
      {"()", 0},         // an empty group has the value 0
      {"(1)(2)", 1},     // the value starts the word "1(2)", read as the constant 1
      {"(0 - 5)x", -5},  // likewise "-5x"
      {"-(2)", 0},       // "(" inside a word that is no function name is an ordinary character
      {"999999", 999999},
      {"2000000", 999999},
      {"-2000000", -999999},
      {"99999999999", 999999},
      {"-99999999999", -999999},
      // int32 wrap of + - *, no trap for INT_MIN / -1, then the assignment range.
      {"2147483647 + 1", -999999},
      {"-2147483648 - 1", 999999},
      {"65536 * 65536", 0},
      {"-2147483648 / -1", -999999},
      {"-2147483648 % -1", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(Value(c.expression), c.expected) << c.expression;
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(ExpressionTest, VariablesAreReadBeforeAnyAssignment) {
  C(1) = 8;
  stage.stageVars[3] = 33;
  EXPECT_EQ(Run("C1 = 5 C2 = C1"), 1);
  EXPECT_EQ(C(1), 5);
  EXPECT_EQ(C(2), 8);  // C1's value from before the text ran
  EXPECT_EQ(Value("S3 + C+1000"), 33);
  EXPECT_EQ(Run("S4 = S3 * 2 Sx = 7 C1000 = -1"), 1);
  EXPECT_EQ(stage.stageVars[4], 66);
  EXPECT_EQ(stage.stageVars[0], 7);  // a word without a number is variable 0
  EXPECT_EQ(C(1000), -1);
}

TEST_F(ExpressionTest, StatusesOfEachObject) {
  cCharaDef& d = me->def;
  d.m_cCharaId = 42;
  d.m_cZOrder = 5;
  d.m_sBadgeNo = 117;
  d.m_cSightRange = 12;
  d.m_nBodyPower = -300;
  d.m_cBodyImpact = -7;
  d.m_nDefence = 9000;
  d.m_cImpactResist = 19;
  d.m_sStopping = 150;
  d.m_nScore = 4321;
  hero->def.m_nMaxHp = 444;
  g_SaveData.m_nStageScore = 5555;
  stage.time = 77;
  g_Stage.m_nAutoScrollX = -30;
  g_Stage.m_nAutoScrollY = 45;
  struct Case {
    const char* expression;
    int32_t expected;
  };
  const Case cases[] = {
      {"v1", 11},          {"my.v1", 11},
      {"v8", 18},          {"tg.v1", 21},
      {"tg1.v1", 21},      {"tg2.v1", 22},
      {"tg3.v1", 23},      {"tg4.v1", 24},
      {"pl.v1", 31},       {"pl.mhp", 444},
      {"hp", 80},          {"sp", 30},
      {"mhp", 100},        {"msp", 50},
      {"cid", 42},         {"z", 5},
      {"mark", 117},       {"sight", 12},
      {"power", -300},     {"imp", -7},
      {"def", 9000},       {"impd", 19},
      {"stop", 150},       {"getsc", 4321},
      {"time", 77},        {"sys.time", 77},
      {"tg2.time", 77},    {"scrlx", -30},
      {"scrly", 45},       {"score", 5555},
      {"sys.score", 5555}, {"life", 3},
      {"sys.C2", 0},       {"tg.hp + my.hp * 2", 240},
  };
  for (const Case& c : cases) EXPECT_EQ(Value(c.expression), c.expected) << c.expression;
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(ExpressionTest, PositionStatuses) {
  me->rect = {100, 200, 131, 247, 32, 48};          // centre 116, 224
  targets[0]->rect = {300, 100, 315, 115, 16, 16};  // centre 308, 108; foot 100
  stage.scrollPos[0] = 640.5;
  stage.scrollMargin[0] = 10;
  stage.scrollPos[1] = 0;
  stage.scrollMargin[1] = 10;
  EXPECT_EQ(Value("tg.x_rel"), 192);
  EXPECT_EQ(Value("tg.x_abs"), 640 - 320 + 308);
  EXPECT_EQ(Value("tg.x_scr"), 308);
  EXPECT_EQ(Value("tg.y_rel"), -116);
  EXPECT_EQ(Value("tg.y_abs"), -320 + 108);  // the centre, whatever the way of moving
  EXPECT_EQ(Value("tg.y_scr"), 108);

  for (int32_t compat : {0, 1}) {
    g_SystemData.m_bCompat896 = compat;
    stage.warps.clear();
    EXPECT_EQ(Run("tg.x_abs = 20000 y_scr = 50 y_rel = 1 - 3"), 1);
    ASSERT_EQ(stage.warps.size(), 3u);
    EXPECT_EQ(stage.warps[0].chara, targets[0]);
    EXPECT_EQ(stage.warps[0].move.m_cCoordMode, 1);
    EXPECT_EQ(stage.warps[0].move.m_sTargetX, 16384);
    EXPECT_EQ(stage.warps[1].chara, me);
    EXPECT_EQ(stage.warps[1].move.m_cCoordMode, 2);
    EXPECT_EQ(stage.warps[1].move.m_sTargetY, 50);
    // Projects of the versions that aimed at the centre keep doing so.
    EXPECT_EQ(stage.warps[1].move.m_cYPoint, compat ? 0 : 2);
    EXPECT_EQ(stage.warps[2].move.m_cCoordMode, 0);
    EXPECT_EQ(stage.warps[2].move.m_sTargetY, -2);
  }
}

TEST_F(ExpressionTest, AssignmentRangesAndWidths) {
  struct Case {
    const char* text;
    const char* read;  // read back with a second run
    int32_t expected;
  };
  const Case cases[] = {
      {"cid = 300", "cid", 99},
      {"cid = -4", "cid", 0},
      {"z = -1", "z", 0},
      {"z = 8", "z", 7},
      {"mark = 500", "mark", 119},
      {"sight = 50", "sight", 40},
      {"power = -2000000", "power", -999999},
      {"imp = 30", "imp", 20},
      {"imp = -30", "imp", -20},
      {"def = -5", "def", 0},
      {"impd = 21", "impd", 20},
      {"stop = 201", "stop", 200},
      {"stop = 70000", "stop", 200},
      {"getsc = -5", "getsc", -5},
      {"hp = 500", "hp", 100},
      {"sp = -1", "sp", 0},
      {"mhp = 0", "mhp", 1},
      {"msp = 2000000", "msp", 999999},
      {"v8 = 1000000", "v8", 999999},
      {"tg3.v2 = -7", "tg3.v2", -7},
      {"time = 1000", "time", 999},
      {"time = -1", "time", 0},
      {"scrlx = -500", "scrlx", -480},
      {"scrly = 481", "scrly", 480},
      {"score = 1000000", "score", 999999},
      {"life = 100", "life", 99},
      {"life = -1", "life", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.text), 1) << c.text;
    EXPECT_EQ(Value(c.read), c.expected) << c.text;
  }
  EXPECT_TRUE(BoxTexts().empty());
  ASSERT_EQ(stage.autoScroll.size(), 2u);
  EXPECT_EQ(stage.autoScroll[0].axis, SCROLL_AXIS_X);
  EXPECT_EQ(stage.autoScroll[0].speed, -480);
  EXPECT_EQ(stage.autoScroll[1].axis, SCROLL_AXIS_Y);
  EXPECT_EQ(stage.autoScroll[1].speed, 480);
}

TEST_F(ExpressionTest, AssignmentSideEffects) {
  EXPECT_EQ(Run("my.hp = 0"), 1);
  EXPECT_EQ(stage.hpCheckRequests, 0);
  EXPECT_EQ(Run("tg.hp = 0"), 1);
  EXPECT_EQ(targets[0]->hp, 0);
  EXPECT_EQ(stage.hpCheckRequests, 1);

  // A new maximum brings HP and SP into 1..maximum, also up from 0.
  EXPECT_EQ(Run("tg.mhp = 50 tg2.msp = 20"), 1);
  EXPECT_EQ(targets[0]->hp, 1);
  EXPECT_EQ(targets[1]->sp, 20);

  EXPECT_EQ(Run("sight = 3 tg.sight = 4"), 1);
  EXPECT_EQ(me->sightRadius, 48);
  EXPECT_EQ(targets[0]->def.m_cSightRange, 4);
  EXPECT_EQ(targets[0]->sightRadius, -1);  // only the hero side sees through darkness

  g_SaveData.m_nLives = LIVES_INFINITE;
  EXPECT_EQ(Run("life = 5"), 1);
  EXPECT_EQ(g_SaveData.m_nLives, LIVES_INFINITE);
}

TEST_F(ExpressionTest, HpAndSpGaugesStartOnlyAfterASuccessfulRun) {
  EXPECT_EQ(Run("hp = 50 sp = sp + 5"), 1);
  EXPECT_EQ(me->hpGauge, std::vector<int32_t>{-30});
  EXPECT_EQ(me->spGauge, std::vector<int32_t>{5});
  EXPECT_EQ(Run("hp = 50"), 1);
  EXPECT_EQ(me->hpGauge.size(), 1u);  // no change, no gauge
  EXPECT_EQ(Run("hp = 20 C1 = 1 / 0"), 0);
  EXPECT_EQ(me->hpGauge.size(), 1u);
}

TEST_F(ExpressionTest, OlderSwitches) {
  struct Case {
    const char* expression;
    int32_t fold;
    int32_t livesZero;
    int32_t expected;
  };
  g_SaveData.m_nLives = LIVES_INFINITE;
  const Case cases[] = {
      {"10 - 4 - 3", 0, 0, 3}, {"10 - 4 - 3", 1, 0, 6},  // old fold: the right operand stays as a token of its own
      {"2 * 3 + 1", 0, 0, 7},  {"2 * 3 + 1", 1, 0, 6},  {"1 + 2 * 3", 1, 0, 7}, {"life", 0, 0, 100}, {"life", 0, 1, 0},
  };
  for (const Case& c : cases) {
    g_SystemData.m_bCompat752 = c.fold;
    g_SystemData.m_bCompat819 = c.livesZero;
    EXPECT_EQ(Value(c.expression), c.expected) << c.expression << " fold " << c.fold;
  }
}

TEST_F(ExpressionTest, RandomNumbers) {
  for (int seed = 1; seed <= 50; ++seed) {
    t4::platform::SeedRand(static_cast<uint32_t>(seed));
    int32_t a = Value("rand(1, 6)");
    EXPECT_GE(a, 1);
    EXPECT_LE(a, 6);
    int32_t b = Value("rand(6,1) * 10");
    EXPECT_GE(b, 10);
    EXPECT_LE(b, 60);
    EXPECT_EQ(b % 10, 0);
    Value("rand(-2147483648, 2147483647)");
  }
  EXPECT_EQ(Value("rand(3, 3) + 1"), 4);
  EXPECT_EQ(Value("rand(3, 3)(4) + rand(2, 2)"), 5);  // the call's value starts the word "3(4)"
  EXPECT_EQ(Value("rand((1 + 1), rand(2, 2))"), 2);
  EXPECT_EQ(Value("rand(, 5,, 5)"), 5);  // empty arguments are skipped
  EXPECT_EQ(Value("xrand(1, 2)"), 0);    // not a function: an ordinary word
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(ExpressionTest, EveryErrorShowsItsBoxAndFailsTheRun) {
  struct Case {
    const char* text;
    const char* message;  // empty: no box
  };
  const Case cases[] = {
      {"C1 = (1 + 2", "\")\"が見つかりません！"},
      {"C1 = rand(1)", "関数 rand の引数が不正です！"},
      {"C1 = rand(1, 2, 3)", "関数 rand の引数が不正です！"},
      {"C1 = rand(1, (2)", "関数 rand で\")\"が見つかりません！"},
      {"hoge.hp = 1", "オブジェクト \"hoge.\" が認識できません！"},
      {"my.hoge.hp = 1", "オブジェクト \"hoge.\" が認識できません！"},
      {"C1 = 1 / 0", "0除算が行われました！(C1 = 1 / 0)"},
      {"C1 = (4 - 1) % (2 - 2)", "0除算が行われました！(C1 = 3 % 0)"},
      {"5 = 3", "代入先が不正です！"},
      {"= 5", "代入先が不正です！"},
      {"(C1) = 5", "代入先が不正です！"},
      {"v9 = 5", "代入先が不正です！"},
      {"C1 =", "演算子 = の項がありません！"},
      {"C1 = 5 +", "演算子 + の項がありません！"},
      {"C1001 = 1", "変数 C1001 は範囲外です！"},
      {"C1 = S1000", "変数 S1000 は範囲外です！"},
      {"C-1 = 1", "変数 C-1 は範囲外です！"},
      {"sys.hp = 1", "sys にキャラクターのステータス hp はありません！"},
  };
  for (const Case& c : cases) {
    m_boxes.Clear();
    EXPECT_EQ(Run(c.text), 0) << c.text;
    ASSERT_EQ(BoxTexts().size(), 1u) << c.text;
    EXPECT_EQ(BoxTexts()[0], c.message) << c.text;
    EXPECT_EQ(BoxCaptions()[0], "エラー");
  }
  // An empty target slot fails without a box.
  me->targets[0] = nullptr;
  m_boxes.Clear();
  EXPECT_EQ(Run("tg.hp = 1"), 0);
  EXPECT_EQ(Run("C1 = tg1.v1"), 0);
  stage.hero = nullptr;
  EXPECT_EQ(Run("C1 = pl.v1"), 0);
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(ExpressionTest, AnEmptyOrBlankTextSucceedsAndDoesNothing) {
  C(1) = 4;
  for (const char* text : {"", " ", "   "}) {
    EXPECT_EQ(Run(text), 1) << '"' << text << '"';
    EXPECT_EQ(C(1), 4);
  }
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(ExpressionTest, AnOperatorTokenBesideAnotherIsFoldedAsAnOperandOfValue0) {
  // Each operator takes the tokens next to it, whatever their kind; an operator token taken as an
  // operand counts 0. Before the text runs C1 = 9, C2 = 1, C3 = 5.
  struct Case {
    const char* text;
    int oldFold;
    int result;  // RunCode's
    int32_t c1, c2;
  };
  const Case cases[] = {
      // "-" takes "=" (0) and C3: C1 = 0 - 5 loses its "=", C2 = 7 still runs.
      {"C2 = 7 C1 = - C3", 0, 1, 9, 7},
      {"C1 = = 5", 0, 1, 0, 1},      // C1 = (the second "=", 0), then 5 stands alone
      {"C1 = * 5", 0, 1, 9, 1},      // "*" takes "=" and 5: nothing is left to assign
      {"C1 = 2 * + 3", 0, 1, 0, 1},  // 2 * 0, then C1 = 0 with 3 alone
      {"C1 = 6 - - 2", 0, 1, 6, 1},  // 6 - 0, then C1 = 6
      // Folding only the left operand and the operator leaves the second "=" behind, now with a
      // folded value on its left.
      {"C1 = = 5", 1, 0, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text << " old fold " << c.oldFold);
    g_SystemData.m_bCompat752 = c.oldFold;
    C(1) = 9;
    C(2) = 1;
    C(3) = 5;
    m_boxes.Clear();
    EXPECT_EQ(Run(c.text), c.result);
    EXPECT_EQ(C(1), c.c1);
    EXPECT_EQ(C(2), c.c2);
    EXPECT_EQ(BoxTexts(), c.result ? std::vector<std::string>{} : std::vector<std::string>{"代入先が不正です！"});
  }
}

TEST_F(ExpressionTest, WhatWasAssignedBeforeAnErrorStays) {
  // An error inside a group gives 0 there and the rest of the text still runs.
  EXPECT_EQ(Run("C2 = 3 C1 = (1 / 0)"), 0);
  EXPECT_EQ(C(2), 3);
  EXPECT_EQ(C(1), 0);
  // Assignments fold after division, so the failing division stops them all.
  C(1) = 9;
  EXPECT_EQ(Run("C1 = 5 C2 = 1 / 0"), 0);
  EXPECT_EQ(C(1), 9);
  // Assignment is not chained: C1 takes C2's old value, then the folded result is no target.
  C(2) = 4;
  EXPECT_EQ(Run("C1 = C2 = 5"), 0);
  EXPECT_EQ(C(1), 4);
  EXPECT_EQ(C(2), 4);
}

TEST_F(ExpressionTest, NestingIsLimited) {
  auto nested = [](int depth) { return std::string(depth, '(') + "7" + std::string(depth, ')'); };
  EXPECT_EQ(Value(nested(EXPR_MAX_NESTING)), 7);
  m_boxes.Clear();
  EXPECT_EQ(Run("C1 = " + nested(EXPR_MAX_NESTING + 1)), 0);
  EXPECT_EQ(BoxTexts().size(), 1u);
  EXPECT_EQ(Run("C1 = " + nested(100000)), 0);
  std::string rands;
  for (int i = 0; i < 1000; ++i) rands += "rand(1, ";
  rands += "1" + std::string(1000, ')');
  EXPECT_EQ(Run("C1 = " + rands), 0);
}

}  // namespace
}  // namespace t4::test
