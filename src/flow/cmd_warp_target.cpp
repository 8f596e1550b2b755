#include "flow/cmd_warp_target.h"

#include <cstdint>

#include "data/ed_move.h"
#include "data/flow_command.h"
#include "flow/cmd_move.h"
#include "persist/system_data.h"
#include "stage/block_collision.h"
#include "stage/chara_base.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/search.h"
#include "stage/stage_globals.h"

namespace {

const double WARP_DIAGONAL = 1.0 / 1.4142135623730951;

// Moves by `d` dots in direction `dir`; false for a code that is no direction.
bool Offset(double& x, double& y, int dir, double d, bool& movedX, bool& movedY) {
  const double k = d * WARP_DIAGONAL;
  double dx = 0;
  double dy = 0;
  switch (dir) {
    case DIR_LEFT: dx = -d; break;
    case DIR_RIGHT: dx = d; break;
    case DIR_UP: dy = -d; break;
    case DIR_DOWN: dy = d; break;
    case DIR_UP_LEFT: dx = -k, dy = -k; break;
    case DIR_DOWN_LEFT: dx = -k, dy = k; break;
    case DIR_UP_RIGHT: dx = k, dy = -k; break;
    case DIR_DOWN_RIGHT: dx = k, dy = k; break;
    default: return false;
  }
  movedX = dir != DIR_UP && dir != DIR_DOWN;
  movedY = dir != DIR_LEFT && dir != DIR_RIGHT;
  x += dx;
  y += dy;
  return true;
}

// The point of the record in mode 5: each used axis is set, the others stay.
void WarpToPoint(cCharaBase& c, cEdMove& m, int fromStatus) {
  auto offset = [&m](int blocks, int dots, int& o, int& a) {
    if (m.m_cUnit == 0) {
      o = blocks * 32 + dots, a = 16;
    } else if (m.m_cUnit == 1) {
      o = blocks + dots, a = 0;
    } else {
      o = 0, a = 16;
    }
  };
  int ox = 0;
  int ax = 16;
  int oy = 0;
  int ay = 16;
  if (m.m_cUseX) offset(m.m_sTargetX, m.m_sTargetDotX, ox, ax);
  if (m.m_cUseY) offset(m.m_sTargetY, m.m_sTargetDotY, oy, ay);
  const bool useX = m.m_cUseX != 0;
  const bool useY = m.m_cUseY != 0;
  const bool foot = UseFootPoint(m.m_cYPoint, c.m_bFly) != 0;
  const cScroll& sx = ScrollX();
  const cScroll& sy = ScrollY();
  switch (m.m_cCoordMode) {
    case 0:
      if (c.m_bRight) {
        if (m.m_cMirrorX) ox = -ox;
        if (m.m_cMirrorY) oy = -oy;
      }
      if (useX) c.m_dX += ox;
      if (useY) c.m_dY += oy;
      break;
    case 1:
      if (g_SystemData.CompatWarpBlockPos() || (fromStatus && g_SystemData.CompatWarpStatusBlock())) {
        if (useX) {
          c.SetBlockX(m.m_sTargetX);
          c.m_dX += m.m_sTargetDotX;
        }
        if (useY) {
          c.SetBlockY(m.m_sTargetY, 1);
          c.m_dY += m.m_sTargetDotY;
        }
        break;
      }
      if (useX) c.m_dX = sx.m_nBorder * 32 + ox - c.m_nHitWidth / 2 + ax + 0.5;
      if (useY) {
        const int lift = foot ? c.m_nHitHeight - 16 : c.m_nHitHeight / 2;
        c.m_dY = sy.m_nBorder * 32 + oy - lift + ay + 0.5;
      }
      break;
    case 2:
      if (g_SystemData.CompatWarpBlockPos()) {
        if (useX) c.m_dX = c.m_nDrawOffsetX + sx.m_dPos + ox;
        if (useY) c.m_dY = c.m_nDrawOffsetY + sy.m_dPos + oy;
        break;
      }
      if (useX) c.m_dX = ox + sx.m_dPos - c.m_nHitWidth / 2 + ax + 0.5;
      if (useY) {
        if (!foot)
          c.m_dY = oy + sy.m_dPos - c.m_nHitHeight / 2 + ay + 0.5;
        else if (g_SystemData.CompatWarpScreenFoot())
          c.m_dY = oy + sy.m_dPos - (c.m_nHitHeight - 32) + ay + 0.5;
        else
          c.m_dY = oy + sy.m_dPos - c.m_nHitHeight + 16 + ay + 0.5;
      }
      break;
    default: break;  // no such coordinate mode: the character stays
  }
}

}  // namespace

int ExecWarp(cCharaBase& c, cFlowCommand& cmd, int fromStatus) {
  if (!cmd.m_pMove) return 0;
  cEdMove& m = *cmd.m_pMove;
  const int mode = m.m_cMode;
  cCharaBase* t = nullptr;
  if (mode >= 1 && mode <= 4) {
    t = c.m_Targets.At(mode - 1);
    if (!t) return 0;  // nothing to warp beside
  }
  c.m_bFixScreenX = c.m_bFixScreenY = 0;
  const double x0 = c.m_dX;
  const double y0 = c.m_dY;
  const double r0 = c.m_dRight;
  const double b0 = c.m_dBottom;
  const double d = (int64_t{m.m_sDistance} + int64_t{m.m_sDistancePerClone} * c.m_nCloneValue) * 16.0;
  const bool older = g_SystemData.CompatWarpFlying() != 0;
  bool movedX = false;
  bool movedY = false;
  if (mode == 0) {
    const int dir = ResolveMoveDirection(c, m.m_cDir, 1, 0, older ? c.m_bFly : 1);
    Offset(c.m_dX, c.m_dY, dir, d, movedX, movedY);
  } else if (t) {
    const int dir = ResolveMoveDirection(*t, m.m_cDir, 1, 0, older ? t->m_bFly : 1);
    // The drawn image is centred on the target's first.
    c.m_dX = t->m_dX - t->m_nDrawOffsetX + t->m_nDrawWidth / 2 + c.m_nDrawOffsetX - c.m_nDrawWidth / 2;
    c.m_dY = t->m_dY - t->m_nDrawOffsetY + t->m_nDrawHeight / 2 + c.m_nDrawOffsetY - c.m_nDrawHeight / 2;
    Offset(c.m_dX, c.m_dY, dir, d, movedX, movedY);
    movedX = movedY = true;
  } else if (mode == 5) {
    WarpToPoint(c, m, fromStatus);
    // The edges follow the new place, so that the stage and block tests below look at it.
    movedX = c.m_dX != x0;
    movedY = c.m_dY != y0;
  }
  if (movedX) c.AfterMoveX();
  if (movedY) c.AfterMoveY();
  c.UpdateScreenRect();
  int undone = 0;
  if (!c.IsInStage(0) || HitBlock(c)) {
    c.m_dX = x0;
    c.m_dY = y0;
    c.m_dRight = r0;
    c.m_dBottom = b0;
    c.AfterMoveY();
    c.AfterMoveX();
    c.UpdateScreenRect();
    undone = 1;
  } else if (!c.m_bFly) {
    c.m_dSpeedY = 0;
  }
  if (mode == 5 && m.m_cCoordMode == 2) {
    // Drawn at a fixed screen place until a movement command runs: the new one, or the old one
    // when the warp was undone.
    c.m_bFixScreenX = c.m_bFixScreenY = 1;
    c.m_nFixScreenX = c.m_rcScreen[0];
    c.m_nFixScreenY = c.m_rcScreen[1];
  }
  return undone;
}

void SetTargetSlot(cCharaBase& c, int slot, cCharaBase* other, int clearWhenNull) {
  if (!other && !clearWhenNull) return;
  // A slot outside the four is reported and slot 0 stands in for it, in the back-link as well: a
  // link naming a slot the holder does not have is never taken back and would outlive it (and
  // slot 4 would pass for an owner link).
  if (slot < 0 || slot >= static_cast<int>(c.m_Targets.size())) {
    c.m_Targets.At(slot);
    slot = 0;
  }
  cCharaBase*& held = c.m_Targets.At(slot);
  const TARGETLINK link{&c, slot};
  if (held) {
    cSafeVector<TARGETLINK>& links = held->m_BackLinks;
    for (auto it = links.begin(); it != links.end();) it = EqualLink(*it, link) ? links.erase(it) : it + 1;
    held = nullptr;
  }
  if (!other) return;
  held = other;
  for (const TARGETLINK& l : other->m_BackLinks)
    if (EqualLink(l, link)) return;
  other->m_BackLinks.push_back(link);
}

int ExecSetTarget(cCharaBase& c, cFlowCommand& cmd) {
  cSafeVector<int32_t>& p = cmd.m_Params;
  if (p.size() < 16) {
    p.At(15);  // a record shorter than its kind: reported as a bad index
    return 0;
  }
  cScenePlay* scene = g_lpScenePlay;
  cCharaBase* r = nullptr;
  const int rule = p.At(1);
  switch (rule) {
    case 0: r = g_Heroes.empty() ? nullptr : &g_Heroes.front(); break;
    case 1: r = &c; break;
    case 2: {
      if (!scene) break;
      const double x = c.m_rcScreen[0] + (c.m_nDrawWidth >> 1);
      const double y = c.m_rcScreen[1] + (c.m_nDrawHeight >> 1);
      auto nearest = [&](const cSafeList<cCharaBase*>& list) {
        return FindNearestChara(x, y, list, p.At(4), p.At(9), p.At(10), p.At(11), p.At(12), p.At(13), p.At(14), p.At(5),
                                p.At(6), p.At(7), p.At(8), c.m_nId);
      };
      if (p.At(3)) {
        cSafeList<cCharaBase*> nearestOfEach;
        for (const cSafeList<cCharaBase*>& list : scene->m_CharaLayers)
          if (!list.empty())
            if (cCharaBase* n = nearest(list)) nearestOfEach.push_back(n);
        if (!nearestOfEach.empty()) r = nearest(nearestOfEach);
      } else {
        r = nearest(scene->m_CharaLayers.At(p.At(2)));
      }
      break;
    }
    case 3: {
      if (!scene) break;
      auto first = [&](const cSafeList<cCharaBase*>& list) {
        return FindCharaByCond(list, p.At(9), p.At(10), p.At(11), p.At(12), p.At(13), p.At(14), p.At(5), p.At(6),
                               p.At(7), p.At(8), c.m_nId);
      };
      if (p.At(3)) {
        for (const cSafeList<cCharaBase*>& list : scene->m_CharaLayers)
          if (!list.empty() && (r = first(list)) != nullptr) break;
      } else {
        r = first(scene->m_CharaLayers.At(p.At(2)));
      }
      break;
    }
    case 4: r = c.m_pOwner; break;
    case 5:
      for (auto it = c.m_BackLinks.rbegin(); it != c.m_BackLinks.rend(); ++it)
        if (it->nSlot == 4) {
          r = it->pChara;
          break;
        }
      break;
    case 6:
      r = FindLinkedCharaByCond(c.m_BackLinks, 4, p.At(2), p.At(3), p.At(9), p.At(10), p.At(11), p.At(12), p.At(13),
                                p.At(14), p.At(5), p.At(6), p.At(7), p.At(8), c.m_nId);
      break;
    case 7:
    case 8:
    case 9:
    case 10: r = c.m_Targets.At(rule - 7); break;
    default: break;
  }
  const int none = p.At(15);
  if (none == 0 || none == 1) SetTargetSlot(c, p.At(0), r, none == 0 ? 1 : 0);
  return 0;
}

void CmdWarp(cCharaBase* c, cFlowCommandState* cs) { ExecWarp(*c, *cs->m_pCommand, 0); }
void CmdSetTarget(cCharaBase* c, cFlowCommandState* cs) { ExecSetTarget(*c, *cs->m_pCommand); }
