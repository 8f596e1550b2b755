// The animation player every in-stage object carries: a table of frame lists and the position in
// the running one, turned into one pattern number per drawn frame.
#pragma once

#include <cstdint>

#include "core/safe_containers.h"
#include "data/database.h"

// Control patterns of a frame list.
constexpr int32_t ANIME_STEP_BACK = -1;
constexpr int32_t ANIME_LOOP = -2;
constexpr int32_t ANIME_CHAIN = -3;

// One entry of a program's own static animation table.
struct ANIMESRC {
  int32_t nPattern;
  int32_t nFrames;
  uint8_t cHold;
};

class cAnime {
 public:
  cAnime() = default;

  void Clear();
  // `source`: null-terminated array of animations; each ends with its first entry after entry 0
  // whose pattern is negative. Null leaves the player as it is.
  void SetTable(const ANIMESRC* const* source);
  // Installs frame lists that already end with their control entry.
  void SetTable(const cSafeVector<ANIMEFRAMELIST>& table);
  // A number outside a non-empty table is reported; the player then shows animation 0.
  int Set(int nAnime, int bForce);
  int Change(int nAnime, int bForce);
  int Update();
  int GetPattern() const;

  cSafeVector<ANIMEFRAMELIST> m_Table;
  int32_t m_nAnime = 0;
  int32_t m_nFrame = 0;
  int32_t m_nTick = 0;

 private:
  bool HeldNow() const;
  const ANIMEFRAMELIST& Current() const;
};
