// A character definition: look, numbers, movement and collision switches, activation rules and
// conditions, the flows that give it behaviour, and an optional palette template.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/safe_containers.h"
#include "data/cond.h"
#include "data/flow.h"
#include "data/record.h"

constexpr int CHARA_INHERIT_GROUP_COUNT = 37;

class cCharaDef : public cRecord {
 public:
  cCharaDef();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

  void SetDefault();
  // Resets references outside the database and palettes, fixes player characters and drops
  // empty flows.
  void Validate();
  // Palette references of the flows' commands.
  void ValidateFlows();
  void ApplyInheritance();

  // Offset in dots of copy `i` of a placement: i x step + base, negated when `facing` is 1 (right)
  // and the axis is mirrored.
  double GetRepeatOffsetX(int i, int facing) const;
  double GetRepeatOffsetY(int i, int facing) const;

  int16_t m_sBlockX = 0;
  int16_t m_sBlockY = 0;
  // Stored beside a placement's position: the item placement a character carries.
  int32_t m_nPlaceExtra = 0;
  int8_t m_cInheritKind = 0;
  int16_t m_sInheritIndex = 0;
  cSafeVector<int8_t> m_InheritFlags;
  std::string m_Name;
  cSafeVector<cCond> m_Conds;
  int8_t m_cCondMode = 0;
  int8_t m_cCondLatch = 0;
  int8_t m_cFacing = 0;
  int8_t m_cCopies = 0;
  int16_t m_sCopyBaseX = 0;
  int16_t m_sCopyStepX = 0;
  int16_t m_sCopyBaseY = 0;
  int16_t m_sCopyStepY = 0;
  int8_t m_cCopyMirrorX = 0;
  int8_t m_cCopyMirrorY = 0;
  int16_t m_sGraphicNo = 0;
  int8_t m_cGraphicKind = 1;
  int16_t m_sGraphicOffset = 0;
  int16_t m_sAnimeSet = 0;
  int8_t m_cZOrder = 3;
  int8_t m_cTransparent = 0;
  int16_t m_sAppearEffect = 0;
  int8_t m_cAppearEffectRun = 0;
  int8_t m_cAppearEffectLoop = 1;
  int16_t m_sDeathEffect = 0;
  int8_t m_cDeathEffectRun = 0;
  int8_t m_cShowBadge = 0;
  int16_t m_sBadgeNo = 0;
  int8_t m_cController = 1;  // 0 player, 1 computer
  int8_t m_cPlayerNo = 0;
  int8_t m_cLayer = 1;
  int8_t m_cCharaId = 0;
  int8_t m_cFlight = 0;
  int8_t m_cFixedFacing = 1;
  int8_t m_cInvincible = 0;
  int8_t m_cInvincibleColor = 0;
  int8_t m_cBlockChara = 0;
  int8_t m_cSize = 1;
  int8_t m_cScrollSync = 0;
  int8_t m_cSightShape = 0;
  int8_t m_cSightRange = 0;
  int32_t m_nMaxHp = 10;
  int32_t m_nMaxSp = 0;
  int16_t m_sStopping = 10;
  int8_t m_cBodyBox = 0;
  int32_t m_nBodyPower = 0;
  int8_t m_cBodyImpact = 0;
  int16_t m_sBodyHitEffect = 0;
  int32_t m_nDefence = 0;
  int8_t m_cImpactResist = 0;
  int32_t m_nScore = 0;
  // 1: an ordinary character, one that summons may place.
  int8_t m_cSpareFlag = 1;
  int8_t m_cInGroup = 0;
  int16_t m_sGroupNo = 0;
  int8_t m_cActiveRange = 0;
  int8_t m_cActiveMode = 0;
  cSafeVector<cFlow> m_Flows;

 private:
  void Upgrade(int v);
};
