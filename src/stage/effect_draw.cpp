// The stage's effect list: effects drawn once a frame and removed when they have played, and the
// effects hits start.
#include "gfx/batch.h"
#include "stage/scene_play.h"

void cScenePlay::DrawEffects(DDSURFACEDATA* dst, int frozen) {
  DDBeginBatch(1);
  for (auto it = m_Effects.begin(); it != m_Effects.end();) {
    if (it->Draw(dst, frozen))
      it = m_Effects.erase(it);
    else
      ++it;
  }
  DDEndBatch();
}

void cScenePlay::AddAttackEffect(int effect, const double boxA[4], const double boxB[4], int sizeFactor) {
  // Number 0 is "no effect"; other numbers outside the definitions start nothing either.
  if (!IsEffectNumber(effect)) return;
  m_Effects.emplace_back(effect, boxA, boxB, sizeFactor);
}
