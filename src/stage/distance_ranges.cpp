// The range lines of the characters' distance conditions, shown where a project asks for them:
// two lines at the limits of a horizontal or vertical range, or a circle.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "data/flow_kinds.h"
#include "gfx/batch.h"
#include "persist/system_data.h"
#include "stage/chara_base.h"
#include "stage/scene_play.h"

namespace {

constexpr int RANGE_PALETTE[8] = {208, 212, 216, 220, 224, 228, 232, 236};

// A range from a file is held within +-2^30 dots, as the condition itself holds it.
int RangeDots(const cCond& cond) {
  constexpr int64_t RANGE_LIMIT = int64_t{1} << 30;
  return static_cast<int>(
      std::clamp<int64_t>(int64_t{cond.m_nValue} * 16 + cond.m_sRightIndex, -RANGE_LIMIT, RANGE_LIMIT));
}

// True when a circle about (cx, cy) passes outside every corner of the screen, so that none of
// its points can show: such a circle is not walked at all.
bool CircleMissesScreen(int cx, int cy, int r) {
  const double dx = std::max(std::abs(cx), std::abs(639 - cx));
  const double dy = std::max(std::abs(cy), std::abs(479 - cy));
  return static_cast<double>(r) > std::sqrt(dx * dx + dy * dy) + 1.0;
}

void DrawRange(DDSURFACEDATA* dst, const cCharaBase& c, cCond& cond, int counter) {
  const int L = RangeDots(cond);
  const int colour = RANGE_PALETTE[std::clamp<int>(cond.DistanceColor(), 0, 7)] + (counter >> 3);
  const int shape = cond.m_cShape;
  const bool right = c.m_bRight != 0;
  int before = L, after = L, both = 1;
  switch (shape) {
    case 1:
    case 4:
      before = right ? 0 : L;
      after = right ? L : 0;
      both = 0;
      break;
    case 2:
    case 5:
      before = right ? L : 0;
      after = right ? 0 : L;
      both = 0;
      break;
    default: break;
  }
  const int* rc = c.m_rcScreen;
  int start = 0, end = 0;
  if (shape >= 0 && shape <= 2) {
    cStageObject::CalcJudgeSpan(start, end, rc[0], c.m_nDrawWidth, before, after, both);
    DDFillRectPal(dst, start, 0, 1, 480, static_cast<DWORD>(colour));
    DDFillRectPal(dst, end, 0, 1, 480, static_cast<DWORD>(colour));
  } else if (shape >= 3 && shape <= 5) {
    cStageObject::CalcJudgeSpan(start, end, rc[1], c.m_nDrawHeight, before, after, both);
    DDFillRectPal(dst, 0, start, 640, 1, static_cast<DWORD>(colour));
    DDFillRectPal(dst, 0, end, 640, 1, static_cast<DWORD>(colour));
  } else if (shape == 6 && L > 0) {
    const int cx = rc[0] + (c.m_nDrawWidth >> 1);
    const int cy = rc[1] + (c.m_nDrawHeight >> 1);
    if (!CircleMissesScreen(cx, cy, L)) DDDrawCirclePal(dst, cx, cy, L, static_cast<DWORD>(colour));
  }
}

void DrawRanges(DDSURFACEDATA* dst, const cCharaBase& c, cSafeVector<cCond>& conds, int counter) {
  const bool hidden = c.m_bHidden || c.m_Def.m_cTransparent;
  for (cCond& cond : conds) {
    if (cond.m_cKind != COND_DISTANCE || cond.DistanceDisplay() != 1) continue;
    if (hidden && cond.DistanceForHidden() == 0) continue;
    DrawRange(dst, c, cond, counter);
  }
}

}  // namespace

void DrawDistanceRanges(DDSURFACEDATA* dst, int32_t& counter) {
  if (!(g_nBpp == 8 && !g_bUseD3D && g_SystemData.m_bPaletteCycling)) counter = (counter + 1) & 31;
  if (!g_lpScenePlay) return;
  for (cSafeList<cCharaBase*>& group : g_lpScenePlay->m_CharaLayers) {
    for (cCharaBase* c : group) {
      if (!c || c->m_bDead || !c->IsOnScreen()) continue;
      DrawRanges(dst, *c, c->m_Def.m_Conds, counter);
      for (cFlow& flow : c->m_Def.m_Flows) DrawRanges(dst, *c, flow.m_Conds, counter);
    }
  }
}
