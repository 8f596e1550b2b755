#include "platform/messages.h"

#include <atomic>
#include <thread>  // durations and clocks; <chrono> itself cannot be built for Shift-JIS literals
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "platform/detail/thread_identity.h"
#include "platform/thread.h"

namespace t4::platform {

struct Window {
  WindowProc proc = nullptr;
  void* userData = nullptr;
  DWORD threadId = 0;
};

namespace {

struct Queue;

// A message sent from one thread to a window of another. Its state is guarded by the sender's
// queue mutex, because the sender is the one waiting on it. Shared, so that a sender released at
// shutdown may leave while the owner still holds it.
struct SentMessage {
  MSG msg;
  LRESULT result = 0;
  enum class State { Pending, Running, Done } state = State::Pending;
  std::shared_ptr<Queue> sender;
};

struct Queue {
  explicit Queue(DWORD id) : threadId(id) {}
  const DWORD threadId;
  std::mutex mutex;
  std::condition_variable cv;
  std::deque<MSG> posted;
  std::deque<std::shared_ptr<SentMessage>> sent;
  bool quitPosted = false;
  int quitCode = 0;
  bool closed = false;
  std::function<void()> wakeHook;
};

std::atomic<DWORD> g_nextThreadId{1};
thread_local DWORD t_threadId = 0;

std::mutex g_registryMutex;
std::map<DWORD, std::shared_ptr<Queue>> g_queues;
std::set<Window*> g_liveWindows;
std::vector<std::unique_ptr<Window>> g_allWindows;  // kept for the run: stale handles stay harmless
std::atomic<bool> g_shuttingDown{false};

// Removes the thread's queue when the thread ends, also for threads not started by StartThread.
struct QueueHolder {
  std::shared_ptr<Queue> queue;
  ~QueueHolder() { detail::ReleaseCurrentThreadQueue(); }
};
thread_local QueueHolder t_holder;

std::shared_ptr<Queue> FindQueue(DWORD threadId) {
  std::lock_guard lock(g_registryMutex);
  auto it = g_queues.find(threadId);
  return it == g_queues.end() ? nullptr : it->second;
}

std::shared_ptr<Queue> CurrentQueue() {
  auto& q = t_holder.queue;
  if (q) {
    std::lock_guard lock(q->mutex);
    if (!q->closed) return q;
  }
  auto fresh = std::make_shared<Queue>(GetCurrentThreadId());
  {
    std::lock_guard lock(g_registryMutex);
    g_queues[fresh->threadId] = fresh;
  }
  q = fresh;
  return q;
}

bool IsLive(HWND hWnd, DWORD* ownerThread) {
  std::lock_guard lock(g_registryMutex);
  if (!hWnd || !g_liveWindows.count(hWnd)) return false;
  if (ownerThread) *ownerThread = hWnd->threadId;
  return true;
}

void Wake(Queue& q) {
  std::function<void()> hook;
  {
    std::lock_guard lock(q.mutex);
    hook = q.wakeHook;
  }
  q.cv.notify_all();
  if (hook) hook();
}

void Finish(const std::shared_ptr<SentMessage>& sm, LRESULT result) {
  Queue& sender = *sm->sender;
  {
    std::lock_guard lock(sender.mutex);
    sm->result = result;
    sm->state = SentMessage::State::Done;
  }
  sender.cv.notify_all();
}

LRESULT CallProc(const MSG& m) {
  WindowProc proc = nullptr;
  {
    std::lock_guard lock(g_registryMutex);
    if (m.hwnd && g_liveWindows.count(m.hwnd)) proc = m.hwnd->proc;
  }
  return proc ? proc(m.hwnd, m.message, m.wParam, m.lParam) : 0;
}

// Runs the procedure for every message sent to the calling thread's windows.
void ServeSentMessages(Queue& q) {
  for (;;) {
    std::shared_ptr<SentMessage> sm;
    {
      std::lock_guard lock(q.mutex);
      if (q.sent.empty()) return;
      sm = q.sent.front();
      q.sent.pop_front();
    }
    {
      std::lock_guard lock(sm->sender->mutex);
      if (sm->state != SentMessage::State::Pending) continue;  // released at shutdown
      sm->state = SentMessage::State::Running;
    }
    Finish(sm, CallProc(sm->msg));
  }
}

bool TakePosted(Queue& q, MSG* msg, bool remove) {
  if (!q.posted.empty()) {
    *msg = q.posted.front();
    if (remove) q.posted.pop_front();
    return true;
  }
  if (q.quitPosted) {
    *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0};
    if (remove) q.quitPosted = false;
    return true;
  }
  return false;
}

}  // namespace

namespace detail {

DWORD AllocateThreadId() { return g_nextThreadId.fetch_add(1); }

void BindCurrentThreadId(DWORD id) { t_threadId = id; }

void ReleaseCurrentThreadQueue() {
  auto q = t_holder.queue;
  if (!q) return;
  t_holder.queue.reset();
  {
    std::lock_guard lock(g_registryMutex);
    auto it = g_queues.find(q->threadId);
    if (it != g_queues.end() && it->second == q) g_queues.erase(it);
  }
  std::deque<std::shared_ptr<SentMessage>> orphans;
  {
    std::lock_guard lock(q->mutex);
    q->closed = true;
    orphans.swap(q->sent);
  }
  // Nobody will serve these any more: their senders get 0.
  for (auto& sm : orphans) Finish(sm, 0);
}

}  // namespace detail

DWORD GetCurrentThreadId() {
  if (t_threadId == 0) t_threadId = detail::AllocateThreadId();
  return t_threadId;
}

void EnsureMessageQueue() { CurrentQueue(); }

bool PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto q = FindQueue(threadId);
  if (!q) return false;
  {
    std::lock_guard lock(q->mutex);
    if (q->closed) return false;
    q->posted.push_back(MSG{nullptr, msg, wParam, lParam});
  }
  Wake(*q);
  return true;
}

bool PostMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!hWnd) return PostThreadMessage(CurrentQueue()->threadId, msg, wParam, lParam);
  DWORD owner = 0;
  if (!IsLive(hWnd, &owner)) return false;
  auto q = FindQueue(owner);
  if (!q) return false;
  {
    std::lock_guard lock(q->mutex);
    if (q->closed) return false;
    q->posted.push_back(MSG{hWnd, msg, wParam, lParam});
  }
  Wake(*q);
  return true;
}

LRESULT SendMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (g_shuttingDown.load()) return 0;
  DWORD owner = 0;
  if (!IsLive(hWnd, &owner)) return 0;
  if (owner == GetCurrentThreadId()) return CallProc(MSG{hWnd, msg, wParam, lParam});

  auto target = FindQueue(owner);
  if (!target) return 0;
  auto self = CurrentQueue();
  auto sm = std::make_shared<SentMessage>();
  sm->msg = MSG{hWnd, msg, wParam, lParam};
  sm->sender = self;
  {
    std::lock_guard lock(target->mutex);
    if (target->closed) return 0;
    target->sent.push_back(sm);
  }
  Wake(*target);

  std::unique_lock lock(self->mutex);
  while (sm->state != SentMessage::State::Done) {
    if (g_shuttingDown.load() && sm->state == SentMessage::State::Pending) {
      sm->state = SentMessage::State::Done;  // the owner will skip it
      return 0;
    }
    if (!self->sent.empty()) {
      // Serve what others send to us meanwhile, so two threads sending to each other go on.
      lock.unlock();
      ServeSentMessages(*self);
      lock.lock();
      continue;
    }
    self->cv.wait(lock);
  }
  return sm->result;
}

void PostQuitMessage(int exitCode) {
  auto q = CurrentQueue();
  {
    std::lock_guard lock(q->mutex);
    q->quitPosted = true;
    q->quitCode = exitCode;
  }
  Wake(*q);
}

bool GetMessage(MSG* msg) {
  auto q = CurrentQueue();
  for (;;) {
    ThreadSafePoint();
    ServeSentMessages(*q);
    std::unique_lock lock(q->mutex);
    if (TakePosted(*q, msg, true)) return msg->message != WM_QUIT;
    if (!q->sent.empty()) continue;
    q->cv.wait(lock);
  }
}

bool PeekMessage(MSG* msg, UINT removeFlags) {
  auto q = CurrentQueue();
  ThreadSafePoint();
  ServeSentMessages(*q);
  std::lock_guard lock(q->mutex);
  return TakePosted(*q, msg, (removeFlags & PM_REMOVE) != 0);
}

bool WaitMessage(DWORD timeoutMs) {
  auto q = CurrentQueue();
  ServeSentMessages(*q);
  std::unique_lock lock(q->mutex);
  auto ready = [&] { return !q->posted.empty() || !q->sent.empty() || q->quitPosted; };
  if (timeoutMs == 0xFFFFFFFF) {
    q->cv.wait(lock, ready);
  } else if (!q->cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready)) {
    return false;
  }
  bool hasSent = !q->sent.empty();
  lock.unlock();
  if (hasSent) ServeSentMessages(*q);
  return true;
}

LRESULT DispatchMessage(const MSG* msg) { return msg ? CallProc(*msg) : 0; }

HWND CreateMessageWindow(WindowProc proc, void* userData) {
  auto q = CurrentQueue();
  auto window = std::make_unique<Window>();
  window->proc = proc;
  window->userData = userData;
  window->threadId = q->threadId;
  std::lock_guard lock(g_registryMutex);
  HWND h = window.get();
  g_allWindows.push_back(std::move(window));
  g_liveWindows.insert(h);
  return h;
}

void DestroyWindow(HWND hWnd) {
  if (!IsLive(hWnd, nullptr)) return;
  CallProc(MSG{hWnd, WM_DESTROY, 0, 0});
  std::lock_guard lock(g_registryMutex);
  g_liveWindows.erase(hWnd);
}

bool IsWindow(HWND hWnd) { return IsLive(hWnd, nullptr); }

void* GetWindowUserData(HWND hWnd) { return IsLive(hWnd, nullptr) ? hWnd->userData : nullptr; }

void BeginShutdown() {
  g_shuttingDown.store(true);
  std::vector<std::shared_ptr<Queue>> queues;
  {
    std::lock_guard lock(g_registryMutex);
    for (auto& [id, q] : g_queues) queues.push_back(q);
  }
  for (auto& q : queues) {
    // Take the lock so that a sender between its check and its wait cannot miss the wake-up.
    { std::lock_guard lock(q->mutex); }
    q->cv.notify_all();
  }
}

bool IsShuttingDown() { return g_shuttingDown.load(); }

void SetQueueWakeHook(DWORD threadId, std::function<void()> hook) {
  auto q = threadId == GetCurrentThreadId() ? CurrentQueue() : FindQueue(threadId);
  if (!q) return;
  std::lock_guard lock(q->mutex);
  q->wakeHook = std::move(hook);
}

void ResetMessageLayerForTests() {
  std::vector<std::shared_ptr<Queue>> queues;
  {
    std::lock_guard lock(g_registryMutex);
    for (auto& [id, q] : g_queues) queues.push_back(q);
    g_queues.clear();
    g_liveWindows.clear();
  }
  for (auto& q : queues) {
    std::deque<std::shared_ptr<SentMessage>> orphans;
    {
      std::lock_guard lock(q->mutex);
      q->closed = true;
      orphans.swap(q->sent);
    }
    for (auto& sm : orphans) Finish(sm, 0);
  }
  g_shuttingDown.store(false);
}

}  // namespace t4::platform
