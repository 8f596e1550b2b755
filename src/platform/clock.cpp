#include "platform/clock.h"

#include <thread>  // durations and clocks; <chrono> itself cannot be built for Shift-JIS literals
#include <thread>

namespace t4::platform {

namespace {
SteadyClock g_steadyClock;
std::atomic<Clock*> g_clock{&g_steadyClock};
}  // namespace

DWORD SteadyClock::NowMs() {
  using namespace std::chrono;
  // The game only looks at differences of this wrapping counter, so the epoch does not matter.
  return static_cast<DWORD>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SteadyClock::SleepMs(DWORD ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void ManualClock::SleepMs(DWORD ms) {
  m_now.fetch_add(ms);
  std::this_thread::yield();
}

void SetClock(Clock* clock) { g_clock.store(clock ? clock : &g_steadyClock); }

Clock& GetClock() { return *g_clock.load(); }

DWORD timeGetTime() { return GetClock().NowMs(); }

void Sleep(DWORD ms) { GetClock().SleepMs(ms); }

void SleepReal(DWORD ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace t4::platform
