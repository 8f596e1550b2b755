// Parameters of the commands that create objects from a formation: shots, swords and the three
// summons. Every shot object carries its own copy.
#pragma once

#include <cstdint>
#include <cstdio>

#include <boost/shared_ptr.hpp>

#include "core/safe_containers.h"
#include "data/param_desc.h"
#include "data/record.h"

constexpr int SHOT_FORMATION_COUNT = 6;

// Movement kinds of shots (the movement type of a shot's record).
enum : int {
  SHOT_MOVE_STRAIGHT = 0,
  SHOT_MOVE_AIM_HERO,
  SHOT_MOVE_AIM_NEAREST,
  SHOT_MOVE_AIM_TARGET,
  SHOT_MOVE_HOME_HERO,
  SHOT_MOVE_HOME_NEAREST,
  SHOT_MOVE_HOME_TARGET,
  SHOT_MOVE_HOME_NEAREST2,
  SHOT_MOVE_WAVE,
  SHOT_MOVE_FALL,
  SHOT_MOVE_KIND_COUNT
};

class cEdShot : public cRecord {
 public:
  cEdShot();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;
  void Validate();

  // Meanings of the positions whose use by the handlers is least certain; the handlers read them
  // through these so that a wrong guess is corrected here alone.
  int8_t& RangeOn() { return m_cRangeOn; }
  int8_t& StayAfterRange() { return m_cStayAfterRange; }
  int8_t& PassBlocks() { return m_cPassBlocks; }
  int8_t& SummonMode() { return m_cSummonMode; }
  int8_t& HeroGuard() { return m_cHeroGuard; }
  int8_t& CharaGuard() { return m_cCharaGuard; }
  int8_t& SummonFactionMode() { return m_cSummonFactionMode; }
  int8_t& ReverseFacing() { return m_cReverseFacing; }
  int8_t& NoScore() { return m_cNoScore; }
  int8_t& OutOfAreaOption() { return m_cHandler25; }
  // Summoned characters and items keep their lifetime in the range.
  int16_t& SummonLifetime() { return m_sRange; }

  // In file order.
  int8_t m_cCount = 0;
  int8_t m_cFormation = 0;
  int16_t m_sFormParam[3] = {0, 0, 0};
  int8_t m_cFormTarget = 0;
  int8_t m_cDir = 0;
  int8_t m_cAim = 0;
  int8_t m_cFormSlot = 0;
  int16_t m_sAngleOfs = 0;
  int16_t m_sAngleOfsPerClone = 0;
  int8_t m_cAngleMirror = 1;
  int16_t m_sSpread = 0;
  int8_t m_cRotate = 0;
  int8_t m_cClones = 0;
  int16_t m_sOfsX = 0;
  int16_t m_sOfsXPerClone = 0;
  int16_t m_sOfsY = 0;
  int16_t m_sOfsYPerClone = 0;
  int8_t m_cMirrorX = 1;
  int8_t m_cMirrorY = 0;
  int16_t m_sGraphic = 0;
  int8_t m_cZ = 0;
  int8_t m_cInvisible = 0;
  int8_t m_cFactionFromShooter = 1;
  int8_t m_cFaction = 0;
  int8_t m_cHandler25 = 0;
  int8_t m_cSize = 1;
  int8_t m_cHandler27 = 0;
  // Unsigned: SwordType.dat holds more than 128 entries, so a sword type of 150 is a real entry.
  uint8_t m_cMoveType = 0;  // shots: movement type; swords: the SwordType.dat entry
  int16_t m_sMoveParam[3] = {0, 0, 0};
  int8_t m_cShotSlot = 0;
  int8_t m_cScrollRide = 0;
  int16_t m_sSpeed = 0;
  int16_t m_sSpeedPerClone = 0;
  int8_t m_cAccelOn = 0;
  int16_t m_sAccel = 0;
  int16_t m_sAccelPerClone = 0;
  int16_t m_sRange = 0;
  int8_t m_cRangeOn = 0;
  int16_t m_sRangePerClone = 0;
  int8_t m_cStayAfterRange = 0;
  int8_t m_cLifeOn = 0;
  int16_t m_sLife = 0;
  int16_t m_sLifePerClone = 0;
  int8_t m_cPassBlocks = 0;
  int8_t m_cPierce = 0;
  int8_t m_cPierceBlockChara = 0;
  int8_t m_cCancelShots = 0;
  int8_t m_cCancelValue = 0;
  int32_t m_nPower = 0;
  int16_t m_sHandler50 = 0;
  int8_t m_cImpact = 0;
  int16_t m_sEffect = 0;
  int8_t m_cItemKind = 0;  // palette of the item given on a hit: 0 none, 1 common, 2 stage
  int16_t m_sItem = 0;
  int8_t m_cSummonMode = 0;
  int8_t m_cHeroGuard = 0;
  int8_t m_cCharaGuard = 0;
  int8_t m_cSummonPalette = 0;  // 0 common, 1 stage
  int16_t m_sSummonIndex = 0;
  int8_t m_cSummonFactionMode = 0;
  int8_t m_cReverseFacing = 0;
  int8_t m_cNoScore = 0;
  int8_t m_cHitTrigger = 0;
  int8_t m_cHitFlowId = 0;

 private:
  void SetDefaults();
};

void MakeEdShot(boost::shared_ptr<cEdShot>& pShot);

// Ranges of the formation-specific and movement-type-specific values, row = type x 3 + value.
extern const cSafeVector<cParamDesc> g_ShotFormationParams;
extern const cSafeVector<cParamDesc> g_ShotMoveTypeParams;
