#include "core/timing.h"

#include <atomic>

#include "platform/clock.h"

namespace {

DWORD g_dwReferenceTime = 0;
DWORD g_dwLastFrameTime = 1;
unsigned g_uTickCounter = 0;

bool g_bFpsStarted = false;
DWORD g_dwFpsWindowStart = 0;
int g_nFpsCount = 0;
int g_nLastFps = 0;

bool g_bIntervalStarted = false;
DWORD g_dwIntervalDue = 0;

bool g_bScheduleStarted = false;
DWORD g_dwScheduleStart = 0;
unsigned g_uScheduleFrame = 0;

std::atomic<bool> g_bScheduleActive{false};

DWORD Now() { return t4::platform::timeGetTime(); }

// True when `now` is before `due` on the wrapping clock.
bool IsBefore(DWORD now, DWORD due) { return static_cast<int32_t>(now - due) < 0; }

}  // namespace

DWORD StartStopwatch() {
  g_dwReferenceTime = Now();
  return g_dwReferenceTime;
}

DWORD GetStopwatchTime(bool bRestart) {
  DWORD now = Now();
  DWORD elapsed = now - g_dwReferenceTime;
  if (bRestart) g_dwReferenceTime = now;
  return elapsed;
}

void StartFrameTimer() { g_dwReferenceTime = Now(); }

DWORD GetFrameTime(bool bMeasure) {
  if (bMeasure) g_dwLastFrameTime = Now() - g_dwReferenceTime;
  return g_dwLastFrameTime;
}

int CountFrameTick(int nMode, unsigned n) {
  if (nMode == 0) {
    g_uTickCounter = 0;
    return 0;
  }
  if (nMode == 2) return g_uTickCounter == 0 ? 1 : 0;
  if (++g_uTickCounter >= n) {
    g_uTickCounter = 0;
    return 1;
  }
  return 0;
}

int CountFps(bool bCount) {
  DWORD now = Now();
  if (!g_bFpsStarted) {
    g_bFpsStarted = true;
    g_dwFpsWindowStart = now;
  }
  if (!bCount) return g_nLastFps;
  if (now - g_dwFpsWindowStart >= 1000) {
    // The call that closes a window counts in neither window.
    g_nLastFps = g_nFpsCount;
    g_dwFpsWindowStart = now;
    g_nFpsCount = 0;
    return g_nLastFps;
  }
  ++g_nFpsCount;
  return g_nLastFps;
}

bool CheckFrameInterval(unsigned nFps) {
  DWORD now = Now();
  if (!g_bIntervalStarted) {
    g_bIntervalStarted = true;
    g_dwIntervalDue = now;
  }
  if (nFps == 0) return true;
  if (IsBefore(now, g_dwIntervalDue)) return false;
  g_dwIntervalDue = now + 1000 / nFps;
  return true;
}

bool CheckFrameSchedule(unsigned nFps, bool /*bShowInfo*/, DDSURFACEDATA* /*lpInfoSD*/) {
  if (!g_bScheduleActive.load() || nFps == 0) return true;
  DWORD now = Now();
  if (!g_bScheduleStarted) {
    g_bScheduleStarted = true;
    g_dwScheduleStart = now;
    g_uScheduleFrame = 0;
  }
  // Milliseconds since the window started, taken on the wrapping clock before going to double.
  double elapsed = static_cast<double>(now - g_dwScheduleStart);
  double due = static_cast<double>(g_uScheduleFrame) * (1000.0 / static_cast<double>(nFps));
  if (elapsed < due) return false;
  if (++g_uScheduleFrame >= nFps) {
    g_uScheduleFrame = 0;
    g_dwScheduleStart = now;
  }
  return true;
}

void SetFrameScheduleActive(bool bActive) { g_bScheduleActive.store(bActive); }

void ResetTimingForTests() {
  g_dwReferenceTime = 0;
  g_dwLastFrameTime = 1;
  g_uTickCounter = 0;
  g_bFpsStarted = false;
  g_dwFpsWindowStart = 0;
  g_nFpsCount = 0;
  g_nLastFps = 0;
  g_bIntervalStarted = false;
  g_dwIntervalDue = 0;
  g_bScheduleStarted = false;
  g_dwScheduleStart = 0;
  g_uScheduleFrame = 0;
  g_bScheduleActive.store(false);
}
