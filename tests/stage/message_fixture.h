// Shared pieces of the message and command tests: commands built in code, the game's fonts over
// the fixed-metric face, and a main window on a thread of its own for the presentations that the
// pause thread shows (the harness's window belongs to the test thread, which stands still in the
// pause thread's wait and so could not answer the sounds the pause thread sends).
#pragma once

#include <gtest/gtest.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/globals.h"
#include "core/sound_request.h"
#include "data/flow.h"
#include "data/flow_command.h"
#include "data/flow_kinds.h"
#include "gfx/font.h"
#include "platform/messages.h"

namespace t4::test {

// A command of `kind` with `count` parameters, those of `set` given, the rest 0.
inline cFlowCommand Command(int kind, int count, const std::map<int, int32_t>& set = {}, const char* text = "",
                            int16_t time = 0, int8_t parallel = 0) {
  cFlowCommand c;
  c.m_cKind = static_cast<int8_t>(kind);
  c.m_Params.assign(static_cast<size_t>(count), 0);
  for (const auto& [i, v] : set) c.m_Params.At(i) = v;
  c.m_strText = text;
  c.m_sTime = time;
  c.m_cParallel = parallel;
  return c;
}

inline cFlowCommand MessageCommand(const char* text, const std::map<int, int32_t>& set, int8_t parallel = 0) {
  return Command(CMD_MESSAGE, 19, set, text, 0, parallel);
}

inline cFlowCommand WaitCommand(int16_t time, int8_t parallel = 0) {
  return Command(CMD_WAIT, 0, {}, "", time, parallel);
}

inline cFlow MakeFlow(int trigger, const std::vector<cFlowCommand>& cmds, int8_t id = 0) {
  cFlow f;
  f.m_cTrigger = static_cast<int8_t>(trigger);
  f.m_cId = id;
  for (const cFlowCommand& c : cmds) f.m_Cmds.push_back(c);
  return f;
}

// The three game fonts as the program makes them, drawn by the fixed-metric face.
class ScopedGameFonts {
 public:
  ScopedGameFonts() { EXPECT_EQ(DDCreateFonts(g_Fonts, g_FontDescs, 3), 1); }
  ~ScopedGameFonts() {
    for (cFont& f : g_Fonts) f.Release();
  }
  ScopedGameFonts(const ScopedGameFonts&) = delete;
  ScopedGameFonts& operator=(const ScopedGameFonts&) = delete;
};

// Becomes the main window while it lives: it serves what any thread sends it on a thread of its
// own and records the system sounds and close requests.
class ThreadedMainWindow {
 public:
  ThreadedMainWindow() : m_hSaved(g_hWnd.load()) {
    m_Thread = std::thread([this] { Run(); });
    std::unique_lock lock(m_Mutex);
    m_Ready.wait(lock, [this] { return m_hWnd != nullptr; });
    g_hWnd = m_hWnd;
  }
  ~ThreadedMainWindow() {
    g_hWnd = m_hSaved;
    platform::PostThreadMessage(m_dwThread, WM_QUIT, 0, 0);
    m_Thread.join();
  }
  ThreadedMainWindow(const ThreadedMainWindow&) = delete;
  ThreadedMainWindow& operator=(const ThreadedMainWindow&) = delete;

  std::vector<int> Sounds() {
    std::lock_guard lock(m_Mutex);
    return m_Sounds;
  }
  int Closes() {
    std::lock_guard lock(m_Mutex);
    return m_nCloses;
  }

 private:
  static LRESULT Proc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM) {
    auto* self = static_cast<ThreadedMainWindow*>(platform::GetWindowUserData(hWnd));
    if (!self) return 0;
    std::lock_guard lock(self->m_Mutex);
    if (msg == WM_PLAY_SOUND) self->m_Sounds.push_back(static_cast<int>(wParam));
    if (msg == WM_CLOSE) ++self->m_nCloses;
    return 0;
  }
  void Run() {
    platform::EnsureMessageQueue();
    HWND hWnd = platform::CreateMessageWindow(&Proc, this);
    {
      std::lock_guard lock(m_Mutex);
      m_dwThread = platform::GetCurrentThreadId();
      m_hWnd = hWnd;
    }
    m_Ready.notify_all();
    MSG msg;
    while (platform::GetMessage(&msg)) platform::DispatchMessage(&msg);
    platform::DestroyWindow(hWnd);
  }

  HWND m_hSaved;
  std::thread m_Thread;
  std::mutex m_Mutex;
  std::condition_variable m_Ready;
  HWND m_hWnd = nullptr;
  DWORD m_dwThread = 0;
  std::vector<int> m_Sounds;
  int m_nCloses = 0;
};

}  // namespace t4::test
