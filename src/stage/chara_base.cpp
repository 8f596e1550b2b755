#include "stage/chara_base.h"

#include "data/database.h"
#include "data/stage_file.h"
#include "persist/system_data.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/stage_globals.h"

namespace {

// cCharaBase laid out from its parts alone. A member declared in cCharaBase itself makes the class
// larger than this, and the build stops here: such a member would be left out of every copy.
struct CHARABASEPARTS : cStageObject, CHARABASEFIELDS, CHARALINKS {};
static_assert(sizeof(cCharaBase) == sizeof(CHARABASEPARTS),
              "cCharaBase has a data member of its own: declare it in CHARABASEFIELDS (copied as it stands) "
              "or, for a pointer between characters, in CHARALINKS");

}  // namespace

void HITBOX::SetBase(int offX, int offY, int w, int h) {
  nOffsetX = nBaseOffsetX = offX;
  nOffsetY = nBaseOffsetY = offY;
  nWidth = nBaseWidth = w;
  nHeight = nBaseHeight = h;
}

void HITBOX::Scale(int scale) {
  nOffsetX = scale * nBaseOffsetX;
  nOffsetY = scale * nBaseOffsetY;
  nWidth = scale * nBaseWidth;
  nHeight = scale * nBaseHeight;
}

void HITBOX::FollowX(double x) {
  dLeft = static_cast<double>(TruncToInt(x) + nOffsetX);
  dRight = dLeft + nWidth - 1;
}

void HITBOX::FollowY(double y) {
  dTop = static_cast<double>(TruncToInt(y) + nOffsetY);
  dBottom = dTop + nHeight - 1;
}

cCharaBase::cCharaBase() { m_Def.Register(902); }

cCharaBase::cCharaBase(const cCharaBase& other) : cStageObject(other) {
  m_Def.Register(902);
  CopyFields(other, false);
}

cCharaBase& cCharaBase::operator=(const cCharaBase& other) {
  if (this != &other) {
    cStageObject::CopyBase(other);
    CopyFields(other, false);
  }
  return *this;
}

cCharaBase::~cCharaBase() {
  if (!m_bKeepLinks) DetachLinks();
}

void cCharaBase::CopyFrom(const cCharaBase& other) {
  if (this == &other) return;
  CopyBase(other);
  CopyFields(other, true);
}

void cCharaBase::CopyFields(const cCharaBase& o, bool withLinks) {
  if (withLinks) {
    static_cast<CHARALINKS&>(*this) = o;
  } else {
    // A new character owns no links yet; it gets its own through InitLinks.
    m_Targets.assign(4, nullptr);
    m_pOwner = nullptr;
    m_BackLinks.clear();
    m_ShotLinks.clear();
  }
  static_cast<CHARABASEFIELDS&>(*this) = o;
  if (m_Def.m_cBlockChara) g_bBlockCharaMade = 1;
  AssignFlowStates(*this);
}

cItem* cCharaBase::GetItem() { return nullptr; }
int cCharaBase::AfterMoveX() { return 0; }
int cCharaBase::AfterMoveY() { return 0; }
int cCharaBase::MoveX() { return 0; }
int cCharaBase::MoveY() { return 0; }
int cCharaBase::RunFlows(int) { return 0; }
void cCharaBase::Jump(cFlowCommandState&) {}

void cCharaBase::Reset(const cCharaDef* def, double placeX, double placeY, int cloneValue) {
  // Emptying the links of a character that others still point at would leave them holding a
  // pointer that nothing clears, so a linked character lets go of its links first.
  if (IsLinked()) DetachLinks();
  m_nCloneValue = static_cast<int16_t>(cloneValue);
  m_BackLinks.clear();
  m_ShotLinks.clear();
  m_Targets.assign(4, nullptr);
  m_pOwner = nullptr;
  m_nNextFlowSerial = 0;
  m_GroupRunning.assign(27, 0);
  m_GroupEnded.assign(27, 0);
  m_GroupStarted.assign(27, 0);
  m_bGroupEndPending = 0;
  m_bFlowRemovalPending = 0;
  m_dPlaceX = placeX;
  m_dPlaceY = placeY;
  m_dImpactX = m_dImpactY = 0;
  m_bImpacted = 0;
  m_dPrevImpactY = 0;
  m_bNoGravity = 0;
  m_bJumpCut = m_bJumping = m_bCeilingHit = 0;
  m_nAirFrames = 0;
  m_pStandBlock = m_pLandBlock = m_pPrevLandBlock = NO_BLOCK;
  m_nStopCount = 0;
  m_bFixScreenX = m_bFixScreenY = 0;
  m_nFixScreenX = m_nFixScreenY = 0;
  m_bDead = 0;
  m_nDeathFrames = 0;
  ClearBlockedFlags();
  m_bLandedOnChara = 0;
  m_bRideChara = 0;
  m_nRideCharaId = 0;
  m_nLastBlockSide = -1;
  m_bAirborne = 1;
  m_nHp = m_nSp = 0;
  m_HpGauge = GAUGEANIME();
  m_SpGauge = GAUGEANIME();
  m_Vars.assign(9, 0);
  if (def) {
    m_Def = *def;
    if (m_Def.m_cBlockChara) g_bBlockCharaMade = 1;
    m_nHp = m_Def.m_nMaxHp;
    m_nSp = m_Def.m_nMaxSp;
  }
  m_bVanish = 0;
  m_bHidden = 0;
  m_bScrollRide = static_cast<uint8_t>(m_Def.m_cScrollSync);
  m_nSightDots = HblToDot(m_Def.m_cSightRange);
  m_dFriction = ScaleAccel(m_Def.m_sStopping);
  m_Effect.Clear();
  if (m_Def.m_sAppearEffect != 0)
    m_Effect.Start(m_Def.m_sAppearEffect, m_Def.m_cAppearEffectRun, m_Def.m_cAppearEffectLoop);
  m_nInvincible = 0;
  m_Cooldowns.clear();
  SetAnimeSet(m_Def.m_sAnimeSet, 1);
  m_RunningAnimes.clear();
  m_bOwnerAttack = 0;
  m_nOwnerFlowId = 0;
}

void cCharaBase::InitLinks(cCharaBase* owner) {
  cCharaBase* hero = g_Heroes.empty() ? nullptr : &g_Heroes.front();
  m_Targets.At(0) = hero;
  auto addBackLink = [this](cCharaBase* to, int slot) {
    const TARGETLINK link{this, slot};
    for (const TARGETLINK& l : to->m_BackLinks)
      if (EqualLink(l, link)) return;
    to->m_BackLinks.push_back(link);
  };
  if (hero) addBackLink(hero, 0);
  m_pOwner = owner;
  if (owner) addBackLink(owner, 4);
}

void cCharaBase::SetHitBoxA(int bottomAligned, int width, int height) {
  const int offX = 16 - m_nDrawOffsetX - width / 2;
  const int offY = bottomAligned ? 32 - m_nDrawOffsetY - height : 16 - m_nDrawOffsetY - height / 2;
  m_BoxA.SetBase(offX, offY, width, height);
}

void cCharaBase::KeepFootOnScale(int newScale, int oldScale, int keepFoot) {
  if (newScale == oldScale) return;
  const int d = newScale - oldScale;
  bool imageRule = keepFoot != 0;
  if (g_SystemData.ScaleFootFixed()) imageRule = g_SystemData.ScaleKeepHitBottom() == 0;
  if (imageRule)
    m_dY -= d * (m_nBaseDrawHeight - m_nBaseDrawOffsetY);
  else
    m_dY -= d * m_nBaseHitHeight;
  AfterMoveY();
}

void cCharaBase::SetCenter(int x, int y) {
  SetCenterX(x);
  SetCenterY(y);
}

void cCharaBase::ArriveAt(int x, int y, cFlowCommandState* moveState) {
  SetCenter(x, y);
  if (moveState) moveState->m_dVX = moveState->m_dVY = 0;
}

void cCharaBase::SetCenterX(int x) {
  const int c = m_rcScreen[0] + (m_nDrawWidth >> 1);
  if (c < x)
    m_dX += x - c;
  else
    m_dX -= c - x;
  AfterMoveX();
}

void cCharaBase::ArriveAtX(int x, cFlowCommandState* moveState) {
  SetCenterX(x);
  if (moveState) moveState->m_dVX = moveState->m_dVY = 0;
}

void cCharaBase::SetCenterY(int y) {
  const int c = m_rcScreen[1] + (m_nDrawHeight >> 1);
  if (c < y)
    m_dY += y - c;
  else
    m_dY -= c - y;
  AfterMoveY();
}

void cCharaBase::ArriveAtY(int y, cFlowCommandState* moveState) {
  SetCenterY(y);
  if (moveState) moveState->m_dVX = moveState->m_dVY = 0;
}

cCharaBase* FindCharaById(int id) {
  for (cHero& hero : g_Heroes)
    if (hero.m_nId == id) return &hero;
  for (cChara& chara : g_CharaList)
    if (chara.m_nId == id) return &chara;
  return nullptr;
}
