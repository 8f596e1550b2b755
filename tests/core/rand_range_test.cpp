#include "core/rand_range.h"

#include <gtest/gtest.h>

#include <climits>
#include <thread>
#include <vector>

#include "platform/random.h"

namespace {

TEST(RandRange, FreshThreadGivesTheClassicSequence) {
  std::vector<int> draws;
  std::thread([&] {
    for (int i = 0; i < 5; ++i) draws.push_back(RandRange(0, 32767));
  }).join();
  EXPECT_EQ(draws, (std::vector<int>{41, 18467, 6334, 26500, 19169}));
}

TEST(RandRange, EitherOrderAndWideRanges) {
  struct Case {
    int a;
    int b;
    int first;  // result of the first draw (41) from seed 1
  };
  const Case cases[] = {
      {5, 3, 3 + 41 % 3},
      {3, 5, 3 + 41 % 3},
      {1, 6, 6},
      {-10, -10, -10},
      {INT_MAX, INT_MAX, INT_MAX},
      {INT_MIN, INT_MAX, INT_MIN + 41},  // the span does not fit an int
      {INT_MAX, INT_MIN, INT_MIN + 41},
      {-1, INT_MAX, 40},
  };
  for (const Case& c : cases) {
    t4::platform::SeedRand(1);
    EXPECT_EQ(RandRange(c.a, c.b), c.first) << c.a << "," << c.b;
  }
  t4::platform::SeedRand(1);
  RandRange(0, 0);
  EXPECT_EQ(t4::platform::Rand(), 18467);  // one draw per call, even for a single value
}

}  // namespace
