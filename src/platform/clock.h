// The millisecond clock of the game (a wrapping 32-bit count) and its sleep.
//
// The real clock is std::chrono::steady_clock; tests and headless runs can install a manual
// clock whose Sleep advances time instead of waiting, so frames come out identical and fast.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/scoped_backend.h"
#include "platform/win_types.h"

namespace t4::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual DWORD NowMs() = 0;
  virtual void SleepMs(DWORD ms) = 0;
};

class SteadyClock final : public Clock {
 public:
  DWORD NowMs() override;
  void SleepMs(DWORD ms) override;
};

class ManualClock final : public Clock {
 public:
  explicit ManualClock(DWORD start = 0) : m_now(start) {}
  DWORD NowMs() override { return m_now.load(); }
  // Advances the time by `ms` and lets other threads run.
  void SleepMs(DWORD ms) override;
  void Set(DWORD now) { m_now.store(now); }
  void Advance(DWORD ms) { m_now.fetch_add(ms); }

 private:
  std::atomic<DWORD> m_now;
};

// Installs the clock for the whole process (start-up does this once); null restores the steady one.
void SetClock(Clock* clock);
using ScopedClock = ScopedBackend<Clock, SetClock>;
Clock& GetClock();

DWORD timeGetTime();
void Sleep(DWORD ms);
// Real elapsed time, whatever clock is installed: bounded waits (thread exit) must not shrink
// to nothing under a manual clock.
void SleepReal(DWORD ms);

}  // namespace t4::platform
