// Animations (named frame lists) and animation sets (the basic animations of a character with
// the cell offsets its state adds), as stored in Anime.dat and AnimeSet.dat.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/safe_containers.h"
#include "data/record.h"

constexpr int ANIMESET_BASIC_COUNT = 4;

class cAnimeFrameData : public cRecord {
 public:
  cAnimeFrameData();

  void Register(int nVersion) override;

  int32_t m_nPattern = 0;  // cell of the graphic sheet
  int32_t m_nTime = 0;     // tenths of a second
  int32_t m_nEndFlag = 0;  // this frame and every later one hold
};

class cAnimeData : public cRecord {
 public:
  cAnimeData();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

  // Cleared, one default frame, the byte 1.
  void SetDefault();

  std::string m_strName;
  cSafeVector<cAnimeFrameData> m_Frames;
  // Stored since version 55; nothing at run time reads them.
  int16_t m_sValueA = 0;
  int8_t m_cValueB = 1;
  int16_t m_sValueC = 0;
};

class cAnimeSet : public cRecord {
 public:
  cAnimeSet();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

  std::string m_strName;
  int32_t m_nInvincibleOfs = 4;
  int32_t m_nBlockOfs = 8;
  int32_t m_nFlyOfs = 0;
  cSafeVector<cAnimeData> m_Animes;

 private:
  // Makes the animation list exactly `count` long (fresh animations appended, surplus dropped).
  void ResizeAnimes(size_t count);
};

// Reads int32 n and n animation bodies into `animes` (elements replaced). 0 on a damaged file.
int LoadAnimeVector(cSafeVector<cAnimeData>& animes, FILE* fp);
