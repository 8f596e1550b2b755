// Frame timing: a stopwatch and a frame timer sharing one reference time, a tick counter for
// once-every-n-frames events, the frames-per-second counter and the two frame gates.
// All values are milliseconds of the wrapping 32-bit clock; differences are taken modulo 2^32,
// so nothing stalls when the clock wraps.
#pragma once

#include "platform/win_types.h"

struct DDSURFACEDATA;

DWORD StartStopwatch();
DWORD GetStopwatchTime(bool bRestart);
void StartFrameTimer();
DWORD GetFrameTime(bool bMeasure);
int CountFrameTick(int nMode, unsigned n);
int CountFps(bool bCount);
// DirectDraw gate: true when the next frame may run; a late frame runs at once, and the next is
// due a full interval after it.
bool CheckFrameInterval(unsigned nFps);
// Direct3D gate (without vertical sync): frames on a grid of 1000/nFps ms that restarts every
// nFps frames. `bShowInfo` and `lpInfoSD` are passed through by the present and have no effect.
bool CheckFrameSchedule(unsigned nFps, bool bShowInfo, DDSURFACEDATA* lpInfoSD);
// Whether a Direct3D context exists: the drawing layer tells the schedule gate.
void SetFrameScheduleActive(bool bActive);

// Test support: back to the state of a fresh start.
void ResetTimingForTests();
