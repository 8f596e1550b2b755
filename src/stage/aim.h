// Aiming: the velocity toward a point (with the auto-scroll and an intercept course for a target
// riding it), its one-axis forms, moving toward a goal, the wave speed of circular and wave
// movements, and the per-second to per-sub-step conversion.
#pragma once

class cStageObject;

constexpr double DEG_TO_RAD = 0.017453292519943295;

// The running auto-scroll speeds of the two axes per sub-step (0 for an axis that does not run).
double AutoScrollSpeedX();
double AutoScrollSpeedY();

// Velocity (vx, vy) and facing dir (0 none, 1 left, 2 right) from (fromX, fromY) toward (toX, toY)
// at `speed`; a negative speed (unless `plain`) flees from the point. 1 when `arrive` is set and
// the point is within one step.
int CalcAimSpeed(double& vx, double& vy, int& dir, const cStageObject* target, double fromX, double fromY, double toX,
                 double toY, double speed, int riderFlag, int plain, int arrive);
int CalcAimSpeedX(double& vx, double& vy, int& dir, const cStageObject* target, double fromX, double toX, double speed,
                  int riderFlag, int arrive);
int CalcAimSpeedY(double& vx, double& vy, int& dir, const cStageObject* target, double fromY, double toY, double speed,
                  int riderFlag, int arrive);

// The change over one sub-step of a x sin(f x (phase / n + offset)) in degrees; the phase then
// advances by `step` and wraps at 360 n.
double WaveSpeed(int amplitude, int frequency, double& phase, double step, double offset);
// The change of that change.
double WaveAccel(int amplitude, int frequency, double& phase, double step, double offset);
// x / n / 60: a per-second value for one sub-step.
double PerSecToSubstep(double x);
