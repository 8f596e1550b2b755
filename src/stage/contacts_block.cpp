// Block characters: characters that others stand on, bump their heads on and are pushed or
// crushed by; riders are carried along with the block character they stand on.
#include <algorithm>

#include "data/flow_kinds.h"
#include "data/stage_file.h"
#include "persist/system_data.h"
#include "stage/block_collision.h"
#include "stage/chara.h"
#include "stage/chara_contacts.h"
#include "stage/chara_damage.h"
#include "stage/contacts_geometry.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"

namespace {

using namespace contacts;

bool FlyingKind0(const cStageObject& o) { return o.m_bFly && o.m_nFlyKind == 0; }

// The candidate positions found by a pass, with the block character that set each.
struct Limits {
  double left = UNSET, right = UNSET, top = UNSET, bottom = UNSET;
  double leftSpeed = 0, rightSpeed = 0, topSpeed = 0, bottomSpeed = 0;
  int leftId = -1, rightId = -1, topId = -1;
  void Max(double& limit, double v) { limit = limit == UNSET ? v : std::max(limit, v); }
  void Min(double& limit, double v) { limit = limit == UNSET ? v : std::min(limit, v); }
};

}  // namespace

int cScenePlay::HitBlockCharaExcept(const cCharaBase& obj, int excludedId) {
  if (FlyingKind0(obj)) return 0;
  const Rect box = BoxOf(obj);
  for (const cChara& k : g_CharaList)
    if (LiveBlockChara(k, obj) && k.m_nId != obj.m_nId && k.m_nId != excludedId && Overlap(BoxOf(k), box)) return 1;
  return 0;
}

int cScenePlay::HitBlockChara(const cCharaBase& obj) { return ::HitBlockChara(obj); }

int HitBlockChara(const cCharaBase& obj) {
  if (FlyingKind0(obj)) return 0;
  const Rect box = BoxOf(obj);
  for (const cChara& k : g_CharaList)
    if (LiveBlockChara(k, obj) && k.m_nId != obj.m_nId && Overlap(BoxOf(k), box)) return 1;
  return 0;
}

int cScenePlay::IsOnRiddenChara(const cCharaBase& c) {
  const Rect below{c.m_dX, c.m_dY, c.m_dRight, c.m_dBottom + 5};
  for (const cChara& k : g_CharaList)
    if (LiveBlockChara(k, c) && k.m_nId == c.m_nRideCharaId) return Overlap(BoxOf(k), below);
  return 0;
}

cChara* cScenePlay::FindBlockCharaBelow(const cCharaBase& c) {
  const Rect below{c.m_dX, c.m_dY, c.m_dRight, c.m_dBottom + 5};
  for (cChara& k : g_CharaList)
    if (LiveBlockChara(k, c) && Overlap(BoxOf(k), below)) return &k;
  return nullptr;
}

int cScenePlay::IsCrushed(const cCharaBase& c, const double entry[4]) {
  if (FlyingKind0(c) || !g_bBlockCharaMade) return 0;
  const double now[4] = {c.m_dX, c.m_dY, c.m_dRight, c.m_dBottom};
  auto corner = [](const double* b, int k, double& x, double& y) {
    x = (k & 1) ? b[2] : b[0];
    y = (k & 2) ? b[3] - 1 : b[1];
  };
  for (int k = 0; k < 4; ++k) {
    bool covered = false;
    for (const cChara& b : g_CharaList) {
      if (!LiveBlockChara(b, c)) continue;
      double x1, y1, x2, y2;
      corner(now, k, x1, y1);
      corner(entry, k, x2, y2);
      if (b.OverlapsRect(x1, y1, x1, y1) || b.OverlapsRect(x2, y2, x2, y2)) {
        covered = true;
        break;
      }
    }
    if (!covered) return 0;
  }
  return 1;
}

void cScenePlay::RideBlockChara(cCharaBase& c) {
  if (c.m_bFly) return;
  cChara* carrier = nullptr;
  for (cChara& k : g_CharaList)
    if (k.m_nId == c.m_nRideCharaId && &k != &c) {
      carrier = &k;
      break;
    }
  if (!carrier) return;
  c.m_dSpeedX += carrier->m_dX - c.m_dRideX;
  if (carrier->m_bFly || !g_SystemData.RideKeepsSpeedY() || carrier->m_bAirborne)
    c.m_dSpeedY = carrier->m_dY - c.m_dRideY;
  if (c.m_nSide == 0) FireStageTrigger(*carrier, TRIG_RIDDEN_BY_HERO, &c, 0);
  FireStageTrigger(*carrier, TRIG_RIDDEN_BY_CHARA, &c, 0);
}

void cScenePlay::PushOutOfBlockCharas(cCharaBase& c, int vertical) {
  Limits lim;
  for (cChara& k : g_CharaList) {
    if (!LiveBlockChara(k, c) || !Overlap(BoxOf(k), BoxOf(c))) continue;
    if (vertical) {
      if (Touches(k, {c.m_dX + 1, c.m_dY, c.m_dRight - 1, c.m_dY})) {
        c.m_bBlockedTop = 1;
        lim.Max(lim.top, k.m_dBottom + 1);
      }
      if (Touches(k, {c.m_dX, c.m_dBottom, c.m_dRight, c.m_dBottom})) {
        c.m_bBlockedBottom = 1;
        lim.Min(lim.bottom, k.m_dY - c.m_nHitHeight);
      }
    } else {
      if (Touches(k, {c.m_dX, c.m_dY + 1, c.m_dX, c.m_dBottom - 1})) {
        c.m_bBlockedLeft = 1;
        if (lim.left == UNSET || k.m_dRight + 1 > lim.left) lim.leftId = k.m_nId;
        lim.Max(lim.left, k.m_dRight + 1);
      }
      if (Touches(k, {c.m_dRight, c.m_dY, c.m_dRight, c.m_dBottom})) {
        c.m_bBlockedRight = 1;
        if (lim.right == UNSET || k.m_dX - c.m_nHitWidth < lim.right) lim.rightId = k.m_nId;
        lim.Min(lim.right, k.m_dX - c.m_nHitWidth);
      }
    }
  }
  if (vertical) {
    if (lim.top != UNSET) c.m_dY = lim.top, c.AfterMoveY();
    if (lim.bottom != UNSET) c.m_dY = lim.bottom, c.AfterMoveY();
    return;
  }
  const auto push = [&](double x, int id) {
    if (!(c.m_bRideChara && id == c.m_nRideCharaId)) c.m_bLandedOnChara = 1;
    c.m_dX = x;
    c.AfterMoveX();
  };
  if (lim.left != UNSET) push(lim.left, lim.leftId);
  if (lim.right != UNSET) push(lim.right, lim.rightId);
}

int cScenePlay::CollideBlockCharas(cCharaBase& c) {
  if (FlyingKind0(c)) return PASS_GO_ON;
  return c.m_bFly ? CollideBlockCharasFlying(c) : CollideBlockCharasWalking(c);
}

int cScenePlay::CollideBlockCharasFlying(cCharaBase& c) {
  Limits lim;
  bool touched = false;
  for (cChara& k : g_CharaList) {
    if (!g_bBlockCharaMade) break;
    if (!LiveBlockChara(k, c) || !Overlap(BoxOf(k), BoxOf(c))) continue;
    touched = true;
    const double ow = Extent(c.m_dX, c.m_dRight, k.m_dX, k.m_dRight);
    const double oh = Extent(c.m_dY, c.m_dBottom, k.m_dY, k.m_dBottom);
    if (ow > oh) {
      if (Touches(k, {c.m_dX + 1, c.m_dY, c.m_dRight - 1, c.m_dY})) {
        c.m_bBlockedTop = 1;
        if (lim.top == UNSET || k.m_dBottom + 1 > lim.top) lim.topSpeed = k.m_dSpeedY;
        lim.Max(lim.top, k.m_dBottom + 1);
      }
      if (Touches(k, {c.m_dX + 1, c.m_dBottom, c.m_dRight - 1, c.m_dBottom})) {
        c.m_bBlockedBottom = 1;
        if (lim.bottom == UNSET || k.m_dY - c.m_nHitHeight < lim.bottom) lim.bottomSpeed = k.m_dSpeedY;
        lim.Min(lim.bottom, k.m_dY - c.m_nHitHeight);
      }
    } else {
      if (Touches(k, {c.m_dX, c.m_dY + 1, c.m_dX, c.m_dBottom - 1})) {
        c.m_bBlockedLeft = 1;
        if (lim.left == UNSET || k.m_dRight + 1 > lim.left) lim.leftSpeed = k.m_dSpeedX;
        lim.Max(lim.left, k.m_dRight + 1);
      }
      if (Touches(k, {c.m_dRight, c.m_dY + 1, c.m_dRight, c.m_dBottom - 1})) {
        c.m_bBlockedRight = 1;
        if (lim.right == UNSET || k.m_dX - c.m_nHitWidth < lim.right) lim.rightSpeed = k.m_dSpeedX;
        lim.Min(lim.right, k.m_dX - c.m_nHitWidth);
      }
    }
  }
  if (touched) FireStageTrigger(c, TRIG_HIT_BLOCK_CHARA, nullptr, 0);
  const bool any = lim.left != UNSET || lim.right != UNSET || lim.top != UNSET || lim.bottom != UNSET;
  if (c.m_nFlyKind == 2) return any ? PASS_HERO_DIES : PASS_GO_ON;
  // In the order left, right, top, bottom: the push applies when the block character comes
  // toward the object or stands, or the object moves into it; otherwise the other axis is pushed
  // out instead (and a refused push from below ends the pass).
  struct Push {
    double limit, speed;
    int sign;  // +1: the block character pushes toward +x / +y
    bool horizontal;
    int32_t& blocked;
  } pushes[4] = {{lim.left, lim.leftSpeed, 1, true, c.m_bBlockedLeft},
                 {lim.right, lim.rightSpeed, -1, true, c.m_bBlockedRight},
                 {lim.top, lim.topSpeed, 1, false, c.m_bBlockedTop},
                 {lim.bottom, lim.bottomSpeed, -1, false, c.m_bBlockedBottom}};
  for (int i = 0; i < 4; ++i) {
    const Push& p = pushes[i];
    if (p.limit == UNSET) continue;
    (p.horizontal ? c.m_dInertiaX : c.m_dInertiaY) = 0;
    const double own = p.horizontal ? c.m_dSpeedX : c.m_dSpeedY;
    if (p.sign * p.speed >= 0 || p.sign * own < 0) {
      if (p.horizontal) {
        c.m_dX = p.limit;
        c.m_bLandedOnChara = 1;
        c.AfterMoveX();
      } else {
        c.m_dY = p.limit;
        c.AfterMoveY();
      }
      continue;
    }
    p.blocked = 0;
    PushOutOfBlockCharas(c, p.horizontal ? 1 : 0);
    if (i == 3) return PASS_GO_ON;
  }
  return PASS_GO_ON;
}
