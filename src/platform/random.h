// The classic linear congruential generator of the game: state x 214013 + 2531011, result bits
// 16..30. One state per thread, starting at 1, so the game thread's draws depend only on its seed.
#pragma once

#include <cstdint>

namespace t4::platform {

constexpr int RAND_MAX_VALUE = 0x7FFF;

int Rand();
void SeedRand(uint32_t seed);
// The calling thread's current state (saved and restored around frozen frames).
uint32_t GetRandState();
void SetRandState(uint32_t state);

}  // namespace t4::platform
