// The six formations and the placements that give each placed object its start, step and
// velocity. Angles: 0 left, 90 up, 180 right, 270 down.
#include <cmath>

#include "data/ed_shot.h"
#include "data/stage.h"
#include "data/stage_file.h"
#include "persist/system_data.h"
#include "stage/aim.h"
#include "stage/chara_base.h"
#include "stage/fire.h"
#include "stage/hero.h"
#include "stage/stage_globals.h"

namespace {

constexpr double RAD_TO_DEG = 57.29577951308232;

int t(double v) { return TruncToInt(v); }
double SX() { return ScrollX().m_dPos; }
double SY() { return ScrollY().m_dPos; }
bool AxisRuns(const cScroll& a) { return a.m_dAutoSpeed != 0.0 && !a.m_bAtEdge; }

// The shooter's screen rectangle and draw size.
struct ScreenRect {
  int L, T, R, B, W, H;
  explicit ScreenRect(const cStageObject& o)
      : L(o.m_rcScreen[0]),
        T(o.m_rcScreen[1]),
        R(o.m_rcScreen[2]),
        B(o.m_rcScreen[3]),
        W(o.m_nDrawWidth),
        H(o.m_nDrawHeight) {}
};

void SetVelocity(FIREPARAM& f, double angle) {
  const double a = angle * DEG_TO_RAD;
  f.dVelX = -std::cos(a) * f.dSpeed;
  f.dVelY = -std::sin(a) * f.dSpeed;
}

// Velocities of the straight placements by direction.
void DirectionVelocity(FIREPARAM& f) {
  const double S = f.dSpeed;
  const double SK = S * FIRE_K;
  switch (f.nDir) {
    case 2: f.dVelX = -S, f.dVelY = 0; break;
    case 3: f.dVelX = S, f.dVelY = 0; break;
    case 6: f.dVelX = 0, f.dVelY = -S; break;
    case 7: f.dVelX = 0, f.dVelY = S; break;
    case 8: f.dVelX = -SK, f.dVelY = -SK; break;
    case 9: f.dVelX = -SK, f.dVelY = SK; break;
    case 10: f.dVelX = SK, f.dVelY = -SK; break;
    case 11: f.dVelX = SK, f.dVelY = SK; break;
    default: f.dVelX = f.dVelY = 0; break;
  }
}

// A direction outside the eight is taken as straight ahead.
int PlacedDirection(const FIREPARAM& f, const cCharaBase& shooter) {
  const int d = f.nDir;
  if (d == 2 || d == 3 || (d >= 6 && d <= 11)) return d;
  return shooter.m_bRight ? 3 : 2;
}

// The muzzle point M of the direction, before offsets.
void MuzzlePoint(int& mx, int& my, int dir, int w, int h, const cCharaBase& shooter) {
  const ScreenRect r(shooter);
  const double K = FIRE_K;
  const int sx = t(SX());
  const int sy = t(SY());
  const int W2 = r.W >> 1, H2 = r.H >> 1, w2 = w >> 1, h2 = h >> 1;
  const int sideY = sy + H2 + r.T - h2;
  const int x8 = t(W2 + sx + r.L + (1 - W2 - w2) * K - w2);
  const int x10 = t(W2 + sx + r.L + K * (r.R + w2 - W2 - r.L + 1) - w2);
  const int y8 = t(sy + r.T + H2 - (h2 + H2) * K - h2);
  const int y9 = t(sy + r.T + H2 + K * (r.B + h2 - r.T - H2 + 1) - h2);
  switch (dir) {
    case 2: mx = sx + r.L - w + 1, my = sideY; break;
    case 3: mx = sx + r.R + 1, my = sideY; break;
    case 6: mx = sx + W2 + r.L - w2, my = sy + r.T - h; break;
    case 7: mx = sx + W2 + r.L - w2, my = sy + r.B + 1; break;
    case 8: mx = x8, my = y8; break;
    case 9: mx = x8, my = y9; break;
    case 10: mx = x10, my = y8; break;
    default: mx = x10, my = y9; break;
  }
}

void AddOffsets(FIREPARAM& f) {
  f.nBaseX += f.nOffsetX;
  f.nBaseY += f.nOffsetY;
}

// Spawns N objects from the base along the step.
void SpawnRow(cSafeList<cShot>& shots, cCharaBase& shooter, const cFlowCommand& cmd, cEdShot& p, FIREPARAM& f) {
  f.nX = f.nBaseX;
  f.nY = f.nBaseY;
  for (int i = 0; i < p.m_cCount; ++i) {
    SpawnAtFormation(shots, f, shooter, cmd, p);
    f.nX += f.nStepX;
    f.nY += f.nStepY;
  }
}

bool Angled(const FIREPARAM& f, const cEdShot& p) { return f.nAngle != 0 || p.m_cAim; }

// The lightning's column count, at most the editor's 50: a stored count past it would overflow the
// centring shift and create objects by the ten thousand.
constexpr int LIGHTNING_COLUMNS_MAX = 50;
int LightningColumns(const cEdShot& p) {
  const int cols = p.m_sFormParam[1];
  return cols > LIGHTNING_COLUMNS_MAX ? LIGHTNING_COLUMNS_MAX : cols;
}

}  // namespace

cCharaBase* FormationTarget(cCharaBase& shooter, const cEdShot& p) {
  switch (p.m_cFormTarget) {
    case 0: return shooter.m_Targets.At(p.m_cFormSlot);
    case 1: return g_Heroes.empty() ? nullptr : &g_Heroes.At(0);
    case 2: return &shooter;
    default: return nullptr;
  }
}

void PlaceMuzzle(FIREPARAM& f, cEdShot&, cCharaBase& shooter) {
  MuzzlePoint(f.nBaseX, f.nBaseY, PlacedDirection(f, shooter), f.nWidth, f.nHeight, shooter);
  AddOffsets(f);
}

void PlaceLineA(FIREPARAM& f, cEdShot& p, cCharaBase& shooter) {
  const int dir = PlacedDirection(f, shooter);
  int mx = 0;
  int my = 0;
  MuzzlePoint(mx, my, dir, f.nWidth, f.nHeight, shooter);
  const int n1 = p.m_cCount - 1;
  const int G = p.m_sFormParam[0] * 16;
  const int g = p.m_sFormParam[0] * 8;
  const int w = f.nWidth;
  const int h = f.nHeight;
  const double K = FIRE_K;
  switch (dir) {
    case 2:
    case 3:
      f.nBaseX = mx;
      f.nBaseY = my - n1 * (g + (h >> 1));
      f.nStepX = 0;
      f.nStepY = G + h;
      break;
    case 6:
    case 7:
      f.nBaseX = mx - n1 * (g + (w >> 1));
      f.nBaseY = my;
      f.nStepX = G + w;
      f.nStepY = 0;
      break;
    default: {
      // Diagonal rows: centred with K, stepped by whole cells.
      const double ex = K * n1 * (g + (w >> 1));
      const double ey = K * n1 * (g + (h >> 1));
      const bool rising = dir == 8 || dir == 11;
      f.nBaseX = t(mx - ex);
      f.nBaseY = rising ? t(my + ey) : t(my - ey);
      f.nStepX = G + w;
      f.nStepY = rising ? -(G + h) : G + h;
      break;
    }
  }
  const int saved = f.nDir;
  f.nDir = dir;
  DirectionVelocity(f);
  f.nDir = saved;
  AddOffsets(f);
}

void PlaceLineB(FIREPARAM& f, cEdShot& p, cCharaBase& shooter) {
  const ScreenRect r(shooter);
  const int dir = PlacedDirection(f, shooter);
  const int sx = t(SX());
  const int G = p.m_sFormParam[0] * 16;
  const int w = f.nWidth;
  const int h = f.nHeight;
  f.nBaseY = t(SY()) + r.B - h + 1;
  f.nStepX = 0;
  f.nStepY = -(G + h);
  const int left = sx + r.L - w + 1;
  const int right = sx + r.R + 1;
  if (dir == 2 || dir == 8 || dir == 9)
    f.nBaseX = left;
  else if (dir == 3 || dir == 10 || dir == 11)
    f.nBaseX = right;
  else
    f.nBaseX = shooter.m_bRight ? right : left;
  const int saved = f.nDir;
  f.nDir = dir;
  DirectionVelocity(f);
  f.nDir = saved;
  AddOffsets(f);
}

void PlaceCentre(FIREPARAM& f, cEdShot&, cCharaBase& shooter) {
  const ScreenRect r(shooter);
  f.nBaseX = t(r.L + (r.W >> 1) + SX() - (f.nWidth >> 1)) + f.nOffsetX;
  f.nBaseY = t(r.T + (r.H >> 1) + SY() - (f.nHeight >> 1)) + f.nOffsetY;
}

void PlaceLightning(FIREPARAM& f, cEdShot& p, cCharaBase& shooter, const cCharaBase& target) {
  const int dir = PlacedDirection(f, shooter);
  const ScreenRect tr(target);
  const double K = FIRE_K;
  const double sx = SX();
  const double sy = SY();
  const int w = f.nWidth;
  const int h = f.nHeight;
  const int u = g_SystemData.LightningWithoutInterval() ? 0 : p.m_sFormParam[0] * 16;
  const int cx = tr.L + (tr.W >> 1);
  const int cy = tr.T + (tr.H >> 1);
  switch (dir) {
    case 2:
    case 3:
      f.nBaseX = dir == 2 ? t(sx + 640 - w) : t(sx);
      f.nBaseY = t(sy) + (tr.H >> 1) + tr.T - (h >> 1);
      f.nStepX = dir == 2 ? -(w + u) : w + u;
      f.nStepY = 0;
      break;
    case 6:
    case 7:
      f.nBaseX = t(sx) + (tr.W >> 1) + tr.L - (w >> 1);
      f.nBaseY = dir == 6 ? t(sy + 480 - h) : t(sy);
      f.nStepX = 0;
      f.nStepY = dir == 6 ? -(h + u) : h + u;
      break;
    default: {
      const bool leftward = dir == 8 || dir == 9;
      const bool upward = dir == 8 || dir == 10;
      const int a = leftward ? 640 - cx : cx;
      const int b = upward ? 480 - cy : cy;
      if (a < b) {
        f.nBaseX = leftward ? t(sx + 640 - w) : t(sx);
        f.nBaseY = upward ? t(sy + cy + a - h) : t(sy + cy - a);
      } else {
        f.nBaseX = leftward ? t(sx + cx + b - w) : t(sx + a - b);
        f.nBaseY = upward ? t(sy + 480 - h) : t(sy);
      }
      f.nStepX = leftward ? t(-K * (w + u)) : t(K * (w + u));
      f.nStepY = upward ? t(-K * (h + u)) : t(K * (h + u));
      break;
    }
  }
  f.nColStepX = f.nColStepY = 0;
  const int cols = LightningColumns(p);
  if (cols >= 2) {
    const int p3 = p.m_sFormParam[2];
    const int c = p3 * 16;
    const int e = ((cols - 1) >> 1) * c;
    const int fs = (cols & 1) ? e : e + p3 * 8;
    switch (dir) {
      case 2:
      case 3:
        f.nColStepY = c;
        f.nBaseY -= fs;
        break;
      case 6:
      case 7:
        f.nColStepX = c;
        f.nBaseX -= fs;
        break;
      case 8:
      case 11:
        f.nColStepX = t(c * K);
        f.nColStepY = t(-c * K);
        f.nBaseX -= t(K * fs);
        f.nBaseY += t(K * fs);
        break;
      default:
        f.nColStepX = t(c * K);
        f.nColStepY = t(c * K);
        f.nBaseX -= t(K * fs);
        f.nBaseY -= t(K * fs);
        break;
    }
  }
  const int saved = f.nDir;
  f.nDir = dir;
  DirectionVelocity(f);
  f.nDir = saved;
  AddOffsets(f);
}

void RotateAroundShooter(FIREPARAM& f, const cCharaBase& shooter, double angle) {
  const ScreenRect s(shooter);
  const double K = FIRE_K;
  const int w2 = f.nWidth >> 1;
  const int h2 = f.nHeight >> 1;
  const double r = (s.B + h2 - s.T - (s.H >> 1) + 1) * K;
  const double q = K * (w2 + s.R - s.L - (s.W >> 1) + 1);
  const double b = (angle + 225) * DEG_TO_RAD;
  f.nBaseX = t(s.L + (s.W >> 1) + SX() + r * std::sin(b) + q * std::cos(b) - w2);
  f.nBaseY = t(s.T + (s.H >> 1) + SY() + q * std::sin(b) - r * std::cos(b) - h2);
}

int AimAngleAtTarget(double x, double y, cCharaBase& shooter, cEdShot& p, FIREPARAM& f) {
  const cCharaBase* target = shooter.m_Targets.At(p.m_cFormSlot);
  if (!target) return shooter.m_bRight ? 180 : 0;
  const ScreenRect tr(*target);
  const bool plain = (!AxisRuns(ScrollX()) && !AxisRuns(ScrollY())) || p.m_cScrollRide || !target->m_bScrollRide;
  if (plain) {
    const double dx = t(SX()) + (tr.W >> 1) + tr.L - x;
    const double dy = t(SY()) + (tr.H >> 1) + tr.T - y;
    return t(std::atan2(dy, dx) * RAD_TO_DEG + 180 + 0.5);
  }
  // The target rides the auto-scroll: aim where it will be when the shot arrives.
  const double n = g_Stage.m_dSubSteps;
  const double speed = (p.m_sSpeed + p.m_sSpeedPerClone * f.nClone) * 0.1 / n;
  double vx = 0.0;
  double vy = 0.0;
  int dir = 0;
  CalcAimSpeed(vx, vy, dir, target, x - t(SX()), y - t(SY()), tr.L + (tr.W >> 1), tr.T + (tr.H >> 1), speed,
               p.m_cScrollRide, 0, 0);
  f.dSpeed = std::sqrt(vx * vx + vy * vy) * n;
  return t(std::atan2(vy, vx) * RAD_TO_DEG + 180);
}

void PlaceMuzzleAngled(FIREPARAM& f, cEdShot& p, cCharaBase& shooter) {
  if (!p.m_cRotate) {
    PlaceMuzzle(f, p, shooter);
    return;
  }
  const ScreenRect r(shooter);
  double a = p.m_cAim ? AimAngleAtTarget(t(SX()) + (r.W >> 1) + f.nOffsetX + r.L,
                                         t(SY()) + (r.H >> 1) + f.nOffsetY + r.T, shooter, p, f)
                      : DirectionAngle(f.nDir);
  a += f.nAngle;
  RotateAroundShooter(f, shooter, a);
  AddOffsets(f);
}

void PlaceLineAAngled(FIREPARAM& f, cEdShot& p, cCharaBase& shooter) {
  const int w = f.nWidth;
  const int h = f.nHeight;
  if (!p.m_cRotate) {
    PlaceLineA(f, p, shooter);
    const double a =
        p.m_cAim ? AimAngleAtTarget(f.nBaseX + (w >> 1), f.nBaseY + (h >> 1), shooter, p, f) : DirectionAngle(f.nDir);
    SetVelocity(f, a + f.nAngle);
    return;
  }
  const ScreenRect r(shooter);
  double a = p.m_cAim ? AimAngleAtTarget(t(SX()) + (r.W >> 1) + f.nOffsetX + r.L,
                                         t(SY()) + (r.H >> 1) + f.nOffsetY + r.T, shooter, p, f) +
                            f.nAngle
                      : f.nAngle + DirectionAngle(f.nDir);
  RotateAroundShooter(f, shooter, a);
  if (p.m_cAim)
    a = AimAngleAtTarget(f.nOffsetX + (w >> 1) + f.nBaseX, f.nOffsetY + (h >> 1) + f.nBaseY, shooter, p, f) + f.nAngle;
  const double s = std::sin(a * DEG_TO_RAD);
  const double c = std::cos(a * DEG_TO_RAD);
  const int n1 = p.m_cCount - 1;
  const int e = p.m_sFormParam[0] * 8;
  const int fl = p.m_sFormParam[0] * 16;
  if ((s >= 0) == (c >= 0)) {
    f.nBaseX = t(f.nBaseX - s * (e + (w >> 1)) * n1);
    f.nStepX = t(s * (fl + w));
    f.nBaseY = t(c * (e + (h >> 1)) * n1 + f.nBaseY);
    f.nStepY = t(c * (-fl - h));
  } else {
    f.nBaseX = t(s * (e + (w >> 1)) * n1 + f.nBaseX);
    f.nStepX = t(s * (-fl - w));
    f.nBaseY = t(f.nBaseY - c * (e + (h >> 1)) * n1);
    f.nStepY = t(c * (fl + h));
  }
  AddOffsets(f);
  SetVelocity(f, a);
}

void PlaceLineBAngled(FIREPARAM& f, cEdShot& p, cCharaBase& shooter) {
  PlaceLineB(f, p, shooter);
  const double a = p.m_cAim ? AimAngleAtTarget(f.nBaseX + (f.nWidth >> 1), f.nBaseY + (f.nHeight >> 1), shooter, p, f)
                            : DirectionAngle(f.nDir);
  SetVelocity(f, a + f.nAngle);
}

void PlaceLightningAngled(FIREPARAM& f, cEdShot& p, cCharaBase& shooter, const cCharaBase& target) {
  PlaceLightning(f, p, shooter, target);
  SetVelocity(f, DirectionAngle(f.nDir) + f.nAngle);
}

void FormationStraightA(cSafeList<cShot>& shots, cCharaBase& shooter, const cFlowCommand& cmd, cEdShot& p,
                        FIREPARAM& f) {
  if (Angled(f, p))
    PlaceLineAAngled(f, p, shooter);
  else
    PlaceLineA(f, p, shooter);
  SpawnRow(shots, shooter, cmd, p, f);
}

void FormationStraightB(cSafeList<cShot>& shots, cCharaBase& shooter, const cFlowCommand& cmd, cEdShot& p,
                        FIREPARAM& f) {
  if (Angled(f, p))
    PlaceLineBAngled(f, p, shooter);
  else
    PlaceLineB(f, p, shooter);
  SpawnRow(shots, shooter, cmd, p, f);
}

void FormationSpread(cSafeList<cShot>& shots, cCharaBase& shooter, const cFlowCommand& cmd, cEdShot& p, FIREPARAM& f) {
  if (Angled(f, p))
    PlaceMuzzleAngled(f, p, shooter);
  else
    PlaceMuzzle(f, p, shooter);
  const double c = p.m_cAim ? AimAngleAtTarget(f.nBaseX + (f.nWidth >> 1), f.nBaseY + (f.nHeight >> 1), shooter, p, f)
                            : DirectionAngle(f.nDir);
  const int N = p.m_cCount;
  const int p1 = p.m_sFormParam[0];
  double a = c + f.nAngle - p1 * ((N & 1) ? N / 2 : N / 2 - 0.5);
  f.nX = f.nBaseX;
  f.nY = f.nBaseY;
  for (int i = 0; i < N; ++i) {
    SetVelocity(f, a);
    SpawnAtFormation(shots, f, shooter, cmd, p);
    a += p1;
  }
}

void FormationLightning(cSafeList<cShot>& shots, cCharaBase& shooter, const cFlowCommand& cmd, cEdShot& p,
                        FIREPARAM& f) {
  const cCharaBase* target = FormationTarget(shooter, p);
  if (!target) return;
  if (f.nAngle != 0)
    PlaceLightningAngled(f, p, shooter, *target);
  else
    PlaceLightning(f, p, shooter, *target);
  f.nX = f.nBaseX;
  f.nY = f.nBaseY;
  const int cols = LightningColumns(p);
  for (int i = 0; i < p.m_cCount; ++i) {
    FIREPARAM column = f;
    for (int j = 0; j < cols; ++j) {
      SpawnAtFormation(shots, column, shooter, cmd, p);
      column.nX += column.nColStepX;
      column.nY += column.nColStepY;
    }
    f.nX += f.nStepX;
    f.nY += f.nStepY;
  }
}

void FormationExplosion(cSafeList<cShot>& shots, cCharaBase& shooter, const cFlowCommand& cmd, cEdShot& p,
                        FIREPARAM& f) {
  PlaceCentre(f, p, shooter);
  f.nX = f.nBaseX;
  f.nY = f.nBaseY;
  const int N = p.m_cCount;
  double a = DirectionAngle(f.nDir) + f.nAngle;
  for (int i = 0; i < N; ++i) {
    SetVelocity(f, a);
    SpawnAtFormation(shots, f, shooter, cmd, p);
    a += 360.0 / N;
  }
}

void FormationSurround(cSafeList<cShot>& shots, cCharaBase& shooter, const cFlowCommand& cmd, cEdShot& p,
                       FIREPARAM& f) {
  const cCharaBase* target = FormationTarget(shooter, p);
  if (!target) return;
  PlaceCentre(f, p, shooter);
  const ScreenRect tr(*target);
  const int cx = t(tr.L + (tr.W >> 1) + SX() - (f.nWidth >> 1) + f.nOffsetX);
  const int cy = t(tr.T + (tr.H >> 1) + SY() - (f.nHeight >> 1) + f.nOffsetY);
  const double D = p.m_sFormParam[0] * 16;
  const int N = p.m_cCount;
  double a = DirectionAngle(f.nDir) + f.nAngle;
  for (int i = 0; i < N; ++i) {
    f.nX = t(D * std::cos(a * DEG_TO_RAD) + 0.5) + cx;
    f.nY = t(D * std::sin(a * DEG_TO_RAD) + 0.5) + cy;
    SetVelocity(f, a);
    SpawnAtFormation(shots, f, shooter, cmd, p);
    a += 360.0 / N;
  }
}
