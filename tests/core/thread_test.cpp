// The thread object: start hand-shake, wait, suspension and the bounded exit.
#include <gtest/gtest.h>

#include <atomic>

#include "core/globals.h"
#include "core/safe_containers.h"
#include "core/sound_request.h"
#include "core/thread.h"
#include "core_fixture.h"
#include "platform/clock.h"
#include "platform/messages.h"

namespace tp = t4::platform;
using t4::test::CoreFixture;

namespace {

// A typical thread body: a message loop that ignores the start message and ends on WM_QUIT.
unsigned MessageLoopBody(void* param) {
  auto* frames = static_cast<std::atomic<int>*>(param);
  for (;;) {
    MSG msg;
    while (tp::PeekMessage(&msg, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return 0;
    }
    ++*frames;
    tp::SleepReal(1);
  }
}

void StartWithHandShake(cThread& t, cThread::Proc proc, void* param) {
  ASSERT_EQ(t.Start(proc, param), 1);
  while (!tp::PostThreadMessage(t.m_dwThreadId, THREAD_START_MSG, 0, 0)) {
  }
}

}  // namespace

using ThreadObject = CoreFixture;

TEST_F(ThreadObject, ExitOnAnIdleObjectReturnsAtOnce) {
  cThread t;
  t.Exit();
  EXPECT_EQ(t.m_hThread, nullptr);
  EXPECT_EQ(t.Suspend(), 1);
  EXPECT_EQ(t.Resume(), 1);
}

TEST_F(ThreadObject, ExitEndsAMessageLoopThreadEvenWhenItWasSuspended) {
  std::atomic<int> frames{0};
  cThread t;
  StartWithHandShake(t, MessageLoopBody, &frames);
  EXPECT_EQ(t.Suspend(), 1);
  EXPECT_EQ(t.Suspend(), 1);
  int before = tp::AbandonedThreadCount();
  t.Exit();
  EXPECT_EQ(t.m_hThread, nullptr);
  EXPECT_EQ(tp::AbandonedThreadCount(), before);
  EXPECT_EQ(Log(), "");
}

TEST_F(ThreadObject, ExitGivesUpOnAThreadThatNeverReadsItsMessages) {
  static std::atomic<bool> stop{false};
  stop = false;
  cThread t;
  ASSERT_EQ(t.Start(
                [](void*) -> unsigned {
                  while (!stop) tp::SleepReal(1);
                  return 0;
                },
                nullptr),
            1);
  int before = tp::AbandonedThreadCount();
  t.Exit();
  EXPECT_EQ(t.m_hThread, nullptr);
  EXPECT_EQ(tp::AbandonedThreadCount(), before + 1);
  EXPECT_NE(Log().find("did not end"), std::string::npos);
  // The end of the program can still wait for it: not while it runs, but once it has returned.
  EXPECT_FALSE(tp::WaitForAbandonedThreads(20));
  stop = true;  // let it finish on its own
  EXPECT_TRUE(tp::WaitForAbandonedThreads(10000));
}

TEST_F(ThreadObject, WaitReturnsWhenTheBodyHasReturnedAndLeavesTheObjectIdle) {
  static std::atomic<int> ran{0};
  ran = 0;
  cThread t;
  ASSERT_EQ(t.Start(
                [](void*) -> unsigned {
                  ++ran;
                  return 0;
                },
                nullptr),
            1);
  t.Wait();
  EXPECT_EQ(ran.load(), 1);
  EXPECT_EQ(t.m_hThread, nullptr);
  t.Wait();  // already idle
  // It can be started again.
  ASSERT_EQ(t.Start([](void*) -> unsigned { return ++ran, 0; }, nullptr), 1);
  t.Wait();
  EXPECT_EQ(ran.load(), 2);
}

TEST_F(ThreadObject, AWorkerBlockedInASendToTheWindowEndsAtShutdown) {
  // The worker asks for a sound and the window thread never serves it: without the shutdown of
  // the message layer it could never see its WM_QUIT.
  static std::atomic<LRESULT> result{-1};
  result = -1;
  cThread t;
  ASSERT_EQ(t.Start(
                [](void*) -> unsigned {
                  result = PlaySystemSound(3);
                  MSG msg;
                  while (tp::GetMessage(&msg)) {
                  }
                  return 0;
                },
                nullptr),
            1);
  tp::SleepReal(10);
  int before = tp::AbandonedThreadCount();
  tp::BeginShutdown();
  t.Exit();
  EXPECT_EQ(result.load(), 0);
  EXPECT_EQ(tp::AbandonedThreadCount(), before);
}

TEST_F(ThreadObject, AnEscapingStandardErrorClosesTheProgramInOrder) {
  cThread t;
  ASSERT_EQ(t.Start(
                [](void*) -> unsigned {
                  cSafeVector<int> empty;
                  return static_cast<unsigned>(empty.At(0));
                },
                nullptr),
            1);
  t.Wait();
  EXPECT_EQ(Log(), "err V[0] ( 0 , 4 )\r\nthread ended by an error: invalid vector<T> subscript\r\n");
  EXPECT_EQ(CloseRequests(), 2);
}
