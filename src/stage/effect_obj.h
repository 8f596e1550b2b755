// An effect animation placed in the stage: an Effect.dat definition's frames played once at a
// stage position, started by the effect command or by a hit.
#pragma once

#include <cstdint>

#include "gfx/dd_types.h"
#include "stage/anime_player.h"

// 1 when n names an effect that can be shown: 1 up to the last definition (0 is "none").
int IsEffectNumber(int n);

class cEffectObj {
 public:
  // The effect command's effect: position (top-left, stage dots) and size worked out by the
  // caller. `animateFrozen`: the animation also runs in frames drawn while play is frozen.
  cEffectObj(int effect, double x, double y, int width, int height, int animateFrozen);
  // A hit's effect, centred on the overlap of the two boxes (left, top, right, bottom) with a
  // random jitter; `sizeFactor` the attacker's giant size.
  cEffectObj(int effect, const double boxA[4], const double boxB[4], int sizeFactor);

  // (Re)loads the effect's frames and starts them.
  void Init(int effect);
  // 1 when the effect has ended (the caller removes it).
  int Draw(DDSURFACEDATA* dst, int frozen);

  int16_t m_nEffect = 0;
  double m_dX = 0.0;
  double m_dY = 0.0;
  int32_t m_nWidth = 0;
  int32_t m_nHeight = 0;
  int32_t m_bScaled = 0;
  cAnime m_Anime;
  int32_t m_bAnimateFrozen = 0;
};
