// The value operations shared by the status command, the status conditions and the expression
// language: apply one CALC_* operation to a stored value, then clamp it to its limits.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

#include "data/flow_kinds.h"

// OperateValue (data/flow_kinds.h) is the int32 form: worked in 64 bits, products beyond int32
// saturate, division and remainder by 0 leave the value, then the clamp. Status operations and
// arranges saturate rather than wrap, so that a sum or product too large for 32 bits ends at the
// bound it passed instead of flipping to the opposite end of the range (a huge bonus must not
// turn a score negative).

// OperateValue on a signed 8-bit or 16-bit field. Operand and limits are narrowed to the field's
// width first and set, add and subtract wrap at that width, so an ID of 50 plus 100 wraps to
// -106 and clamps to 0; a product beyond the width saturates to a bound.
void OperateByte(int8_t* v, int32_t nOperand, int nOperation, int32_t nMin, int32_t nMax);
void OperateShort(int16_t* v, int32_t nOperand, int nOperation, int32_t nMin, int32_t nMax);

// Clamps *v to [nMin, nMax] (lower bound first) and returns the new value.
int32_t ClampValue(int32_t* v, int32_t nMin, int32_t nMax);

// base x percent / 100, rounded half away from zero; the product is exact (64 bits) and the
// result saturates to int32.
int32_t PercentOf(int32_t nBase, int32_t nPercent);

// v saturated to int32.
inline int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// now - before, saturated to int32 (a change handed on to the HP and SP gauges).
int32_t SaturatedDelta(int32_t now, int32_t before);
