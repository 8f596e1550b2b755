#include "data/ed_shot.h"

#include "data/data_refs.h"

cEdShot::cEdShot() {
  Register(DATA_VERSION);
  Clear();
  SetDefaults();
}

void cEdShot::SetDefaults() {
  m_cAngleMirror = 1;
  m_cMirrorX = 1;
  m_cFactionFromShooter = 1;
  m_cSize = 1;
}

void cEdShot::Register(int nVersion) {
  ClearMemberTables();
  AddMember1(&m_cCount, 1);
  AddMember1(&m_cFormation, 1);
  AddMember2(m_sFormParam, 3);
  if (nVersion > 670) AddMember1(&m_cFormTarget, 1);
  AddMember1(&m_cDir, 1);
  AddMember1(&m_cAim, 1);
  if (nVersion > 766) AddMember1(&m_cFormSlot, 1);
  AddMember2(&m_sAngleOfs, 1);
  AddMember2(&m_sAngleOfsPerClone, 1);
  if (nVersion > 157) AddMember1(&m_cAngleMirror, 1);
  AddMember2(&m_sSpread, 1);
  AddMember1(&m_cRotate, 1);
  AddMember1(&m_cClones, 1);
  AddMember2(&m_sOfsX, 1);
  AddMember2(&m_sOfsXPerClone, 1);
  AddMember2(&m_sOfsY, 1);
  AddMember2(&m_sOfsYPerClone, 1);
  AddMember1(&m_cMirrorX, 1);
  AddMember1(&m_cMirrorY, 1);
  AddMember2(&m_sGraphic, 1);
  AddMember1(&m_cZ, 1);
  AddMember1(&m_cInvisible, 1);
  AddMember1(&m_cFactionFromShooter, 1);
  AddMember1(&m_cFaction, 1);
  AddMember1(&m_cHandler25, 1);
  AddMember1(&m_cSize, 1);
  AddMember1(&m_cHandler27, 1);
  AddMember1(&m_cMoveType, 1);
  AddMember2(m_sMoveParam, 3);
  if (nVersion > 766) AddMember1(&m_cShotSlot, 1);
  if (nVersion > 210) AddMember1(&m_cScrollRide, 1);
  AddMember2(&m_sSpeed, 1);
  AddMember2(&m_sSpeedPerClone, 1);
  if (nVersion > 212) {
    AddMember1(&m_cAccelOn, 1);
    AddMember2(&m_sAccel, 1);
    AddMember2(&m_sAccelPerClone, 1);
  }
  AddMember2(&m_sRange, 1);
  AddMember1(&m_cRangeOn, 1);
  AddMember2(&m_sRangePerClone, 1);
  AddMember1(&m_cStayAfterRange, 1);
  AddMember1(&m_cLifeOn, 1);
  AddMember2(&m_sLife, 1);
  AddMember2(&m_sLifePerClone, 1);
  AddMember1(&m_cPassBlocks, 1);
  AddMember1(&m_cPierce, 1);
  if (nVersion > 635) AddMember1(&m_cPierceBlockChara, 1);
  AddMember1(&m_cCancelShots, 1);
  AddMember1(&m_cCancelValue, 1);
  AddMember4(&m_nPower, 1);
  AddMember2(&m_sHandler50, 1);
  AddMember1(&m_cImpact, 1);
  AddMember2(&m_sEffect, 1);
  AddMember1(&m_cItemKind, 1);
  AddMember2(&m_sItem, 1);
  AddMember1(&m_cSummonMode, 1);
  AddMember1(&m_cHeroGuard, 1);
  if (nVersion > 196) AddMember1(&m_cCharaGuard, 1);
  AddMember1(&m_cSummonPalette, 1);
  AddMember2(&m_sSummonIndex, 1);
  AddMember1(&m_cSummonFactionMode, 1);
  AddMember1(&m_cReverseFacing, 1);
  AddMember1(&m_cNoScore, 1);
  if (nVersion > 761) {
    AddMember1(&m_cHitTrigger, 1);
    AddMember1(&m_cHitFlowId, 1);
  }
}

int cEdShot::Load(FILE* fp) {
  int ok = cRecord::Load(fp);
  int v = g_nFileVersion;
  if (v < DATA_VERSION) {
    if (v < 158) m_cAngleMirror = 0;
    if (v < 197) m_cCharaGuard = m_cHeroGuard;
    if (v < 212) m_cScrollRide = (m_cMoveType >= SHOT_MOVE_HOME_HERO && m_cMoveType <= SHOT_MOVE_HOME_NEAREST2) ? 1 : 0;
    if (v < 213) {
      m_cAccelOn = 0;
      m_sAccel = 0;
      m_sAccelPerClone = 0;
    }
    if (v < 636) m_cPierceBlockChara = m_cPierce;
    if (v <= 670) m_cFormTarget = 0;
  }
  Validate();
  return ok;
}

void cEdShot::Save(FILE* fp) {
  Validate();
  cRecord::Save(fp);
}

void cEdShot::Validate() {
  if (m_cSize <= 0) m_cSize = 1;
  if (IsOutsideDatabase(DBLIST_EFFECT, m_sEffect)) m_sEffect = 0;
}

void MakeEdShot(boost::shared_ptr<cEdShot>& pShot) { pShot.reset(new cEdShot()); }

static const cParamDesc UNUSED_PARAM("", 0, 0, 0);

const cSafeVector<cParamDesc> g_ShotFormationParams = {
    // 0 "直進A"
    {"間隔(hbl)", 0, 40, 0},
    UNUSED_PARAM,
    UNUSED_PARAM,
    // 1 "直進B"
    {"間隔(hbl)", 0, 40, 0},
    UNUSED_PARAM,
    UNUSED_PARAM,
    // 2 "拡散"
    {"角度", 0, 180, 30},
    UNUSED_PARAM,
    UNUSED_PARAM,
    // 3 "落雷"
    {"間隔(hbl)", 0, 40, 0},
    {"列の数", 1, 50, 1},
    {"列の間隔(hbl)", 0, 40, 0},
    // 4 "爆発"
    UNUSED_PARAM,
    UNUSED_PARAM,
    UNUSED_PARAM,
    // 5 "包囲"
    {"距離(hbl)", 0, 40, 6},
    UNUSED_PARAM,
    UNUSED_PARAM,
};

const cSafeVector<cParamDesc> g_ShotMoveTypeParams = {
    // 0 "直進"
    UNUSED_PARAM,
    UNUSED_PARAM,
    UNUSED_PARAM,
    // 1 "主人公を狙う"
    {"軌道変更(hbl)", 0, 40, 0},
    UNUSED_PARAM,
    UNUSED_PARAM,
    // 2 "近いキャラを狙う"
    {"軌道変更(hbl)", 0, 40, 0},
    {"対象勢力", 0, 7, 0},
    UNUSED_PARAM,
    // 3 "ターゲットを狙う"
    {"軌道変更(hbl)", 0, 40, 0},
    UNUSED_PARAM,
    UNUSED_PARAM,
    // 4 "主人公へ誘導"
    {"誘導開始(hbl)", 0, 40, 0},
    {"誘導終了(hbl)", 0, 999, 999},
    UNUSED_PARAM,
    // 5 "近いキャラへ誘導（対象死亡時、誘導を無効化）"
    {"誘導開始(hbl)", 0, 40, 0},
    {"誘導終了(hbl)", 0, 999, 999},
    {"対象勢力", 0, 7, 0},
    // 6 "ターゲットへ誘導"
    {"誘導開始(hbl)", 0, 40, 0},
    {"誘導終了(hbl)", 0, 999, 999},
    UNUSED_PARAM,
    // 7 "近いキャラへ誘導（対象死亡時、対象を変更）"
    {"誘導開始(hbl)", 0, 40, 0},
    {"誘導終了(hbl)", 0, 999, 999},
    {"対象勢力", 0, 7, 0},
    // 8 "ウェーブ"
    {"波の最大(hbl)", 0, 100, 4},
    {"波の速度", 0, 100, 4},
    {"開始角度", 0, 359, 0},
    // 9 "落下"
    {"軌道変更(hbl)", 0, 40, 0},
    UNUSED_PARAM,
    UNUSED_PARAM,
};
