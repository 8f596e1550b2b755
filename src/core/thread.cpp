#include "core/thread.h"

#include <exception>

#include "core/globals.h"
#include "core/report_log.h"
#include "platform/clock.h"
#include "platform/messages.h"

cThread thGame;
cThread thPause;
cThread thRanking;
cThread thStageLoad;

cThread::~cThread() { Exit(); }

namespace {

struct ThreadStart {
  cThread::Proc proc;
  void* param;
};

// Every thread body runs inside this guard: a standard-library exception that escapes it (above
// all the out-of-range error of an empty checked vector) closes the program in order instead of
// ending the process on the spot.
unsigned GuardedThreadBody(void* p) {
  ThreadStart start = *static_cast<ThreadStart*>(p);
  delete static_cast<ThreadStart*>(p);
  try {
    return start.proc(start.param);
  } catch (const std::exception& e) {
    WriteReportLog("thread ended by an error: %s", e.what());
    PostCloseToMainWindow();
    return 1;
  }
}

}  // namespace

int cThread::Start(Proc proc, void* param) {
  DWORD id = 0;
  auto* start = new ThreadStart{proc, param};
  HANDLE h = t4::platform::StartThread(GuardedThreadBody, start, &id);
  if (!h) {
    delete start;
    return 0;
  }
  // The id first: whoever sees the handle can post to the thread.
  m_dwThreadId = id;
  m_hThread = h;
  return 1;
}

void cThread::Wait() {
  if (!m_hThread) return;
  while (!t4::platform::HasThreadEnded(m_hThread)) t4::platform::Sleep(1);
  t4::platform::CloseThreadHandle(m_hThread);
  m_hThread = nullptr;
}

int cThread::Suspend() {
  if (!m_hThread) return 1;
  return t4::platform::SuspendThread(m_hThread) >= 0 ? 1 : 0;
}

int cThread::Resume() {
  if (!m_hThread) return 1;
  return t4::platform::ResumeThread(m_hThread) >= 0 ? 1 : 0;
}

void cThread::Exit() {
  if (!m_hThread) return;
  // Undo every suspension, not just one, so the thread can reach its WM_QUIT.
  while (t4::platform::ResumeThread(m_hThread) > 1) {
  }
  DebugLogf("Exit A");
  t4::platform::PostThreadMessage(m_dwThreadId, WM_QUIT, 0, 0);
  DebugLogf("Exit B");
  DebugLogf("Exit C");
  int polls = 0;
  while (!t4::platform::HasThreadEnded(m_hThread)) {
    // Real milliseconds: the bound must hold under a manual test clock as well.
    t4::platform::SleepReal(1);
    t4::platform::PostThreadMessage(m_dwThreadId, WM_QUIT, 0, 0);
    if (++polls >= THREAD_EXIT_POLLS) {
      WriteReportLog("thread %u did not end and was left running", static_cast<unsigned>(m_dwThreadId));
      t4::platform::AbandonThread(m_hThread);
      m_hThread = nullptr;
      DebugLogf("Exit D");
      DebugLogf("Exit E");
      return;
    }
  }
  DebugLogf("Exit D");
  t4::platform::CloseThreadHandle(m_hThread);
  m_hThread = nullptr;
  DebugLogf("Exit E");
}
