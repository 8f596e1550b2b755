#include "data/chara_def.h"

#include <algorithm>

#include "data/data_refs.h"
#include "data/database.h"
#include "data/def_head.h"
#include "data/palette.h"

namespace {

using InheritCopy = void (*)(cCharaDef& to, const cCharaDef& from);

// One copy operation per inheritance group, indexed by the flag's position.
const InheritCopy CHARA_INHERIT_GROUP[CHARA_INHERIT_GROUP_COUNT] = {
    [](cCharaDef& t, const cCharaDef& f) { t.m_Name = f.m_Name; },
    [](cCharaDef& t, const cCharaDef& f) {
      t.m_cController = f.m_cController;
      t.m_cPlayerNo = f.m_cPlayerNo;
    },
    [](cCharaDef& t, const cCharaDef& f) { t.m_cLayer = f.m_cLayer; },
    [](cCharaDef& t, const cCharaDef& f) { t.m_cCharaId = f.m_cCharaId; },
    [](cCharaDef& t, const cCharaDef& f) {
      t.m_Conds = f.m_Conds;
      t.m_cCondMode = f.m_cCondMode;
      t.m_cCondLatch = f.m_cCondLatch;
    },
    [](cCharaDef& t, const cCharaDef& f) { t.m_cFacing = f.m_cFacing; },
    [](cCharaDef& t, const cCharaDef& f) { t.m_cCopies = f.m_cCopies; },
    [](cCharaDef& t, const cCharaDef& f) {
      t.m_sCopyBaseX = f.m_sCopyBaseX;
      t.m_sCopyStepX = f.m_sCopyStepX;
      t.m_cCopyMirrorX = f.m_cCopyMirrorX;
    },
    [](cCharaDef& t, const cCharaDef& f) {
      t.m_sCopyBaseY = f.m_sCopyBaseY;
      t.m_sCopyStepY = f.m_sCopyStepY;
      t.m_cCopyMirrorY = f.m_cCopyMirrorY;
    },
    [](cCharaDef& t, const cCharaDef& f) {
      t.m_cGraphicKind = f.m_cGraphicKind;
      t.m_sGraphicNo = f.m_sGraphicNo;
      t.m_sGraphicOffset = f.m_sGraphicOffset;
    },
    [](cCharaDef& t, const cCharaDef& f) { t.m_sAnimeSet = f.m_sAnimeSet; },
    [](cCharaDef& t, const cCharaDef& f) { t.m_cZOrder = f.m_cZOrder; },
    [](cCharaDef& t, const cCharaDef& f) { t.m_cTransparent = f.m_cTransparent; },
    [](cCharaDef& t, const cCharaDef& f) {
      t.m_sAppearEffect = f.m_sAppearEffect;
      t.m_cAppearEffectRun = f.m_cAppearEffectRun;
      t.m_cAppearEffectLoop = f.m_cAppearEffectLoop;
    },
    [](cCharaDef& t, const cCharaDef& f) {
      t.m_sDeathEffect = f.m_sDeathEffect;
      t.m_cDeathEffectRun = f.m_cDeathEffectRun;
    },
    [](cCharaDef& t, const cCharaDef& f) {
      t.m_cShowBadge = f.m_cShowBadge;
      t.m_sBadgeNo = f.m_sBadgeNo;
    },
    [](cCharaDef& t, const cCharaDef& f) { t.m_cFixedFacing = f.m_cFixedFacing; },
    [](cCharaDef& t, const cCharaDef& f) { t.m_cFlight = f.m_cFlight; },
    [](cCharaDef& t, const cCharaDef& f) {
      t.m_cInvincible = f.m_cInvincible;
      t.m_cInvincibleColor = f.m_cInvincibleColor;
    },
    [](cCharaDef& t, const cCharaDef& f) { t.m_cBlockChara = f.m_cBlockChara; },
    [](cCharaDef& t, const cCharaDef& f) { t.m_cSize = f.m_cSize; },
    [](cCharaDef& t, const cCharaDef& f) { t.m_cScrollSync = f.m_cScrollSync; },
    [](cCharaDef& t, const cCharaDef& f) {
      t.m_cSightShape = f.m_cSightShape;
      t.m_cSightRange = f.m_cSightRange;
    },
    [](cCharaDef& t, const cCharaDef& f) { t.m_nMaxHp = f.m_nMaxHp; },
    [](cCharaDef& t, const cCharaDef& f) { t.m_nMaxSp = f.m_nMaxSp; },
    [](cCharaDef& t, const cCharaDef& f) { t.m_cBodyBox = f.m_cBodyBox; },
    [](cCharaDef& t, const cCharaDef& f) { t.m_nBodyPower = f.m_nBodyPower; },
    [](cCharaDef& t, const cCharaDef& f) { t.m_cBodyImpact = f.m_cBodyImpact; },
    [](cCharaDef& t, const cCharaDef& f) { t.m_sBodyHitEffect = f.m_sBodyHitEffect; },
    [](cCharaDef& t, const cCharaDef& f) { t.m_nDefence = f.m_nDefence; },
    [](cCharaDef& t, const cCharaDef& f) { t.m_cImpactResist = f.m_cImpactResist; },
    [](cCharaDef& t, const cCharaDef& f) { t.m_sStopping = f.m_sStopping; },
    [](cCharaDef& t, const cCharaDef& f) {
      t.m_cActiveRange = f.m_cActiveRange;
      t.m_cActiveMode = f.m_cActiveMode;
    },
    [](cCharaDef& t, const cCharaDef& f) {
      t.m_sGroupNo = f.m_sGroupNo;
      t.m_cInGroup = f.m_cInGroup;
    },
    [](cCharaDef& t, const cCharaDef& f) { t.m_nScore = f.m_nScore; },
    [](cCharaDef& t, const cCharaDef& f) { t.m_cSpareFlag = f.m_cSpareFlag; },
    [](cCharaDef& t, const cCharaDef& f) { t.m_Flows = f.m_Flows; },
};

// A group inserted at `inserted` in an older version: the flags from there on move up one place
// and the new group is taken from the template, as the older editor always did.
void InsertInheritFlag(cSafeVector<int8_t>& flags, int inserted) {
  flags.resize(CHARA_INHERIT_GROUP_COUNT, 0);
  for (int j = CHARA_INHERIT_GROUP_COUNT - 1; j > inserted; --j) flags.At(j) = flags.At(j - 1);
  flags.At(inserted) = 1;
}

bool IsEmptyFlow(const cFlow& flow) {
  return flow.m_cId == 0 && flow.m_cGroup == 0 && flow.m_cTrigger == 0 && flow.m_Conds.empty() &&
         flow.m_KeyConds.empty() && flow.m_Cmds.empty();
}

}  // namespace

cCharaDef::cCharaDef() {
  Register(DATA_VERSION);
  SetDefault();
}

void cCharaDef::Register(int v) {
  ClearMemberTables();
  AddMember1(&m_cInheritKind, 1);
  AddMember2(&m_sInheritIndex, 1);
  AddMember1(&m_cCondMode, 1);
  AddMember1(&m_cCondLatch, 1);
  AddMember1(&m_cFacing, 1);
  AddMember1(&m_cCopies, 1);
  AddMember2(&m_sCopyBaseX, 1);
  AddMember2(&m_sCopyStepX, 1);
  AddMember2(&m_sCopyBaseY, 1);
  AddMember2(&m_sCopyStepY, 1);
  AddMember1(&m_cCopyMirrorX, 1);
  AddMember1(&m_cCopyMirrorY, 1);
  AddMember2(&m_sGraphicNo, 1);
  AddMember1(&m_cGraphicKind, 1);
  AddMember2(&m_sGraphicOffset, 1);
  AddMember2(&m_sAnimeSet, 1);
  AddMember1(&m_cZOrder, 1);
  AddMember1(&m_cTransparent, 1);
  AddMember2(&m_sAppearEffect, 1);
  if (v >= 196) AddMember1(&m_cAppearEffectRun, 1);
  AddMember1(&m_cAppearEffectLoop, 1);
  AddMember2(&m_sDeathEffect, 1);
  if (v >= 196) AddMember1(&m_cDeathEffectRun, 1);
  AddMember1(&m_cShowBadge, 1);
  AddMember2(&m_sBadgeNo, 1);
  AddMember1(&m_cController, 1);
  AddMember1(&m_cPlayerNo, 1);
  AddMember1(&m_cLayer, 1);
  AddMember1(&m_cCharaId, 1);
  AddMember1(&m_cFlight, 1);
  AddMember1(&m_cFixedFacing, 1);
  AddMember1(&m_cInvincible, 1);
  if (v >= 285) AddMember1(&m_cInvincibleColor, 1);
  AddMember1(&m_cBlockChara, 1);
  AddMember1(&m_cSize, 1);
  if (v >= 210) AddMember1(&m_cScrollSync, 1);
  AddMember1(&m_cSightShape, 1);
  AddMember1(&m_cSightRange, 1);
  AddMember4(&m_nMaxHp, 1);
  AddMember4(&m_nMaxSp, 1);
  AddMember2(&m_sStopping, 1);
  if (v >= 201) AddMember1(&m_cBodyBox, 1);
  AddMember4(&m_nBodyPower, 1);
  AddMember1(&m_cBodyImpact, 1);
  AddMember2(&m_sBodyHitEffect, 1);
  if (v >= 168) AddMember4(&m_nDefence, 1);
  AddMember1(&m_cImpactResist, 1);
  AddMember4(&m_nScore, 1);
  AddMember1(&m_cSpareFlag, 1);
  AddMember1(&m_cInGroup, 1);
  AddMember2(&m_sGroupNo, 1);
  AddMember1(&m_cActiveRange, 1);
  AddMember1(&m_cActiveMode, 1);
  AddString(&m_Name);
}

void cCharaDef::SetDefault() {
  Register(DATA_VERSION);
  m_sBlockX = 0;
  m_sBlockY = 0;
  m_nPlaceExtra = 0;
  Clear();
  m_InheritFlags.assign(CHARA_INHERIT_GROUP_COUNT, 0);
  m_Conds.clear();
  m_Flows.clear();
  m_cGraphicKind = 1;
  m_cZOrder = 3;
  m_cAppearEffectLoop = 1;
  m_cController = 1;
  m_cLayer = 1;
  m_cFixedFacing = 1;
  m_cSize = 1;
  m_nMaxHp = 10;
  m_sStopping = 10;
  m_cSpareFlag = 1;
}

int cCharaDef::Load(FILE* fp) {
  cRecord::Load(fp);
  LoadDefHead(fp, *this);
  LoadCondVector(m_Conds, fp);
  LoadFlowVector(m_Flows, fp);
  if (!KeepTestPlayFlows()) RemoveTestPlayFlows(m_Flows);
  if (g_nFileVersion < DATA_VERSION) Upgrade(g_nFileVersion);
  ApplyInheritance();
  Validate();
  return IsDataReadFailed(fp) ? 0 : 1;
}

void cCharaDef::Upgrade(int v) {
  if (v < 168) {
    m_nDefence = 0;
    InsertInheritFlag(m_InheritFlags, 27);
  }
  if (v < 196) {
    m_cAppearEffectRun = 0;
    m_cDeathEffectRun = 0;
  }
  if (v < 201) {
    m_cBodyBox = 0;
    InsertInheritFlag(m_InheritFlags, 24);
  }
  // Body box choice 2 was inserted in version 206.
  if (v < 206 && StoredByte(m_cBodyBox) >= 2) ++m_cBodyBox;
  if (v < 210) {
    m_cScrollSync = 0;
    InsertInheritFlag(m_InheritFlags, 21);
  }
  UpgradeShotGraphic(*this, v);
  if (v < 285) m_cInvincibleColor = 1;
}

void cCharaDef::Save(FILE* fp) {
  Validate();
  cRecord::Save(fp);
  SaveDefHead(fp, *this);
  SaveCondVector(m_Conds, fp);
  SaveFlowVector(m_Flows, fp);
}

void cCharaDef::ApplyInheritance() {
  ApplyPaletteTemplate(*this, GetPaletteCharas(m_cInheritKind), CHARA_INHERIT_GROUP_COUNT,
                       [this](int group, const cCharaDef& source) { CHARA_INHERIT_GROUP[group](*this, source); });
}

void cCharaDef::Validate() {
  ResetOutsideTemplate(*this, GetPaletteCharas(m_cInheritKind));
  const cDatabase& db = g_Database;
  if (m_cGraphicKind == GRAPHIC_KIND_CHARAEXC && IsOutsideList(m_sGraphicNo, db.m_CharaExcs.size())) m_sGraphicNo = 1;
  if (m_cSize <= 0) m_cSize = 1;
  if (IsOutsideList(m_sAnimeSet, db.m_AnimeSets.size())) m_sAnimeSet = 0;
  if (IsOutsideList(m_sAppearEffect, db.m_CharaEffects.size())) m_sAppearEffect = 0;
  if (IsOutsideList(m_sDeathEffect, db.m_CharaEffects.size())) m_sDeathEffect = 0;
  if (IsOutsideList(m_sBodyHitEffect, db.m_Effects.size())) m_sBodyHitEffect = 0;
  if (m_cController == 0) {
    m_cBlockChara = 0;
    m_cCopies = 0;
  }
  for (cFlow& flow : m_Flows) flow.Validate();
  m_Flows.erase(std::remove_if(m_Flows.begin(), m_Flows.end(), IsEmptyFlow), m_Flows.end());
}

void cCharaDef::ValidateFlows() {
  for (cFlow& flow : m_Flows) flow.ValidatePaletteRefs();
}

double cCharaDef::GetRepeatOffsetX(int i, int facing) const {
  double offset = static_cast<double>(i * m_sCopyStepX + m_sCopyBaseX);
  return facing == 1 && m_cCopyMirrorX ? -offset : offset;
}

double cCharaDef::GetRepeatOffsetY(int i, int facing) const {
  double offset = static_cast<double>(i * m_sCopyStepY + m_sCopyBaseY);
  return facing == 1 && m_cCopyMirrorY ? -offset : offset;
}
