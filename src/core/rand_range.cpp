#include "core/rand_range.h"

#include <algorithm>
#include <cstdint>

#include "platform/random.h"

int RandRange(int a, int b) {
  int lo = std::min(a, b);
  int hi = std::max(a, b);
  // The span in 64 bits: (INT_MIN, INT_MAX) must not overflow into a division by zero.
  int64_t span = int64_t{hi} - lo + 1;
  return static_cast<int>(lo + t4::platform::Rand() % span);
}
