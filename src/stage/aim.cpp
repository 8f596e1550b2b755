#include "stage/aim.h"

#include <cmath>

#include "data/stage_file.h"
#include "persist/system_data.h"
#include "stage/stage_globals.h"
#include "stage/stage_object.h"

namespace {

// Computed once: the flee form splits its speed evenly over both axes.
const double INV_SQRT2 = 1.0 / std::sqrt(2.0);

double RunningSpeed(const cScroll& axis) {
  return axis.m_bAuto && axis.m_dAutoSpeed != 0 && !axis.m_bAtEdge ? axis.m_dAutoSpeed : 0.0;
}

int DirOf(double vx) { return vx < 0 ? 1 : vx > 0 ? 2 : 0; }

double SubStepsOrOne() { return g_Stage.m_dSubSteps > 0 ? g_Stage.m_dSubSteps : 1.0; }

// The course on which a mover at its speed meets a point carried by the auto-scroll; false when
// there is none (vx, vy then keep what was already stored).
bool Intercept(double& vx, double& vy, double dx, double dy, double fromX, double fromY, double toX, double toY) {
  const double sx = AutoScrollSpeedX();
  const double sy = AutoScrollSpeedY();
  const double u2 = vx * vx + vy * vy;
  const double a = dx * dx;
  const double b = dy * dy;
  const double r = sy * sy * a + sx * sx * b - 2 * sx * sy * dx * dy;
  if (std::fabs(dy) < std::fabs(dx)) {
    if (a == 0) return false;
    const double w = b / a + 1;
    const double y = (2 * b * sx - 2 * dx * dy * sy) / a;
    const double d = y * y - 4 * w * (r / a - u2);
    if (d < 0) return false;
    vx = (y + std::sqrt(d)) / (2 * w);
    if (dx < 0) vx = -vx;
    if (sx - vx == 0) return false;
    const double t = (fromX - toX) / (sx - vx);
    if (t == 0) return false;
    vy = (t * sy + dy) / t;
    return true;
  }
  if (b == 0) return false;
  const double w = a / b + 1;
  const double y = (2 * a * sy - 2 * dx * dy * sx) / b;
  const double d = y * y - 4 * w * (r / b - u2);
  if (d < 0) return false;
  vy = (y + std::sqrt(d)) / (2 * w);
  if (dy < 0) vy = -vy;
  if (sy - vy == 0) return false;
  const double t = (fromY - toY) / (sy - vy);
  if (t == 0) return false;
  vx = (t * sx + dx) / t;
  return true;
}

}  // namespace

double AutoScrollSpeedX() { return RunningSpeed(ScrollX()); }
double AutoScrollSpeedY() { return RunningSpeed(ScrollY()); }

int CalcAimSpeed(double& vx, double& vy, int& dir, const cStageObject* target, double fromX, double fromY, double toX,
                 double toY, double speed, int riderFlag, int plain, int arrive) {
  const double dx = toX - fromX;
  const double dy = toY - fromY;
  const double sx = AutoScrollSpeedX();
  const double sy = AutoScrollSpeedY();
  const bool addsScroll = g_SystemData.AimAddsScroll() != 0;
  vx = vy = 0;
  if (!plain && speed < 0) {
    const double p = std::fabs(speed) * INV_SQRT2;
    vx = fromX < toX ? -p : p;
    vy = fromY < toY ? -p : p;
    dir = DirOf(vx);
    if (addsScroll) {
      vx += sx;
      vy += sy;
    } else if (target && (riderFlag != 0) != (target->m_bScrollRide != 0)) {
      vx -= sx;
      vy -= sy;
    }
    return 0;
  }
  double d = std::sqrt(dx * dx + dy * dy);
  if (d == 0) d = 1;
  vx = dx / d * speed;
  vy = dy / d * speed;
  if (addsScroll) {
    vx += sx;
    vy += sy;
  } else if (target) {
    if (riderFlag) {
      if (!target->m_bScrollRide) vx -= sx, vy -= sy;
    } else if (!target->m_bScrollRide) {
      vx -= sx;
      vy -= sy;
    } else if ((sx != 0 || sy != 0) && !Intercept(vx, vy, dx, dy, fromX, fromY, toX, toY)) {
      return 0;
    }
  }
  dir = DirOf(vx);
  return arrive && std::fabs(dx) <= std::fabs(speed) && std::fabs(dy) <= std::fabs(speed) ? 1 : 0;
}

int CalcAimSpeedX(double& vx, double& vy, int& dir, const cStageObject* target, double fromX, double toX, double speed,
                  int riderFlag, int arrive) {
  dir = fromX < toX ? 2 : 1;
  vx = fromX < toX ? speed : -speed;
  if (!riderFlag && target && target->m_bScrollRide && g_SystemData.AimAddsScroll()) vx += AutoScrollSpeedX();
  vy = 0;
  return arrive && std::fabs(speed) > std::fabs(fromX - toX) ? 1 : 0;
}

int CalcAimSpeedY(double& vx, double& vy, int& dir, const cStageObject* target, double fromY, double toY, double speed,
                  int riderFlag, int arrive) {
  dir = 0;
  vy = fromY < toY ? speed : -speed;
  if (!riderFlag && target && target->m_bScrollRide && g_SystemData.AimAddsScroll()) vy += AutoScrollSpeedY();
  vx = 0;
  return arrive && std::fabs(speed) > std::fabs(fromY - toY) ? 1 : 0;
}

namespace {

void AdvancePhase(double& phase, double step) {
  phase += step;
  const double period = 360 * SubStepsOrOne();
  if (phase >= period) phase -= period;
}

}  // namespace

double WaveSpeed(int amplitude, int frequency, double& phase, double step, double offset) {
  const double n = SubStepsOrOne();
  const double k = frequency * DEG_TO_RAD;
  const double r = amplitude * k * std::cos(k * (phase / n + offset)) / n;
  AdvancePhase(phase, step);
  return r;
}

double WaveAccel(int amplitude, int frequency, double& phase, double step, double offset) {
  const double n = SubStepsOrOne();
  const double k = frequency * DEG_TO_RAD;
  const double r = -amplitude * (k * k) * std::sin(k * (phase / n + offset)) / (n * n);
  AdvancePhase(phase, step);
  return r;
}

double PerSecToSubstep(double x) { return x / SubStepsOrOne() * 0.016666666666666666; }
