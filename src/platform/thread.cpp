#include "platform/thread.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/detail/thread_identity.h"

namespace t4::platform {

namespace {

// What the running thread and its handle share; outlives both.
struct ThreadState {
  DWORD id = 0;
  std::atomic<bool> ended{false};
  std::mutex mutex;
  std::condition_variable cv;
  int suspendCount = 0;
  bool parked = false;
};

thread_local std::shared_ptr<ThreadState> t_state;
// The threads given up on, so that the program can still wait for them before it releases what
// they use.
std::mutex g_abandonedMutex;
std::vector<std::shared_ptr<ThreadState>> g_abandonedStates;

}  // namespace

struct ThreadControl {
  std::shared_ptr<ThreadState> state;
  std::thread thread;
};

HANDLE StartThread(ThreadProc proc, void* param, DWORD* threadId) {
  auto control = std::make_unique<ThreadControl>();
  control->state = std::make_shared<ThreadState>();
  control->state->id = detail::AllocateThreadId();
  try {
    control->thread = std::thread([state = control->state, proc, param] {
      detail::BindCurrentThreadId(state->id);
      t_state = state;
      proc(param);
      detail::ReleaseCurrentThreadQueue();
      state->ended.store(true);
    });
  } catch (const std::system_error&) {
    return nullptr;
  }
  if (threadId) *threadId = control->state->id;
  return control.release();
}

bool HasThreadEnded(HANDLE h) { return !h || h->state->ended.load(); }

void CloseThreadHandle(HANDLE h) {
  if (!h) return;
  if (h->thread.joinable()) h->thread.join();
  delete h;
}

void AbandonThread(HANDLE h) {
  if (!h) return;
  if (h->thread.joinable()) {
    h->thread.detach();
    if (!h->state->ended.load()) {
      std::lock_guard lock(g_abandonedMutex);
      g_abandonedStates.push_back(h->state);
    }
  }
  delete h;
}

int AbandonedThreadCount() {
  std::lock_guard lock(g_abandonedMutex);
  return static_cast<int>(g_abandonedStates.size());
}

bool WaitForAbandonedThreads(int timeoutMs) {
  // 1 ms polls: at least `timeoutMs` of real time, without the full chrono header.
  for (int waited = 0;; ++waited) {
    bool running = false;
    {
      std::lock_guard lock(g_abandonedMutex);
      for (const auto& state : g_abandonedStates) running = running || !state->ended.load();
    }
    if (!running) return true;
    if (waited >= timeoutMs) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

int SuspendThread(HANDLE h) {
  if (!h) return -1;
  std::lock_guard lock(h->state->mutex);
  return h->state->suspendCount++;
}

int ResumeThread(HANDLE h) {
  if (!h) return -1;
  int previous;
  {
    std::lock_guard lock(h->state->mutex);
    previous = h->state->suspendCount;
    if (previous > 0) --h->state->suspendCount;
  }
  h->state->cv.notify_all();
  return previous;
}

void ThreadSafePoint() {
  auto& state = t_state;
  if (!state) return;
  std::unique_lock lock(state->mutex);
  if (state->suspendCount == 0) return;
  state->parked = true;
  state->cv.notify_all();
  state->cv.wait(lock, [&] { return state->suspendCount == 0; });
  state->parked = false;
}

bool IsThreadParked(HANDLE h) {
  if (!h) return false;
  std::lock_guard lock(h->state->mutex);
  return h->state->parked;
}

}  // namespace t4::platform
