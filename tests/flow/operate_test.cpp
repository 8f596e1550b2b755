#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <initializer_list>

#include "flow/operate.h"

namespace {

struct IntCase {
  int32_t v;
  int32_t operand;
  int op;
  int32_t min;
  int32_t max;
  int32_t expected;
};

TEST(OperateValue, PartExamplesAndSaturation) {
  // The Part's own examples and the limits; the plain arithmetic is covered with the kind tables.
  const IntCase cases[] = {
      {90, 20, CALC_ADD, 0, 999999, 110},
      {999999, 999999, CALC_MUL, -999999, 999999, 999999},
      {65536, 65536, CALC_MUL, 0, INT_MAX, INT_MAX},  // a 32-bit wrap would give 0
      {-70000, 70000, CALC_MUL, -999999, 999999, -999999},
      {5, 50, CALC_PERCENT, -99, 99, 3},
      {-5, 50, CALC_PERCENT, -99, 99, -3},
      {999, 50, CALC_PERCENT, 0, 999999, 500},
      {7, -50, CALC_PERCENT, -99, 99, -4},
      {999999, 5000, CALC_PERCENT, INT_MIN, INT_MAX, 49999950},
      {5, 5, CALC_SET, 10, 0, 10},  // min above max: the lower bound wins
  };
  for (const IntCase& c : cases) {
    int32_t v = c.v;
    OperateValue(&v, c.operand, c.op, c.min, c.max);
    EXPECT_EQ(v, c.expected) << c.v << " op " << c.op << " " << c.operand;
  }
}

// Runs the cases through an 8-bit or 16-bit operation on a field of that width.
template <class T>
void CheckNarrow(std::initializer_list<IntCase> cases, void (*operate)(T*, int32_t, int, int32_t, int32_t)) {
  for (const IntCase& c : cases) {
    T v = static_cast<T>(c.v);
    operate(&v, c.operand, c.op, c.min, c.max);
    EXPECT_EQ(v, c.expected) << sizeof(T) << " bytes: " << c.v << " op " << c.op << " " << c.operand;
  }
}

TEST(OperateNarrow, EightAndSixteenBitFieldsWrapAtTheirWidthBeforeTheClamp) {
  CheckNarrow<int8_t>({{50, 100, CALC_ADD, 0, 99, 0},  // 150 wraps to -106, then the clamp
                       {0, 300, CALC_SET, 0, 99, 44},  // the operand is narrowed first
                       {10, 5, CALC_SUB, 0, 99, 5},
                       {100, 2, CALC_MUL, 0, 99, 99},  // beyond the byte: the upper bound
                       {-100, 2, CALC_MUL, -20, 20, -20},
                       {-128, -1, CALC_DIV, -20, 20, -20},  // no trap: -128 / -1 wraps to -128
                       {-128, -1, CALC_MOD, -20, 20, 0},
                       {7, 50, CALC_PERCENT, 0, 99, 4},
                       {9, 0, CALC_DIV, 0, 99, 9}},
                      OperateByte);
  CheckNarrow<int16_t>({{119, 1, CALC_ADD, 0, 119, 119},
                        {32767, 1, CALC_ADD, -32768, 32767, -32768},
                        {0, 70000, CALC_SET, 0, 200, 200},  // 70000 narrows to 4464
                        {200, 300, CALC_MUL, 0, 200, 200},
                        {150, 3, CALC_DIV, 0, 200, 50}},
                       OperateShort);
}

TEST(OperateHelpers, PercentClampAndDelta) {
  EXPECT_EQ(PercentOf(7, 50), 4);
  EXPECT_EQ(PercentOf(-7, 50), -4);
  EXPECT_EQ(PercentOf(1, -50), -1);
  EXPECT_EQ(PercentOf(INT_MAX, INT_MAX), INT_MAX);
  int32_t v = -5;
  EXPECT_EQ(ClampValue(&v, 0, 10), 0);
  v = 50;
  EXPECT_EQ(ClampValue(&v, 0, 10), 10);
  EXPECT_EQ(SaturatedDelta(INT_MAX, -1), INT_MAX);
  EXPECT_EQ(SaturatedDelta(50, 80), -30);
}

}  // namespace
