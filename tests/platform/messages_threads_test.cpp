// Message queues, windows, blocking sends and cooperative thread suspension.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>  // durations and clocks; <chrono> itself cannot be built for Shift-JIS literals
#include <thread>

#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/random.h"
#include "platform/thread.h"

namespace tp = t4::platform;

namespace {

struct MessageLayerTest : ::testing::Test {
  void SetUp() override { tp::ResetMessageLayerForTests(); }
  void TearDown() override { tp::ResetMessageLayerForTests(); }
};

std::atomic<int> g_lastMessage{0};

LRESULT RecordingProc(HWND, UINT msg, WPARAM wParam, LPARAM) {
  g_lastMessage = static_cast<int>(msg);
  return static_cast<LRESULT>(wParam * 2);
}

// Spins until `done` or about two seconds, serving sent messages like a modal loop would.
template <class F>
bool PumpUntil(F done) {
  for (int i = 0; i < 2000 && !done(); ++i) {
    MSG msg;
    while (tp::PeekMessage(&msg, PM_REMOVE)) tp::DispatchMessage(&msg);
    tp::SleepReal(1);
  }
  return done();
}

// Spins until `done` or about two seconds, without serving messages.
template <class F>
bool WaitUntil(F done) {
  for (int i = 0; i < 2000 && !done(); ++i) tp::SleepReal(1);
  return done();
}

// Tells when a message has been queued for the calling thread (a worker's send has reached it)
// for the lifetime of the object.
class QueuedSignal {
 public:
  QueuedSignal() : m_thread(tp::GetCurrentThreadId()) {
    tp::SetQueueWakeHook(m_thread, [this] { m_queued = true; });
  }
  ~QueuedSignal() { tp::SetQueueWakeHook(m_thread, nullptr); }
  bool Wait() {
    return WaitUntil([this] { return m_queued.load(); });
  }

 private:
  DWORD m_thread;
  std::atomic<bool> m_queued{false};
};

void JoinThread(HANDLE h) {
  ASSERT_TRUE(WaitUntil([h] { return tp::HasThreadEnded(h); }));
  tp::CloseThreadHandle(h);
}

}  // namespace

TEST_F(MessageLayerTest, ThreadMessagesNeedTheQueueThatTheFirstMessageCallMakes) {
  static std::atomic<bool> release{false};
  static std::atomic<UINT> received{0};
  release = false;
  received = 0;
  DWORD id = 0;
  HANDLE h = tp::StartThread(
      [](void*) -> unsigned {
        while (!release) tp::SleepReal(1);
        MSG msg;
        while (tp::GetMessage(&msg)) received = msg.message;
        return 0;
      },
      nullptr, &id);
  ASSERT_NE(h, nullptr);
  ASSERT_NE(id, 0u);
  // No queue yet: the start hand-shake has to repeat its post.
  EXPECT_FALSE(tp::PostThreadMessage(id, 0x8000, 0, 0));
  release = true;
  int attempts = 0;
  while (!tp::PostThreadMessage(id, 0x8000, 0, 0)) {
    ++attempts;
    tp::SleepReal(0);
  }
  EXPECT_TRUE(PumpUntil([] { return received.load() == 0x8000; }));
  ASSERT_TRUE(tp::PostThreadMessage(id, WM_QUIT, 0, 0));
  JoinThread(h);
  // The ended thread's queue is gone.
  EXPECT_FALSE(tp::PostThreadMessage(id, 0x8000, 0, 0));
}

TEST_F(MessageLayerTest, PostedWindowMessagesAreDispatchedToTheProcedure) {
  HWND w = tp::CreateMessageWindow(RecordingProc, nullptr);
  ASSERT_TRUE(tp::PostMessage(w, WM_USER + 7, 1, 0));
  MSG msg;
  ASSERT_TRUE(tp::PeekMessage(&msg, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, w);
  EXPECT_EQ(tp::DispatchMessage(&msg), 2);
  EXPECT_EQ(g_lastMessage.load(), static_cast<int>(WM_USER + 7));
  tp::DestroyWindow(w);
  EXPECT_EQ(g_lastMessage.load(), static_cast<int>(WM_DESTROY));
  EXPECT_FALSE(tp::IsWindow(w));
  EXPECT_FALSE(tp::PostMessage(w, WM_USER, 0, 0));
  EXPECT_EQ(tp::SendMessage(w, WM_USER, 5, 0), 0);
}

TEST_F(MessageLayerTest, SendFromAWorkerBlocksUntilTheOwnerServesIt) {
  static HWND window;
  static std::atomic<LRESULT> result{-1};
  window = tp::CreateMessageWindow(RecordingProc, nullptr);
  result = -1;
  QueuedSignal queued;
  DWORD id = 0;
  HANDLE h = tp::StartThread(
      [](void*) -> unsigned {
        result = tp::SendMessage(window, WM_USER + 5, 21, 0);
        return 0;
      },
      nullptr, &id);
  // Not served while the owner does not look at its messages.
  ASSERT_TRUE(queued.Wait());
  EXPECT_EQ(result.load(), -1);
  EXPECT_FALSE(tp::HasThreadEnded(h));
  // A modal loop of the owner (here: a peek loop) serves it.
  EXPECT_TRUE(PumpUntil([] { return result.load() != -1; }));
  EXPECT_EQ(result.load(), 42);
  JoinThread(h);
  // From the owner thread the procedure runs directly.
  EXPECT_EQ(tp::SendMessage(window, WM_USER + 5, 4, 0), 8);
}

TEST_F(MessageLayerTest, ShutdownReleasesWaitingSendsAndRefusesNewOnes) {
  static HWND window;
  static std::atomic<LRESULT> result{-1};
  window = tp::CreateMessageWindow(RecordingProc, nullptr);
  result = -1;
  QueuedSignal queued;
  HANDLE h = tp::StartThread(
      [](void*) -> unsigned {
        result = tp::SendMessage(window, WM_USER + 5, 21, 0);
        return 0;
      },
      nullptr, nullptr);
  // The send waits in the queue when shutdown begins.
  ASSERT_TRUE(queued.Wait());
  tp::BeginShutdown();
  JoinThread(h);
  EXPECT_EQ(result.load(), 0);
  // The owner later skips the released message instead of running it.
  g_lastMessage = 0;
  MSG msg;
  tp::PeekMessage(&msg, PM_REMOVE);
  EXPECT_EQ(g_lastMessage.load(), 0);
}

TEST_F(MessageLayerTest, QuitEndsGetMessageAfterThePostedMessages) {
  tp::PostThreadMessage(tp::GetCurrentThreadId(), WM_USER, 0, 0);  // no queue yet: refused
  tp::EnsureMessageQueue();
  ASSERT_TRUE(tp::PostThreadMessage(tp::GetCurrentThreadId(), WM_USER + 1, 0, 0));
  tp::PostQuitMessage(3);
  MSG msg;
  EXPECT_TRUE(tp::GetMessage(&msg));
  EXPECT_EQ(msg.message, WM_USER + 1);
  EXPECT_FALSE(tp::GetMessage(&msg));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
}

TEST(ThreadLayer, SuspendedThreadStopsAtItsNextSafePointAndGoesOnWhenResumed) {
  static std::atomic<int> counter{0};
  static std::atomic<bool> stop{false};
  counter = 0;
  stop = false;
  HANDLE h = tp::StartThread(
      [](void*) -> unsigned {
        while (!stop) {
          tp::ThreadSafePoint();
          ++counter;
          tp::SleepReal(0);
        }
        return 0;
      },
      nullptr, nullptr);
  EXPECT_EQ(tp::SuspendThread(h), 0);
  EXPECT_EQ(tp::SuspendThread(h), 1);  // counted, like the system's suspensions
  ASSERT_TRUE(WaitUntil([h] { return tp::IsThreadParked(h); }));
  int frozen = counter.load();
  tp::SleepReal(10);
  EXPECT_EQ(counter.load(), frozen);
  EXPECT_EQ(tp::ResumeThread(h), 2);
  EXPECT_TRUE(tp::IsThreadParked(h));  // one resume undoes one suspend
  EXPECT_EQ(counter.load(), frozen);
  EXPECT_EQ(tp::ResumeThread(h), 1);
  EXPECT_TRUE(WaitUntil([frozen] { return counter.load() > frozen; }));
  EXPECT_EQ(tp::ResumeThread(h), 0);
  stop = true;
  JoinThread(h);
}

TEST(ThreadLayer, NullHandlesAreHarmless) {
  EXPECT_EQ(tp::SuspendThread(nullptr), -1);
  EXPECT_EQ(tp::ResumeThread(nullptr), -1);
  EXPECT_TRUE(tp::HasThreadEnded(nullptr));
  tp::ThreadSafePoint();  // on a thread not started here: no gate
}

TEST(RandomGenerator, ClassicSequencePerThreadFromStateOne) {
  // A fresh thread starts at state 1: the classic sequence 41, 18467, 6334, 26500.
  std::vector<int> draws;
  std::thread([&] {
    for (int i = 0; i < 4; ++i) draws.push_back(tp::Rand());
  }).join();
  EXPECT_EQ(draws, (std::vector<int>{41, 18467, 6334, 26500}));

  tp::SeedRand(12345);
  int a = tp::Rand();
  uint32_t saved = tp::GetRandState();
  int b = tp::Rand();
  tp::SetRandState(saved);
  EXPECT_EQ(tp::Rand(), b);
  tp::SeedRand(12345);
  EXPECT_EQ(tp::Rand(), a);
}

TEST(ManualClock, SleepAdvancesTimeAndWraps) {
  tp::ManualClock clock(0xFFFFFFF0u);
  tp::ScopedClock installed(clock);
  EXPECT_EQ(tp::timeGetTime(), 0xFFFFFFF0u);
  tp::Sleep(0x20);
  EXPECT_EQ(tp::timeGetTime(), 0x10u);
}
