// Sound requests reach the main window as WM_USER+5 with the sound id, sent (not posted).
#include <atomic>

#include "core/sound_request.h"
#include "core/thread.h"
#include "core_fixture.h"
#include "platform/clock.h"

namespace tp = t4::platform;
using t4::test::CoreFixture;

using SoundRequests = CoreFixture;

TEST_F(SoundRequests, UserSoundsFollowTheSeventeenSystemSounds) {
  PlayUserSound(0);
  EXPECT_TRUE(s_received.empty());
  PlayUserSound(3);
  PlaySystemSound(14);
  PlayUserSound(-2);  // taken as a signed number, as stored
  ASSERT_EQ(s_received.size(), 3u);
  EXPECT_EQ(s_received[0].message, WM_USER + 5);
  EXPECT_EQ(s_received[0].wParam, 19u);
  EXPECT_EQ(s_received[1].wParam, 14u);
  EXPECT_EQ(static_cast<int>(s_received[2].wParam), 14);
}

TEST_F(SoundRequests, AGameThreadRequestWaitsUntilTheWindowThreadHasPlayedIt) {
  static std::atomic<bool> returned{false};
  returned = false;
  cThread game;
  ASSERT_EQ(game.Start(
                [](void*) -> unsigned {
                  PlaySystemSound(1);
                  returned = true;
                  return 0;
                },
                nullptr),
            1);
  tp::SleepReal(20);
  EXPECT_FALSE(returned.load());
  EXPECT_TRUE(s_received.empty());
  for (int i = 0; i < 2000 && !returned; ++i) {
    DrainMainWindow();
    tp::SleepReal(1);
  }
  EXPECT_TRUE(returned.load());
  ASSERT_EQ(s_received.size(), 1u);
  EXPECT_EQ(s_received[0].wParam, 1u);
  game.Wait();
}
