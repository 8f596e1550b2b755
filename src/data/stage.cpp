#include "data/stage.h"

#include <algorithm>
#include <cstdint>

#include "data/database.h"

namespace {

template <class T>
void ResetList(cSafeVector<T>& list, unsigned n) {
  list.clear();
  list.resize(n);
}

// The validations of a definition after loading and before saving, in palette order.
void ValidateDefs(cSafeVector<cBlock>& blocks, cSafeVector<cCharaDef>& charas, cSafeVector<cItemDef>& items) {
  for (cBlock& block : blocks) {
    block.ValidatePalette();
    block.ValidateItem();
  }
  for (cCharaDef& chara : charas) {
    chara.Validate();
    chara.ValidateFlows();
  }
  for (cItemDef& item : items) {
    item.ValidatePalette();
    item.ValidateCommands();
  }
}

// min(limit, size - blocks), saturated for sizes no playable stage has.
int32_t LimitWithin(int32_t limit, int32_t size, int32_t blocks) {
  const int64_t last = static_cast<int64_t>(size) - blocks;
  return static_cast<int32_t>(std::max<int64_t>(std::min<int64_t>(limit, last), INT32_MIN));
}

}  // namespace

// ---- cStageAreaSetting ----

cStageAreaSetting::cStageAreaSetting() { Register(DATA_VERSION); }

void cStageAreaSetting::Register(int nVersion) {
  ClearMemberTables();
  AddMember4(&m_nLeftOn, 1);
  if (nVersion >= 125) {
    AddMember4(&m_nRightOn, 1);
    AddMember4(&m_nTopOn, 1);
    AddMember4(&m_nBottomOn, 1);
  }
  AddMember4(&m_nLeftMargin, 1);
  AddMember4(&m_nRightMargin, 1);
  AddMember4(&m_nTopMargin, 1);
  AddMember4(&m_nBottomMargin, 1);
}

void cStageAreaSetting::Set(int32_t leftOn, int32_t rightOn, int32_t topOn, int32_t bottomOn, int32_t leftMargin,
                            int32_t rightMargin, int32_t topMargin, int32_t bottomMargin) {
  m_nLeftOn = leftOn;
  m_nRightOn = rightOn;
  m_nTopOn = topOn;
  m_nBottomOn = bottomOn;
  m_nLeftMargin = leftMargin;
  m_nRightMargin = rightMargin;
  m_nTopMargin = topMargin;
  m_nBottomMargin = bottomMargin;
}

// ---- cBackground ----

cBackground::cBackground() {
  Register(DATA_VERSION);
  SetDefault();
}

void cBackground::Register(int nVersion) {
  ClearMemberTables();
  if (nVersion >= 62) AddMember4(&m_nVisible, 1);
  AddMember4(&m_nFillOn, 1);
  AddMember4(&m_nFillColor, 1);
  AddMember4(&m_nFront, 1);
  if (nVersion >= 61) {
    AddMember8(&m_dRatioX, 1);
    AddMember8(&m_dRatioY, 1);
    AddMember4(&m_nAutoX, 1);
    AddMember4(&m_nAutoY, 1);
  } else {
    // The ratios were 4-byte values then; they are read and thrown away.
    AddMember4(&g_nDummyMember, 1);
    AddMember4(&g_nDummyMember, 1);
  }
  if (nVersion >= 876) {
    AddMember8(&m_dAutoSpeedX, 1);
    AddMember8(&m_dAutoSpeedY, 1);
  }
  if (nVersion >= 62) {
    AddMember8(&m_dAutoOffsetX, 1);
    AddMember8(&m_dAutoOffsetY, 1);
  } else if (nVersion == 61) {
    AddMember4(&g_nDummyMember, 1);
    AddMember4(&g_nDummyMember, 1);
  }
  AddString(&m_strImage);
}

void cBackground::SetDefault() {
  Clear();
  m_nVisible = 1;
  m_nFillColor = 16;
  m_dRatioX = 0.1;
  m_dRatioY = 0.1;
}

// ---- cVarInfo ----

cVarInfo::cVarInfo() { Register(DATA_VERSION); }

void cVarInfo::Register(int) {
  ClearMemberTables();
  AddString(&m_strName);
}

// ---- cStage ----

cStage::cStage() {
  Register(DATA_VERSION);
  SetDefault();
}

void cStage::Register(int nVersion) {
  ClearMemberTables();
  auto add = [&](int32_t* field, int since = 0) {
    if (nVersion >= since) AddMember4(field, 1);
  };
  auto addAll = [&](int32_t* fields, int count, int since = 0) {
    for (int i = 0; i < count; ++i) add(&fields[i], since);
  };
  add(&m_nWidth);
  add(&m_nEditorValue1);
  add(&m_nEditorValue2);
  add(&m_nHeight);
  add(&m_nLimitLeftOn);
  add(&m_nLimitRightOn);
  add(&m_nLimitTopOn);
  add(&m_nLimitBottomOn);
  add(&m_nLimitLeft);
  add(&m_nLimitRight);
  add(&m_nLimitTop);
  add(&m_nLimitBottom);
  add(&m_nFps);
  add(&m_nTimeLimitOn);
  add(&m_nTimeLimit);
  add(&m_nTimeWarning);
  add(&m_nScrollModeX);
  add(&m_nScrollModeY);
  add(&m_nAutoScrollX);
  add(&m_nAutoScrollY);
  AddMember8(&m_dGravity, 1);
  add(&m_nCollisionLevel);
  add(&m_nContactChecks);
  add(&m_nBgm);
  add(&m_nBgmLoop, 166);
  add(&m_nBgmKeep, 199);
  add(&m_nUseLayers);
  add(&m_nTakeOverStatus);
  add(&m_nHandOverStatus);
  add(&m_nShowStatus, 183);
  add(&m_nAutoEnd, 184);
  add(&m_nShowStageCaption);
  add(&m_nShowStartCaption, 225);
  add(&m_nShowClearCaption);
  add(&m_nShowGameOverCaption);
  addAll(m_HeroBoxA, 4, 200);
  addAll(m_HeroBoxB, 2);
  addAll(&m_HeroBoxB[2], 2, 155);
  addAll(m_HeroBoxC, 4);
  addAll(m_HeroBoxAAlign, 2, 200);
  addAll(m_HeroBoxBAlign, 2, 155);
  add(&m_HeroBoxShow[0], 200);
  addAll(&m_HeroBoxShow[1], 3);
  add(&m_HeroBoxColor[0], 200);
  addAll(&m_HeroBoxColor[1], 3);
  addAll(m_CharaBoxA, 4, 200);
  addAll(m_CharaBoxB, 2);
  addAll(&m_CharaBoxB[2], 2, 155);
  addAll(m_CharaBoxC, 2);
  addAll(m_CharaBoxAAlign, 2, 200);
  addAll(m_CharaBoxBAlign, 2, 155);
  addAll(m_ItemBox, 2);
  addAll(m_ShotBoxes, 8);
  add(&m_nBoxReserved);
  add(&m_nAreaWidth);
  add(&m_nAreaHeight);
  add(&m_nSubSteps);
  AddMember8(&m_dSubSteps, 1);
  AddMember8(&m_dSubStepsSq, 1);
  AddMember8(&m_dSpeedLimit, 1);
  AddMember8(&m_dGravityStep, 1);
  AddMember8(&m_dSpeedLimitStep, 1);
  add(&m_nAirDelay);
  add(&m_nTargetFlag);
  add(&m_nHeroHitInterval);
  add(&m_nHeroDamagePause);
  add(&m_nEnemyHitInterval);
  add(&m_nEnemyDamagePause);
  AddString(&m_strTitle);
}

void cStage::SetDefault() {
  Clear();
  m_BlockPlaces.clear();
  m_CharaPlaces.clear();
  m_ItemPlaces.clear();
  ResetBlockList(1);
  ResetCharaList(1);
  ResetItemList(1);

  m_nFps = 60;
  m_nTimeLimit = 200;
  m_nTimeWarning = 20;
  m_dGravity = 0.4;
  m_nCollisionLevel = COLLISION_LEVEL_DEFAULT;
  m_nUseLayers = 1;
  m_nShowStatus = 1;
  m_nShowStartCaption = 1;
  m_nShowClearCaption = 1;
  m_nShowGameOverCaption = 1;
  const int32_t heroBoxA[4] = {16, 24, 16, 16};
  const int32_t heroBoxC[4] = {12, 8, 16, 16};
  const int32_t charaBoxB[4] = {12, 24, 12, 16};
  std::copy_n(heroBoxA, 4, m_HeroBoxA);
  std::copy_n(heroBoxA, 4, m_HeroBoxB);
  std::copy_n(heroBoxC, 4, m_HeroBoxC);
  m_HeroBoxAAlign[0] = m_HeroBoxBAlign[0] = 1;
  m_HeroBoxAAlign[1] = m_HeroBoxBAlign[1] = 0;
  std::copy_n(heroBoxA, 4, m_CharaBoxA);
  std::copy_n(charaBoxB, 4, m_CharaBoxB);
  m_CharaBoxC[0] = m_CharaBoxC[1] = 30;
  m_CharaBoxAAlign[0] = m_CharaBoxBAlign[0] = 1;
  m_CharaBoxAAlign[1] = m_CharaBoxBAlign[1] = 0;
  m_ItemBox[0] = m_ItemBox[1] = 28;
  std::fill_n(m_ShotBoxes, 8, 16);
  m_nTargetFlag = 1;
  m_nHeroHitInterval = 30;
  m_nEnemyHitInterval = 30;

  ResetBackgrounds(1);
  m_Backgrounds.At(0).m_nFillOn = 1;
  m_RankingKinds.assign(STAGE_RANKING_KINDS, 1);
  for (int i = 0; i < STAGE_AREA_COUNT; ++i) m_Areas[i].Set(0, 0, 0, 0, 0, 0, 0, 0);
  m_Areas[STAGE_AREA_HERO_SHOT].Set(1, 1, 1, 1, 0, 0, 0, 0);
  m_Areas[STAGE_AREA_ENEMY_SHOT].Set(1, 1, 1, 1, 10, 10, 10, 10);
  m_nBoxReserved = 1;
}

void cStage::SetCollisionLevel(int level) {
  // Any other level would give no sub-steps (a division by zero below) or an unbounded number.
  if (level < COLLISION_LEVEL_MIN || level > COLLISION_LEVEL_MAX) level = COLLISION_LEVEL_DEFAULT;
  m_nCollisionLevel = level;
  const bool bFine = level >= 11;
  const int32_t n = bFine ? level - 10 : level;
  m_nSubSteps = n;
  m_dSubSteps = n;
  m_dSubStepsSq = static_cast<double>(n * n);
  m_nCmdTimeUnit = 6 * n;
  m_dSpeedLimit = bFine ? 60.0 : 6.0 * n;
  m_dSpeedLimitStep = m_dSpeedLimit / n;
  m_nAirDelay = 8 * n;
  m_dGravityStep = m_dGravity / (n * n);
}

void cStage::Normalize() {
  cStagePaletteScope scope(*this);
  m_nLimitLeft = LimitWithin(m_nLimitLeft, m_nWidth, VIEW_BLOCKS_X);
  m_nLimitRight = LimitWithin(m_nLimitRight, m_nWidth, 1);
  m_nLimitTop = LimitWithin(m_nLimitTop, m_nHeight, VIEW_BLOCKS_Y);
  m_nLimitBottom = LimitWithin(m_nLimitBottom, m_nHeight, 1);
  SetCollisionLevel(m_nCollisionLevel);
  if (IsOutsideList(m_nBgm, g_Database.m_Bgms.size())) m_nBgm = 0;
  // The stage palette follows the rules of every palette: two entries at least, each validated.
  m_Palette.Normalize();
  ValidateDefs(m_BlockPlaces, m_CharaPlaces, m_ItemPlaces);
}

int cStage::FindPlayerPlacement() const {
  for (size_t i = 0; i < m_CharaPlaces.size(); ++i) {
    const cCharaDef& chara = m_CharaPlaces[i];
    if (chara.m_sGraphicNo != 0 && chara.m_cController == 0) return static_cast<int>(i);
  }
  return -1;
}

int cStage::GetCarriedItemPlacement(const cCharaDef& placement) const {
  return IsOutsideList(placement.m_nPlaceExtra, m_ItemPlaces.size()) ? -1 : placement.m_nPlaceExtra;
}

void cStage::ResetBlockList(unsigned n) { ResetList(PalBlocks(), n); }
void cStage::ResetCharaList(unsigned n) { ResetList(PalCharas(), n); }
void cStage::ResetItemList(unsigned n) { ResetList(PalItems(), n); }
void cStage::ResetBackgrounds(unsigned n) { ResetList(m_Backgrounds, n); }

void cStage::CopySettingsFrom(const cStage& src) {
  if (&src == this) return;
  CopyMembersFrom(src);
  m_Backgrounds = src.m_Backgrounds;
  m_VarInfos = src.m_VarInfos;
  for (int i = 0; i < STAGE_AREA_COUNT; ++i) m_Areas[i].CopyMembersFrom(src.m_Areas[i]);
  m_RankingKinds = src.m_RankingKinds;
}

void cStage::ClearDefinitionLists() {
  m_BlockPlaces.clear();
  m_CharaPlaces.clear();
  m_ItemPlaces.clear();
  PalBlocks().clear();
  PalCharas().clear();
  PalItems().clear();
}

// ---- cStagePaletteScope ----

cStagePaletteScope::cStagePaletteScope(cStage& stage) : m_lpPrevious(&GetStagePalette()) {
  SetStagePalette(&stage.m_Palette);
}

cStagePaletteScope::~cStagePaletteScope() { SetStagePalette(m_lpPrevious); }
