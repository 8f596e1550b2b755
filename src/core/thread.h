// The thread object used for every thread the game starts for itself.
#pragma once

#include <atomic>

#include "platform/thread.h"
#include "platform/win_types.h"

// The thread message of the start hand-shake: a starter that will post to the new thread repeats
// PostThreadMessage(id, THREAD_START_MSG, 0, 0) until the thread has made its queue.
constexpr UINT THREAD_START_MSG = 0x8000;

// How many 1 ms polls `cThread::Exit` waits for a thread to end after WM_QUIT.
constexpr int THREAD_EXIT_POLLS = 200;

class cThread {
 public:
  using Proc = unsigned (*)(void*);

  cThread() = default;
  ~cThread();
  cThread(const cThread&) = delete;
  cThread& operator=(const cThread&) = delete;

  int Start(Proc proc, void* param);
  // Blocks (1 ms polls) until the thread has ended, then releases it.
  void Wait();
  int Suspend();
  int Resume();
  // Resumes the thread, posts WM_QUIT and waits for it to end. A thread that does not end within
  // the bound is left to itself (detached, never killed: killing would leave locks held); the
  // shell then leaves without static destruction. The shell calls t4::platform::BeginShutdown
  // first, so that a thread blocked in a send to the window thread is released and can end.
  void Exit();

  // Read by the window thread (closing, the dialogs' suspension) while the starting thread writes
  // them.
  std::atomic<DWORD> m_dwThreadId{0};
  std::atomic<HANDLE> m_hThread{nullptr};
};

extern cThread thGame;
extern cThread thPause;
extern cThread thRanking;
extern cThread thStageLoad;
