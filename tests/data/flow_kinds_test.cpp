#include <gtest/gtest.h>

#include <climits>

#include "data/ed_move.h"
#include "data/flow_kinds.h"

namespace {

TEST(FlowKinds, CompareByOperator) {
  struct Case {
    int32_t a, b;
    int op;
    int expected;
  };
  const Case cases[] = {
      {3, 3, CMP_EQ, 1},
      {3, 4, CMP_NE, 1},
      {4, 4, CMP_GE, 1},
      {5, 4, CMP_LE, 0},
      {5, 4, CMP_GT, 1},
      {4, 4, CMP_LT, 0},
      {7, 0, CMP_DIVISIBLE, 1},
      {7, 0, CMP_NOT_DIVISIBLE, 0},
      {-6, 4, CMP_DIVISIBLE, 0},
      {-8, -4, CMP_DIVISIBLE, 1},
      {-6, 4, CMP_NOT_DIVISIBLE, 1},
      {1, 1, 8, 0},
      {1, 1, -1, 0},
      // Operand pairs that trap or overflow in 32 bits.
      {INT_MIN, -1, CMP_DIVISIBLE, 1},
      {INT_MIN, 3, CMP_NOT_DIVISIBLE, 1},
      {INT_MIN, INT_MIN, CMP_DIVISIBLE, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareByOperator(c.a, c.b, c.op), c.expected) << c.a << " op" << c.op << " " << c.b;
  }
}

TEST(FlowKinds, OperateValue) {
  struct Case {
    int32_t v, operand;
    int op;
    int32_t min, max, expected;
  };
  const Case cases[] = {
      {5, 9, CALC_SET, 0, 100, 9},
      {5, 9, CALC_ADD, 0, 10, 10},
      {5, 9, CALC_SUB, 0, 100, 0},
      {6, 7, CALC_MUL, -100, 100, 42},
      {3, 50, CALC_PERCENT, -100, 100, 2},
      {-3, 50, CALC_PERCENT, -100, 100, -2},
      {-7, 2, CALC_DIV, -100, 100, -3},
      {-7, 2, CALC_MOD, -100, 100, -1},
      {500, 0, CALC_DIV, 0, 100, 100},  // nothing done, still clamped
      {-5, 0, CALC_MOD, 0, 100, 0},
      {INT_MAX, INT_MAX, CALC_MUL, INT_MIN, INT_MAX, INT_MAX},
      {INT_MAX, -2, CALC_MUL, INT_MIN, INT_MAX, INT_MIN},
      {65536, 65536, CALC_MUL, -5, 5, 5},  // wraps to 0 in 32 bits
      {INT_MIN, -1, CALC_DIV, INT_MIN, INT_MAX, INT_MAX},
      {INT_MIN, -1, CALC_MOD, INT_MIN, INT_MAX, 0},
      {INT_MAX, 1, CALC_ADD, INT_MIN, INT_MAX, INT_MAX},
      {INT_MIN, 1, CALC_SUB, INT_MIN, INT_MAX, INT_MIN},
      {5, 1, 99, 0, 3, 3},
  };
  for (const Case& c : cases) {
    int32_t v = c.v;
    OperateValue(&v, c.operand, c.op, c.min, c.max);
    EXPECT_EQ(v, c.expected) << c.v << " op" << c.op << " " << c.operand;
  }
}

TEST(FlowKinds, KindTables) {
  EXPECT_EQ(g_CmdKindTable.size(), 40u);
  EXPECT_EQ(g_ItemCmdKindTable.size(), 25u);
  EXPECT_EQ(GetCmdParamCount(CMDCAT_FLOW, CMD_STATUS), 22);
  EXPECT_EQ(GetCmdParamCount(CMDCAT_ITEM, ITEMCMD_CHANGE_FLOW), 2);
  EXPECT_EQ(GetCmdParamCount(CMDCAT_ITEM, 4), 19);  // message
  EXPECT_EQ(GetCmdParamCount(CMDCAT_ITEM, 24), 2);  // loop
  EXPECT_EQ(GetCmdParamCount(CMDCAT_FLOW, 40), -1);
  EXPECT_EQ(GetCmdParamCount(2, 0), -1);
}

TEST(FlowKinds, ConvertDirectionCode) {
  struct Case {
    int code, fromList, right, replayVersion, expected;
  };
  const Case cases[] = {
      {9, 1, 0, 0, DIR_FORWARD},
      {9, 0, 1, 0, DIR_RIGHT},
      {0, 1, 0, 0, DIR_LEFT},
      {5, 0, 1, 0, DIR_UP_LEFT},
      {5, 1, 0, 0, DIR_UP_LEFT},
      {8, 1, 0, 0, DIR_DOWN_RIGHT},
      // A title-screen replay decides by its data version.
      {9, 0, 0, 777, DIR_FORWARD},
      {9, 1, 1, 778, DIR_RIGHT},
      {9, 1, 0, 779, DIR_LEFT},
      {9, 1, 0, 780, DIR_FORWARD},
      {42, 1, 1, 0, DIR_RIGHT},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ConvertDirectionCode(c.code, c.fromList, c.right, c.replayVersion), c.expected) << c.code;
  }
}

}  // namespace
