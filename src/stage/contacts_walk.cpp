// A walking character against the block characters: landing on them, bumping its head, being
// pushed sideways, squeezed under one or crushed, and riding the one it stands on.
#include <algorithm>

#include "data/flow_kinds.h"
#include "data/stage_file.h"
#include "persist/system_data.h"
#include "stage/block_collision.h"
#include "stage/chara.h"
#include "stage/chara_damage.h"
#include "stage/contacts_geometry.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"

namespace {

using namespace contacts;

constexpr int CLEARANCE_STEPS = 15;
constexpr double CLEARANCE_STEP = 0.1;

// What one pass over the block characters found.
struct Found {
  double left = UNSET, right = UNSET, top = UNSET, bottom = UNSET;
  int leftId = -1, rightId = -1, topId = -1;
  double topSpeed = 0, bottomSpeed = 0;
  bool touched = false;
};

class WalkCollision {
 public:
  WalkCollision(cScenePlay& scene, cCharaBase& c) : m_Scene(scene), m_C(c) {}
  int Run();

 private:
  void Classify(cChara& k);
  void BottomCandidate(cChara& k);
  void LeftLimit(const cChara& k, double v) {
    if (f.left == UNSET || v > f.left) f.left = v, f.leftId = k.m_nId;
    m_C.m_bBlockedLeft = 1;
  }
  void RightLimit(const cChara& k, double v) {
    if (f.right == UNSET || v < f.right) f.right = v, f.rightId = k.m_nId;
    m_C.m_bBlockedRight = 1;
  }
  void CeilingEffects(double y, double speedY);
  void PushUnderFirst(bool setTopFlag);
  void SidePushes();
  bool CeilingProbeFails();
  bool LandingProbeFails();
  void Land(cChara& k);
  void Clearance();

  cScenePlay& m_Scene;
  cCharaBase& m_C;
  Found f;
  cChara* m_lpRide = nullptr;
  Rect m_Upper{};
  bool m_bLanded = false;
};

void WalkCollision::BottomCandidate(cChara& k) {
  if (k.m_dSpeedY < 0) m_C.m_bBlockedBottom = 1;
  const double v = k.m_dY - m_C.m_nHitHeight;
  if (f.bottom == UNSET || v < f.bottom) {
    f.bottom = v;
    f.bottomSpeed = k.m_dSpeedY;
    m_C.m_nRideCharaId = k.m_nId;
    m_C.m_dRideX = k.m_dX;
    m_C.m_dRideY = k.m_dY;
    m_C.m_dRideRight = k.m_dRight;
    m_C.m_dRideBottom = k.m_dBottom;
    m_lpRide = &k;
  }
}

void WalkCollision::Classify(cChara& k) {
  cCharaBase& c = m_C;
  const double n = g_Stage.m_dSubSteps > 0 ? g_Stage.m_dSubSteps : 1.0;
  const bool loose = g_SystemData.LooseCharaLanding() != 0;
  const Rect kb = BoxOf(k);
  const Rect kprev = PrevBoxOf(k);
  const Rect p = PrevBoxOf(c);
  const Rect prevX{p.l, c.m_dY, p.r, c.m_dBottom};
  const double midline = m_Upper.b;
  if (Overlap(m_Upper, kb)) {
    const double ow = Extent(m_Upper.l, m_Upper.r, kb.l, kb.r);
    const double oh = Extent(m_Upper.t, m_Upper.b, kb.t, kb.b);
    if (c.m_dSpeedY > 2 / n && Overlap(prevX, kprev) && p.t < kprev.t && (loose || p.b < kprev.b)) {
      BottomCandidate(k);
      return;
    }
    if ((ow - oh > 0.4 / n && c.m_dBottom > kb.b && (loose || c.m_dY > kb.t)) ||
        (Overlap(prevX, kprev) && p.t > kprev.t && !Overlap(p, kb))) {
      if (k.m_dSpeedY > 0) c.m_bBlockedTop = 1;
      if (f.top == UNSET || kb.b + 1 > f.top) f.top = kb.b + 1, f.topSpeed = k.m_dSpeedY, f.topId = k.m_nId;
      if (c.m_bRideChara && c.m_dSpeedY < 0) c.m_bBlockedBottom = 1;
      return;
    }
    const Rect leftEdge{c.m_dX, c.m_dY, c.m_dX, midline};
    const Rect rightEdge{c.m_dRight, c.m_dY, c.m_dRight, midline};
    const bool movingLeft = c.m_dSpeedX < 0;
    const Rect& first = movingLeft ? leftEdge : rightEdge;
    const Rect& second = movingLeft ? rightEdge : leftEdge;
    auto limitBy = [&](const Rect& edge) {
      if (&edge == &leftEdge)
        LeftLimit(k, kb.r + 1.5);
      else
        RightLimit(k, kb.l - c.m_nHitWidth - 0.5);
    };
    if (Touches(k, first))
      limitBy(first);
    else if (Touches(k, second))
      limitBy(second);
    return;
  }
  const double ow = Extent(c.m_dX, c.m_dRight, kb.l, kb.r);
  const double oh = Extent(c.m_dY, c.m_dBottom, kb.t, kb.b);
  if (oh > ow) {
    if (Touches(k, {c.m_dRight, c.m_dY, c.m_dRight, c.m_dBottom})) RightLimit(k, kb.l - c.m_nHitWidth - 0.5);
    if (Touches(k, {c.m_dX, c.m_dY, c.m_dX, c.m_dBottom})) LeftLimit(k, kb.r + 1.5);
    return;
  }
  const int h = c.m_nHitHeight;
  const Rect foot{c.m_dX + 1, c.m_dBottom - h / 3, c.m_dRight - 1, c.m_dBottom};
  if (Overlap(foot, kb)) BottomCandidate(k);
}

void WalkCollision::CeilingEffects(double y, double speedY) {
  cCharaBase& c = m_C;
  c.m_bJumping = c.m_bJumpCut = c.m_bCeilingHit = 1;
  c.m_dInertiaY = 0;
  if (!g_SystemData.KeepImpactOnChara()) c.ClearImpactY();
  c.m_dSpeedY = speedY;
  c.m_dY = y;
  c.AfterMoveY();
}

void WalkCollision::PushUnderFirst(bool setTopFlag) {
  for (cChara& k : g_CharaList) {
    if (!LiveBlockChara(k, m_C) || !Overlap(m_Upper, BoxOf(k))) continue;
    if (setTopFlag && k.m_dSpeedY > 0) m_C.m_bBlockedTop = 1;
    CeilingEffects(k.m_dBottom + 1, k.m_dSpeedY);
    return;
  }
}

void WalkCollision::SidePushes() {
  cCharaBase& c = m_C;
  auto push = [&](double x, int id) {
    c.m_dInertiaX = 0;
    if (!(c.m_bRideChara && id == c.m_nRideCharaId)) c.m_bLandedOnChara = 1;
    c.m_dX = x;
    c.AfterMoveX();
  };
  if (f.left != UNSET) push(f.left, f.leftId);
  if (f.right != UNSET) push(f.right, f.rightId);
}

bool WalkCollision::CeilingProbeFails() {
  cCharaBase& c = m_C;
  const double y = c.m_dY;
  c.m_dY = f.top;
  const bool fails = c.HitCornerBlocks() != 0 || m_Scene.HitBlockCharaExcept(c, f.topId) != 0;
  c.m_dY = y;
  return fails;
}

bool WalkCollision::LandingProbeFails() {
  cCharaBase& c = m_C;
  const double y = c.m_dY;
  c.m_dY = f.bottom;
  const bool fails = c.HitCornerBlocks2(0) != 0;
  c.m_dY = y;
  return fails;
}

void WalkCollision::Land(cChara& k) {
  cCharaBase& c = m_C;
  c.m_dInertiaY = 0;
  if (!c.m_bRideChara) {
    c.m_bRideChara = 1;
    if (c.m_nSide == 0) FireStageTrigger(k, TRIG_RIDDEN_BY_HERO, &c, 0);
    FireStageTrigger(k, TRIG_RIDDEN_BY_CHARA, &c, 0);
  }
  c.m_dY = f.bottom;
  c.AfterMoveY();
  c.m_dSpeedY = 0;
  c.m_nAirFrames = c.m_bJumping = c.m_bJumpCut = c.m_bAirborne = c.m_bImpacted = 0;
  if (c.m_nSide == 1)
    c.m_bCeilingHit = 0;
  else if (!g_Heroes.empty())
    g_Heroes.At(0).m_bNoJump = 0;
  m_bLanded = true;
}

void WalkCollision::Clearance() {
  cCharaBase& c = m_C;
  const bool byFlags = g_SystemData.ClearanceByBlocked() != 0;
  const bool dirs[4] = {
      byFlags ? c.m_bBlockedLeft != 0 : f.left != UNSET, byFlags ? c.m_bBlockedRight != 0 : f.right != UNSET,
      byFlags ? c.m_bBlockedTop != 0 : f.top != UNSET, byFlags ? c.m_bBlockedBottom != 0 : f.bottom != UNSET};
  // Back toward the block character that pushed: left push -x, right push +x, ceiling -y, floor +y.
  const double steps[4] = {-CLEARANCE_STEP, CLEARANCE_STEP, -CLEARANCE_STEP, CLEARANCE_STEP};
  for (int d = 0; d < 4; ++d) {
    if (!dirs[d]) continue;
    for (int i = 0; i < CLEARANCE_STEPS && c.HitCornerBlocks2(0); ++i) {
      if (d < 2) {
        c.m_dX += steps[d];
        c.AfterMoveX();
      } else {
        c.m_dY += steps[d];
        c.AfterMoveY();
      }
    }
  }
}

int WalkCollision::Run() {
  cCharaBase& c = m_C;
  const double entry[4] = {c.m_dX, c.m_dY, c.m_dRight, c.m_dBottom};
  m_Upper = {c.m_dX, c.m_dY, c.m_dRight, c.m_dY + c.m_nHitHeight / 2};
  for (cChara& k : g_CharaList) {
    if (!g_bBlockCharaMade) break;
    if (!LiveBlockChara(k, c) || !Overlap(BoxOf(k), BoxOf(c))) continue;
    f.touched = true;
    Classify(k);
  }
  const bool both = f.left != UNSET && f.right != UNSET;
  if (f.top != UNSET && f.bottom == UNSET) {
    if (!(f.topSpeed < 0 && CeilingProbeFails())) {
      CeilingEffects(f.top, f.topSpeed);
      CollideMapYBoth(c);
    }
    SidePushes();
    if (both) {
      c.m_dX = entry[0];
      c.AfterMoveX();
      PushUnderFirst(true);
      c.m_bBlockedLeft = c.m_bBlockedRight = 0;
    }
  } else if (both && f.top == UNSET && f.bottom == UNSET) {
    PushUnderFirst(false);
    c.m_bBlockedLeft = c.m_bBlockedRight = 0;
    f.left = f.right = UNSET;
  } else if (f.bottom != UNSET && !both) {
    if (f.bottomSpeed > 0 && LandingProbeFails())
      c.m_bRideChara = 0;
    else if (m_lpRide)
      Land(*m_lpRide);
    SidePushes();
  } else {
    SidePushes();
  }
  if (f.touched) {
    FireStageTrigger(c, TRIG_HIT_BLOCK_CHARA, nullptr, 0);
    if (c.m_bRideChara) {
      if (c.m_nSide == 0 && !g_Heroes.empty()) g_Heroes.At(0).m_bNoJump = 0;
      FireStageTrigger(c, TRIG_ON_BLOCK_CHARA, nullptr, 0);
    }
  } else if (c.m_bRideChara) {
    if (c.m_nSide == 0 && !g_Heroes.empty()) g_Heroes.At(0).m_bNoJump = 0;
    FireStageTrigger(c, TRIG_HIT_BLOCK_CHARA, nullptr, 0);
    FireStageTrigger(c, TRIG_ON_BLOCK_CHARA, nullptr, 0);
  }
  if ((c.m_bBlockedLeft && c.m_bBlockedRight) || (c.m_bBlockedTop && c.m_bBlockedBottom) || m_Scene.IsCrushed(c, entry))
    return PASS_HERO_DIES;
  Clearance();
  if (c.m_bRideChara && !m_bLanded) {
    if (c.m_dImpactY < 0) {
      c.StopOnChara(1);
      return PASS_GO_ON;
    }
    cChara* carrier = nullptr;
    if (m_Scene.IsOnRiddenChara(c)) {
      for (cChara& k : g_CharaList)
        if (k.m_nId == c.m_nRideCharaId && &k != &c) carrier = &k;
      if (!carrier) return PASS_GO_ON;
    } else {
      carrier = m_Scene.FindBlockCharaBelow(c);
      if (!carrier) {
        c.StopOnChara(1);
        return PASS_GO_ON;
      }
    }
    c.m_nAirFrames = 0;
    c.m_bImpacted = 0;
    c.m_nRideCharaId = carrier->m_nId;
    c.m_dRideX = carrier->m_dX;
    c.m_dRideY = carrier->m_dY;
    c.m_dRideRight = carrier->m_dRight;
    c.m_dRideBottom = carrier->m_dBottom;
  }
  return PASS_GO_ON;
}

}  // namespace

int cScenePlay::CollideBlockCharasWalking(cCharaBase& c) { return WalkCollision(*this, c).Run(); }
