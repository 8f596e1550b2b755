// SIGTERM and SIGINT become close requests on a watcher thread, however often they come and
// whichever thread the kernel picks to run the handler on.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

#include "platform/clock.h"
#include "platform/window/instance_lock.h"

namespace {

std::atomic<int> g_closeRequests{0};

void CountClose() { ++g_closeRequests; }

// Installs the handling, then keeps the signals away from this thread, so that the handler runs on
// the watcher thread itself, in the middle of its wait for the pipe. Exits with the number of close
// requests seen after three signals of each kind.
[[noreturn]] void SignalTheWatcherThread() {
  t4::platform::InstallCloseSignalHandler(&CountClose);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  int expected = 0;
  for (int sig : {SIGTERM, SIGINT, SIGTERM, SIGINT, SIGTERM, SIGINT}) {
    kill(getpid(), sig);
    ++expected;
    for (int i = 0; i < 2000 && g_closeRequests.load() < expected; ++i) t4::platform::SleepReal(1);
  }
  std::_Exit(g_closeRequests.load());
}

TEST(CloseSignalDeathTest, EverySignalCountsEvenWhenItInterruptsTheWatchersOwnWait) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(SignalTheWatcherThread(), ::testing::ExitedWithCode(6), "");
}

}  // namespace
