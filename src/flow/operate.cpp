#include "flow/operate.h"

#include <cmath>
#include <limits>
#include <type_traits>

namespace {

constexpr int64_t INT32_LO = std::numeric_limits<int32_t>::min();
constexpr int64_t INT32_HI = std::numeric_limits<int32_t>::max();

int64_t Saturate(int64_t value, int64_t lo, int64_t hi) { return value < lo ? lo : (value > hi ? hi : value); }

int64_t PercentOf64(int64_t base, int64_t percent) { return PercentRound(base, percent); }

template <class T>
void OperateNarrow(T* v, int32_t nOperand, int nOperation, int32_t nMin, int32_t nMax) {
  static_assert(std::is_signed_v<T> && sizeof(T) < 4);
  constexpr int64_t lo = std::numeric_limits<T>::min();
  constexpr int64_t hi = std::numeric_limits<T>::max();
  const T b = static_cast<T>(nOperand);
  const T tMin = static_cast<T>(nMin);
  const T tMax = static_cast<T>(nMax);
  const int32_t cur = *v;
  T value = *v;
  switch (nOperation) {
    case CALC_SET: value = b; break;
    case CALC_ADD: value = static_cast<T>(cur + b); break;
    case CALC_SUB: value = static_cast<T>(cur - b); break;
    case CALC_MUL: {
      int32_t product = cur * b;  // cannot overflow at these widths
      value = product > hi ? tMax : (product < lo ? tMin : static_cast<T>(product));
      break;
    }
    case CALC_DIV:
      if (b != 0) value = static_cast<T>(cur / b);
      break;
    case CALC_MOD:
      if (b != 0) value = static_cast<T>(cur % b);
      break;
    case CALC_PERCENT: value = static_cast<T>(Saturate(PercentOf64(cur, b), INT32_LO, INT32_HI)); break;
    default: break;
  }
  if (value < tMin)
    value = tMin;
  else if (value > tMax)
    value = tMax;
  *v = value;
}

}  // namespace

void OperateByte(int8_t* v, int32_t nOperand, int nOperation, int32_t nMin, int32_t nMax) {
  OperateNarrow(v, nOperand, nOperation, nMin, nMax);
}

void OperateShort(int16_t* v, int32_t nOperand, int nOperation, int32_t nMin, int32_t nMax) {
  OperateNarrow(v, nOperand, nOperation, nMin, nMax);
}

int32_t ClampValue(int32_t* v, int32_t nMin, int32_t nMax) {
  if (*v < nMin)
    *v = nMin;
  else if (*v > nMax)
    *v = nMax;
  return *v;
}

int32_t PercentOf(int32_t nBase, int32_t nPercent) {
  return static_cast<int32_t>(Saturate(PercentOf64(nBase, nPercent), INT32_LO, INT32_HI));
}

int32_t SaturatedDelta(int32_t now, int32_t before) {
  return static_cast<int32_t>(Saturate(int64_t{now} - before, INT32_LO, INT32_HI));
}
