// Records of the database lists other than animations: exclusive character bitmaps, sword types,
// effects, character and screen effects, pictures, sounds and music.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/safe_containers.h"
#include "data/record.h"

// Bmp_CharaExc.dat: a bitmap drawn instead of a graphic sheet.
class cBmpCharaExc : public cRecord {
 public:
  cBmpCharaExc();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;

  std::string m_strName;
  std::string m_strFile;
  int32_t m_nValue152 = 0;
  int32_t m_nCellSizeFlag = 0;
  int32_t m_nCellSize = 0;  // in blocks
};

class cSwordTypeEntry : public cRecord {
 public:
  cSwordTypeEntry();

  void Register(int nVersion) override;

  int32_t m_nOfsX = 0;
  int32_t m_nOfsY = 0;
  int32_t m_nMirrorX = 0;  // negate the X offset when facing right
  int32_t m_nMirrorY = 0;
  int32_t m_nPosKind = 0;  // 0 front, 1 back, 2 above, 3 below
  int32_t m_nImageX = 0;
  int32_t m_nImageY = 0;
  int32_t m_nWidth = 0;
  int32_t m_nHeight = 0;
  int32_t m_nTime = 0;  // tenths of a second
};

class cSwordType : public cRecord {
 public:
  cSwordType();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

  std::string m_strName;
  std::string m_strText2;
  std::string m_strText3;
  int32_t m_nValue151 = 0;
  cSafeVector<cSwordTypeEntry> m_Entries;
};

class cEffectFrame : public cRecord {
 public:
  cEffectFrame();

  void Register(int nVersion) override;

  int32_t m_nPattern = 0;
  int32_t m_nTime = 0;  // tenths of a second
};

class cEffectDef : public cRecord {
 public:
  cEffectDef();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

  std::string m_strName;
  std::string m_strFile;
  int32_t m_nValue151 = 0;
  int32_t m_nFrameWidth = 32;
  int32_t m_nFrameHeight = 32;
  int32_t m_nScaleWithAttacker = 0;
  cSafeVector<cEffectFrame> m_Frames;
};

// The layout shared by character effects and screen effects: a kind and its five parameters.
class cEffectParamDef : public cRecord {
 public:
  cEffectParamDef();

  void Register(int nVersion) override;

  std::string m_strName;
  int32_t m_nKind = 0;
  int32_t m_nParam[5] = {};
};

class cCharaEffectDef : public cEffectParamDef {
 public:
  int Load(FILE* fp) override;
};

class cScrEffectDef : public cEffectParamDef {
 public:
  int Load(FILE* fp) override;
};

class cPictureDef : public cRecord {
 public:
  cPictureDef();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;

  std::string m_strName;
  std::string m_strFile;
  int32_t m_nValue151 = 0;
};

class cSoundDef : public cRecord {
 public:
  cSoundDef();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;

  std::string m_strName;
  std::string m_strFile;  // WAV file
  int32_t m_nValue151 = 0;
};

class cBgmDef : public cRecord {
 public:
  cBgmDef();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;

  std::string m_strName;
  std::string m_strFile;
  int32_t m_nValue151 = 0;
  int32_t m_nVolume = 100;  // percent
};
