// The changeable command parameters and the arrange entries that change them.
#include <gtest/gtest.h>

#include <limits>
#include <set>

#include "data/data_refs.h"
#include "data/ed_shot.h"
#include "data/flow_kinds.h"
#include "flow/cmd_params.h"
#include "persist/save_data.h"
#include "stage/chara_base.h"
#include "support/scoped_value.h"

namespace t4::test {
namespace {

// Ten sounds and five effects; the palettes are not loaded.
class FakeRefs final : public cDataRefs {
 public:
  int GetDatabaseCount(int list) const override { return list == DBLIST_SOUND ? 10 : (list == DBLIST_EFFECT ? 5 : 0); }
  int GetSwordEntryCount(int) const override { return 0; }
  int32_t GetSwordEntryDuration(int, int) const override { return 0; }
  int GetPaletteCount(int palette, int list) const override { return palette == 0 && list == PALLIST_ITEM ? 3 : -1; }
  int KeepTestFlows() const override { return 0; }
};

ARRANGEENTRY Entry(int kind, int param, int op, int scope, int var) {
  return ARRANGEENTRY{kind, param, op, scope, var};
}

cFlowCommand Shot() {
  cFlowCommand c;
  c.m_cKind = CMD_SHOT;
  c.m_pShot.reset(new cEdShot());
  return c;
}

class Arrange : public ::testing::Test {
 protected:
  Arrange() {
    InitCmdParamTable();
    SetDataRefs(&refs);
  }
  ~Arrange() override { SetDataRefs(saved); }
  int32_t& Var(int n) { return g_SaveData.m_CommonVars.At(n); }

  ScopedValue<cSafeVector<int32_t>> vars{g_SaveData.m_CommonVars, cSafeVector<int32_t>(1001, 0)};
  const cDataRefs* saved = GetDataRefs();
  FakeRefs refs;
};

TEST_F(Arrange, TableHoldsTheChangeableParametersOfEachKind) {
  ASSERT_EQ(g_CmdParamTable.size(), static_cast<size_t>(CMD_KIND_COUNT));
  std::set<int> none;
  size_t total = 0;
  for (int k = 0; k < CMD_KIND_COUNT; ++k) {
    if (g_CmdParamTable.At(k).empty()) none.insert(k);
    total += g_CmdParamTable.At(k).size();
  }
  EXPECT_EQ(none, (std::set<int>{0, 1, 3, 4, 7, 8, 16, 18, 23, 27, 28, 37, 38, 39}));
  EXPECT_EQ(total, 136u);
  EXPECT_EQ(g_CmdParamTable.At(CMD_SHOT).size(), 32u);
  EXPECT_EQ(g_CmdParamTable.At(CMD_SHOT).At(28).m_nMin, -999999);
  EXPECT_EQ(g_CmdParamTable.At(CMD_PICTURE).At(6).m_nMax, 1000);
}

TEST_F(Arrange, OperationsWithinTheParameterLimits) {
  struct Case {
    const char* name;
    int param;
    int32_t start;
    int op;
    int32_t operand;
    int32_t expected;
  };
  const Case cases[] = {
      {"count clamped to 127 in a byte", 5, 100, CALC_ADD, 200, 127},
      {"product beyond int32 saturates", 28, 999999, CALC_MUL, 999999, 999999},
      {"product that wraps to 0 still saturates", 28, 65536, CALC_MUL, 65536, 999999},
      {"negative product", 28, 65536, CALC_MUL, -65536, -999999},
      {"percent rounds half up", 28, 5, CALC_PERCENT, 50, 3},
      {"percent rounds half down", 28, -5, CALC_PERCENT, 50, -3},
      {"division by zero keeps the value", 28, 77, CALC_DIV, 0, 77},
      {"remainder by zero keeps the value", 28, 77, CALC_MOD, 0, 77},
      {"remainder has the sign of the value", 28, -7, CALC_MOD, 3, -1},
      {"unknown operation only clamps", 29, 100, 9, 5, 20},
      {"signed byte field", 29, 0, CALC_SUB, 25, -20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cFlowCommand cmd = Shot();
    ASSERT_TRUE(SetCmdParam(CMD_SHOT, c.param, cmd, c.start));
    Var(7) = c.operand;
    ApplyArrange(cmd, Entry(CMD_SHOT, c.param, c.op, 0, 7), nullptr);
    int32_t v = 0;
    ASSERT_TRUE(GetCmdParam(CMD_SHOT, c.param, cmd, &v));
    EXPECT_EQ(v, c.expected);
  }
  EXPECT_EQ(Shot().m_pShot->m_cCount, 0);
}

TEST_F(Arrange, EntriesThatChangeNothing) {
  cCharaBase chara;
  chara.m_Vars.assign(4, 9);
  struct Case {
    const char* name;
    ARRANGEENTRY entry;
    int32_t expected;
  };
  Var(0) = 50;
  Var(1) = 50;
  const Case cases[] = {
      {"another kind", Entry(CMD_SWORD, 2, CALC_SET, 0, 1), 1},
      {"common variable 0", Entry(CMD_SHOT, 28, CALC_SET, 0, 0), 1},
      {"common variable past the end", Entry(CMD_SHOT, 28, CALC_SET, 0, 1001), 1},
      {"unknown scope", Entry(CMD_SHOT, 28, CALC_SET, 3, 1), 1},
      {"character variable", Entry(CMD_SHOT, 28, CALC_SET, 2, 0), 9},
      {"character variable past the end", Entry(CMD_SHOT, 28, CALC_SET, 2, 4), 1},
      {"common variable", Entry(CMD_SHOT, 28, CALC_SET, 0, 1), 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cFlowCommand cmd = Shot();
    cmd.m_pShot->m_nPower = 1;
    ApplyArrange(cmd, c.entry, &chara);
    EXPECT_EQ(cmd.m_pShot->m_nPower, c.expected);
  }
}

TEST_F(Arrange, ReferencesMustNameAnExistingEntry) {
  struct Case {
    const char* name;
    int param;
    int8_t itemPalette;
    int32_t value;
    bool written;
  };
  const Case cases[] = {
      {"last sound", 14, 0, 9, true},
      {"one past the sounds", 14, 0, 10, false},
      {"effect", 30, 0, 4, true},
      {"no such effect", 30, 0, 5, false},
      {"item without an item palette", 31, 0, 1, false},
      {"common item", 31, 1, 2, true},
      {"no such common item", 31, 1, 3, false},
      {"stage palette not loaded", 31, 2, 7, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cFlowCommand cmd = Shot();
    cmd.m_pShot->m_cItemKind = c.itemPalette;
    ASSERT_TRUE(SetCmdParam(CMD_SHOT, c.param, cmd, 1));
    Var(2) = c.value;
    ApplyArrange(cmd, Entry(CMD_SHOT, c.param, CALC_SET, 0, 2), nullptr);
    int32_t v = 0;
    GetCmdParam(CMD_SHOT, c.param, cmd, &v);
    EXPECT_EQ(v, c.written ? c.value : 1);
  }
}

TEST_F(Arrange, FormationValuesTakeTheLimitsOfTheirFormation) {
  // Each formation's row of the descriptor table gives the limits; a row without a label allows
  // only 0, and a formation beyond the table changes nothing.
  Var(3) = 30000;
  for (int formation = 0; formation * 3 < static_cast<int>(g_ShotFormationParams.size()) + 3; ++formation) {
    for (int i = 0; i < 3; ++i) {
      cFlowCommand cmd = Shot();
      cmd.m_pShot->m_cFormation = static_cast<int8_t>(formation);
      cmd.m_pShot->m_sFormParam[i] = 5;
      ApplyArrange(cmd, Entry(CMD_SHOT, 2 + i, CALC_SET, 0, 3), nullptr);
      const int row = formation * 3 + i;
      int32_t expected = 5;
      if (row < static_cast<int>(g_ShotFormationParams.size())) {
        const cParamDesc& d = g_ShotFormationParams.At(row);
        expected = d.m_strName.empty() ? 0 : d.m_sMax;
      }
      EXPECT_EQ(cmd.m_pShot->m_sFormParam[i], expected) << formation << " " << i;
    }
  }
}

TEST_F(Arrange, ItemCommandsUseTheFlowKindNumbers) {
  cFlowCommand cmd;
  cmd.m_cCategory = CMDCAT_ITEM;
  cmd.m_cKind = CMD_STAGE_CLEAR - ITEMCMD_KIND_OFFSET;
  cmd.m_Params.assign(9, 0);
  Var(5) = 12;
  ApplyArrange(cmd, Entry(CMD_STAGE_CLEAR, 0, CALC_SET, 0, 5), nullptr);
  EXPECT_EQ(cmd.m_Params.At(1), 12);
  ApplyArrange(cmd, Entry(CMD_STAGE_CLEAR, 0, CALC_MUL, 0, 5), nullptr);
  EXPECT_EQ(cmd.m_Params.At(1), 99);
}

TEST_F(Arrange, QueuedEntriesApplyInOrder) {
  cFlowState flow;
  Var(1) = 10;
  Var(2) = 5;
  flow.m_Arranges.push_back(Entry(CMD_SHOT, 28, CALC_SET, 0, 1));
  flow.m_Arranges.push_back(Entry(CMD_SHOT, 28, CALC_MUL, 0, 2));
  cFlowCommand cmd = Shot();
  ApplyFlowArranges(cmd, nullptr, &flow);
  EXPECT_EQ(cmd.m_pShot->m_nPower, 50);
  ApplyFlowArranges(cmd, nullptr, nullptr);
  EXPECT_EQ(cmd.m_pShot->m_nPower, 50);
}

TEST_F(Arrange, StatusCommandWordsDoNotTrap) {
  cFlowCommand cmd;
  cmd.m_cKind = CMD_STATUS;
  cmd.m_Params.assign(22, 0);
  cmd.m_Params.At(7) = std::numeric_limits<int32_t>::min();
  Var(1) = -1;
  ApplyArrange(cmd, Entry(CMD_STATUS, 1, CALC_DIV, 0, 1), nullptr);
  EXPECT_EQ(cmd.m_Params.At(7), 999999);
  cmd.m_Params.At(7) = std::numeric_limits<int32_t>::min();
  ApplyArrange(cmd, Entry(CMD_STATUS, 1, CALC_MOD, 0, 1), nullptr);
  EXPECT_EQ(cmd.m_Params.At(7), 0);
}

}  // namespace
}  // namespace t4::test
