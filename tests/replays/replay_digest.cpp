#include "replays/replay_digest.h"

#include <cstring>

#include "gfx/dd.h"
#include "persist/save_data.h"
#include "platform/raster/surface.h"
#include "stage/scene_play.h"
#include "stage/shot.h"
#include "support/stage_harness.h"

namespace t4::test {

namespace {

class Fold {
 public:
  explicit Fold(uint64_t seed) : m_hash(seed) {}
  template <class T>
  void Add(const T& value) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    for (unsigned char b : bytes) m_hash = (m_hash ^ b) * 1099511628211ull;
  }
  uint64_t Value() const { return m_hash; }

 private:
  uint64_t m_hash;
};

}  // namespace

uint64_t StateDigest(StageHarness& h) {
  Fold f(h.Digest());
  cScenePlay& s = h.Scene();
  f.Add(s.m_nEndRequest);
  f.Add(s.m_nShotIdCount);
  f.Add(static_cast<uint32_t>(s.m_Shots.size()));
  for (const cShot& shot : s.m_Shots) {
    f.Add(shot.m_nId);
    f.Add(shot.m_dX);
    f.Add(shot.m_dY);
    f.Add(shot.m_dVelX);
    f.Add(shot.m_dVelY);
    f.Add(shot.m_nLifeSteps);
    f.Add(shot.m_nRangeSteps);
  }
  f.Add(static_cast<uint32_t>(s.m_Effects.size()));
  for (const cEffectObj& e : s.m_Effects) {
    f.Add(e.m_nEffect);
    f.Add(e.m_dX);
    f.Add(e.m_dY);
  }
  f.Add(static_cast<uint32_t>(s.m_MessageWindows.size()));
  const cSaveData& sd = g_SaveData;
  f.Add(sd.m_nResultScore);
  f.Add(sd.m_nResultTime);
  return f.Value();
}

uint64_t PictureDigest() {
  Fold f(14695981039346656037ull);
  cSurfaceLock lock;
  if (!lock.Lock(&BackBuffer)) return 0;
  const auto format = lock.Pixels()->Format();
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) f.Add(t4::platform::raster::ToArgb(format, lock.Get(x, y)) & 0xFFFFFFu);
  return f.Value();
}

}  // namespace t4::test
