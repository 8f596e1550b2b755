#include "platform/random.h"

namespace t4::platform {

namespace {
thread_local uint32_t t_randState = 1;
}

int Rand() {
  t_randState = t_randState * 214013u + 2531011u;
  return static_cast<int>((t_randState >> 16) & 0x7FFF);
}

void SeedRand(uint32_t seed) { t_randState = seed; }

uint32_t GetRandState() { return t_randState; }

void SetRandState(uint32_t state) { t_randState = state; }

}  // namespace t4::platform
