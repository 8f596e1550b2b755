#include "stage/effect_obj.h"

#include <algorithm>
#include <cstdint>

#include "core/rand_range.h"
#include "data/database.h"
#include "gfx/dd.h"
#include "gfx/scene_surfaces.h"
#include "persist/system_ini.h"
#include "stage/scene_play.h"
#include "stage/stage_object.h"

namespace {

const cEffectDef* DefOf(int n) { return IsEffectNumber(n) ? &g_Database.m_Effects[static_cast<size_t>(n)] : nullptr; }

// Surface i of the effect surfaces, or null when the stage loaded none there.
DDSURFACEDATA* EffectSurface(int64_t i) {
  if (i < 0 || i >= static_cast<int64_t>(Off_Effect.size())) return nullptr;
  return &Off_Effect[static_cast<size_t>(i)];
}

}  // namespace

int IsEffectNumber(int n) {
  return n > 0 && n < static_cast<int>(g_Database.m_Effects.size()) && n < static_cast<int>(g_EffectAnimeTable.size());
}

cEffectObj::cEffectObj(int effect, double x, double y, int width, int height, int animateFrozen)
    : m_nEffect(static_cast<int16_t>(effect)),
      m_dX(x),
      m_dY(y),
      m_nWidth(width),
      m_nHeight(height),
      m_bAnimateFrozen(animateFrozen) {
  const cEffectDef* def = DefOf(effect);
  m_bScaled = def && width != def->m_nFrameWidth ? 1 : 0;
  Init(effect);
}

cEffectObj::cEffectObj(int effect, const double a[4], const double b[4], int sizeFactor)
    : m_nEffect(static_cast<int16_t>(effect)) {
  const cEffectDef* def = DefOf(effect);
  const int w = def ? def->m_nFrameWidth : 0;
  const int h = def ? def->m_nFrameHeight : 0;
  const bool scalable = def && def->m_nScaleWithAttacker;
  if (scalable && sizeFactor > 1) {
    m_bScaled = 1;
    // A frame size from a damaged file times the giant size may pass what an int holds.
    m_nWidth = static_cast<int32_t>(std::clamp<int64_t>(int64_t{w} * sizeFactor, INT32_MIN, INT32_MAX));
    m_nHeight = static_cast<int32_t>(std::clamp<int64_t>(int64_t{h} * sizeFactor, INT32_MIN, INT32_MAX));
  } else {
    m_nWidth = w;
    m_nHeight = h;
  }
  const int f = scalable ? sizeFactor : 1;
  double left = 0, top = 0, right = 0, bottom = 0;
  // Touching boxes overlap.
  if (a[0] <= b[2] && a[2] >= b[0] && a[1] <= b[3] && a[3] >= b[1]) {
    left = std::max(a[0], b[0]);
    top = std::max(a[1], b[1]);
    right = std::min(a[2], b[2]);
    bottom = std::min(a[3], b[3]);
  }
  m_dX = left + (TruncToInt(right - left + 1) >> 1) - (m_nWidth >> 1);
  m_dY = top + (TruncToInt(bottom - top + 1) >> 1) - (m_nHeight >> 1);
  m_dX += RandRange(-4 * f, 4 * f);
  m_dY += RandRange(-4 * f, 4 * f);
  m_bAnimateFrozen = 0;
  Init(effect);
}

void cEffectObj::Init(int effect) {
  m_Anime.Clear();
  if (!IsEffectNumber(effect)) return;
  cSafeVector<ANIMEFRAMELIST> one;
  one.push_back(g_EffectAnimeTable[static_cast<size_t>(effect)]);
  m_Anime.SetTable(one);
  m_Anime.Set(0, 1);
}

int cEffectObj::Draw(DDSURFACEDATA* dst, int frozen) {
  const cEffectDef* def = DefOf(m_nEffect);
  if (!def || def->m_Frames.empty()) return 1;
  int pattern = 0;
  if (frozen && !m_bAnimateFrozen) {
    pattern = m_Anime.GetPattern();
  } else {
    pattern = m_Anime.Update();
    if (pattern == ANIME_END_PLAYED) return 1;
  }
  if (!g_lpScenePlay) return 0;
  const int x = TruncToInt(m_dX - g_lpScenePlay->m_ScrollX.m_dPos);
  const int y = TruncToInt(m_dY - g_lpScenePlay->m_ScrollY.m_dPos);
  const int64_t first = 2 * int64_t{m_nEffect} - 2;
  // A cell far outside any sheet (a pattern number from a damaged file) is not drawn.
  const int64_t cellX = int64_t{pattern} * (m_bScaled ? def->m_nFrameWidth : m_nWidth);
  if (cellX < INT32_MIN || cellX > INT32_MAX) return 0;
  if (!m_bScaled) {
    if (DDSURFACEDATA* src = EffectSurface(first))
      DDBlt(dst, x, y, m_nWidth, m_nHeight, src, static_cast<int>(cellX), 0, BLT_TRANSPARENT);
    return 0;
  }
  const bool plain = !g_bUseD3D && g_SystemIni.m_nDDVideoStretch;
  if (DDSURFACEDATA* src = EffectSurface(plain ? first : first + 1))
    DDBltStretch(dst, x, y, m_nWidth, m_nHeight, src, static_cast<int>(cellX), 0, def->m_nFrameWidth,
                 def->m_nFrameHeight, BLT_TRANSPARENT);
  return 0;
}
