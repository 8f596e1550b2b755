#include "stage/chara.h"

#include "core/report_log.h"
#include "core/sound_request.h"
#include "data/flow_kinds.h"
#include "data/stage_file.h"
#include "persist/system_data.h"
#include "stage/chara_flow_run.h"
#include "stage/stage_globals.h"

cChara::cChara() = default;

cChara::cChara(const cChara& other) = default;

cChara& cChara::operator=(const cChara& other) = default;

cChara::~cChara() = default;

void cChara::Setup(int id, cCharaDef* def, const cItem* item, double placeX, double placeY, int cloneValue,
                   cCharaBase* owner) {
  (void)owner;  // the creator links the character once it is placed
  if (def && def->m_cSize == 0) def->m_cSize = 1;
  Reset(def, placeX, placeY, cloneValue);
  const cStage& st = g_Stage;
  const bool block = m_Def.m_cBlockChara != 0;
  const int walk = m_Def.m_cFlight == 0;
  int w = 32;
  int h = 32;
  int offX = 0;
  int offY = 0;
  if (!block) {
    w = walk ? st.m_CharaBoxA[0] : st.m_CharaBoxA[2];
    h = walk ? st.m_CharaBoxA[1] : st.m_CharaBoxA[3];
    const int bottom = walk ? st.m_CharaBoxAAlign[0] : st.m_CharaBoxAAlign[1];
    offX = (32 - w) >> 1;
    offY = bottom ? 32 - h : (32 - h) >> 1;
  }
  Init(id, m_Def.m_cController, m_Def.m_cPlayerNo, m_Def.m_cLayer, m_Def.m_sGraphicNo, nullptr, 0, offX, offY, w, h, 32,
       32, m_Def.m_cFacing, m_Def.m_cFlight, cloneValue);
  const int shotW = st.m_CharaBoxC[0];
  const int shotH = st.m_CharaBoxC[1];
  if (block) {
    m_BoxA.SetBase(0, 0, 0, 0);
    m_BoxB.SetBase(0, 0, 32, 32);
  } else {
    switch (m_Def.m_cBodyBox) {
      case 0:
        if (m_bFly)
          SetHitBoxA(st.m_CharaBoxBAlign[1], st.m_CharaBoxB[2], st.m_CharaBoxB[3]);
        else
          SetHitBoxA(st.m_CharaBoxBAlign[0], st.m_CharaBoxB[0], st.m_CharaBoxB[1]);
        break;
      case 1: SetHitBoxA(0, shotW, shotH); break;
      case 2: SetHitBoxA(0, st.m_ShotBoxes[4], st.m_ShotBoxes[5]); break;
      case 3: SetHitBoxA(0, m_nDrawWidth, m_nDrawHeight); break;
      default: break;
    }
    m_BoxB.SetBase(16 - (shotW >> 1) - offX, 16 - (shotH >> 1) - offY, shotW, shotH);
  }
  SetScale(m_Def.m_cSize, 1, 1);
  m_nItemBlink = 0;
  if (item)
    m_Item = *item;
  else
    m_Item.m_nGraphic = 0;
  const int view = m_Def.m_cActiveRange;
  m_bViewIgnoreX = view == 2 || view == 3;
  m_bViewIgnoreY = view == 1 || view == 3;
  m_bWasActive = 0;
  // Walking characters start animation 1 here; the first flow run picks the base animation.
  m_Anime.Set(m_bFly ? 0 : 1, 1);
  InsertFlows(*this, m_Def.m_Flows, 0, -1);
}

void cChara::SetBlockPos(int bx, int by) {
  m_dX = (bx + ScrollX().m_nBorder) * 32 + m_nBaseDrawOffsetX + 0.5;
  m_dY = (by + ScrollY().m_nBorder) * 32 + m_nBaseDrawOffsetY;
  ScaleKeepPosition(m_Def.m_cSize, 1, 1);
  AfterMoveX();
  AfterMoveY();
}

void cChara::ScaleHitBoxes(int scale) {
  if (m_Def.m_cBlockChara) {
    for (HITBOX* box : {&m_BoxA, &m_BoxB}) {
      box->nOffsetX = box->nOffsetY = 0;
      box->nWidth = m_nHitWidth;
      box->nHeight = m_nHitHeight;
    }
  } else {
    m_BoxA.Scale(scale);
    m_BoxB.Scale(scale);
  }
  AfterMoveX();
  AfterMoveY();
}

void cChara::UpdateHitBoxX() {
  m_BoxA.FollowX(m_dX);
  m_BoxB.FollowX(m_dX);
}

void cChara::UpdateHitBoxY() {
  m_BoxA.FollowY(m_dY);
  m_BoxB.FollowY(m_dY);
}

cItem* cChara::GetItem() { return &m_Item; }
int cChara::AfterMoveX() { return CheckBoundsX(2); }
int cChara::AfterMoveY() { return CheckBoundsY(2); }

int cChara::MoveX() {
  if (m_dImpactX != 0) {
    m_dSpeedX = m_dImpactX;
  } else if (m_dInertiaX != 0) {
    ApplyFriction(m_dInertiaX, m_bFrictionX);
    m_dSpeedX += m_dInertiaX;
  }
  const int code = StepX(2);
  AfterMoveX();
  return code == 3 ? 4 : code;
}

int cChara::MoveY() {
  ImpactStepY();
  if (m_dImpactY == 0 && m_bFly && m_dInertiaY != 0) {
    ApplyFriction(m_dInertiaY, m_bFrictionY);
    m_dSpeedY += m_dInertiaY;
  }
  const int code = StepY(2);
  AfterMoveY();
  if (m_bFly) return (code == 3 || code == 6) ? 8 : code;
  return (code == 5 || code == 6) ? 7 : code;
}

int cChara::RunFlows(int deathOnly) {
  BeginFlowRun(*this, false);
  if (StepFlows(*this, deathOnly, true)) {
    SetRunningChara(nullptr);
    return 1;
  }
  EndFlowRun(*this);
  ApplyBaseAnime(*this);
  return m_nHp <= 0 ? 1 : 0;
}

void cChara::Jump(cFlowCommandState& js) {
  const int n = g_Stage.m_nSubSteps;
  auto doJump = [&](bool alwaysSound) {
    const cFlowCommand* cmd = js.m_pCommand;
    if (cmd && (alwaysSound || !cmd->m_cSoundOnScreen || m_bOnScreen)) PlayUserSound(cmd->m_sSound);
    m_dSpeedY = js.m_dSpeed;
    m_bJumping = 1;
    m_bJumpCut = 1;
    m_bRideChara = 0;
  };
  auto endOnGround = [&] {
    if (!IsOnGround()) return;
    m_bCeilingHit = 0;
    m_bImpacted = 0;
    js.EndJump();
  };
  if (g_SystemData.RepeatJump()) {
    if (m_bAirborne || m_bCeilingHit || m_bImpacted || m_nAirFrames) return;
    js.JumpedFlag() = 1;
    doJump(true);
    return;
  }
  if (js.JumpedFlag()) {
    endOnGround();
    return;
  }
  const int busy = g_SystemData.CharaJumpOld() ? m_nAirFrames : m_bJumping;
  if (!(m_bAirborne || m_bCeilingHit || m_bImpacted || busy)) {
    js.JumpedFlag() = 1;
    doJump(false);
    return;
  }
  // After four frames of waiting the command gives up, ending once the character stands.
  if (js.m_nCount >= 4 * n) {
    js.JumpedFlag() = 1;
    endOnGround();
  }
}

int cChara::ActGroup() const {
  if (!m_Def.m_cInGroup) return -1;
  const int g = m_Def.m_sGroupNo;
  if (g >= 0 && g < ACT_GROUP_COUNT) return g;
  static bool reported = false;
  if (!reported) {
    reported = true;
    WriteReportLogF("activation group %d is outside 0..%d; the character belongs to no group", g, ACT_GROUP_COUNT - 1);
  }
  return -1;
}

int cChara::TestView(cSafeVector<uint8_t>& groupFlags) {
  if (IsOnScreenAxis(m_bViewIgnoreX, m_bViewIgnoreY)) {
    m_bInView = 1;
    const int g = ActGroup();
    if (g >= 0 && g < static_cast<int>(groupFlags.size())) groupFlags.At(g) = 1;
    return 1;
  }
  m_bInView = 0;
  return 0;
}

int cChara::ShouldActivate(cSafeVector<uint8_t>& groupFlags) {
  const int g = ActGroup();
  const bool groupOn = g >= 0 && g < static_cast<int>(groupFlags.size()) && groupFlags.At(g);
  const bool walk = !m_bFly;
  if (!(m_bInView || groupOn || (walk && m_bJumping) || (walk && m_bWasActive && m_bAirborne))) return 0;
  m_bWasActive = 1;
  if (m_Def.m_cActiveMode == 1) m_bViewIgnoreX = m_bViewIgnoreY = 1;
  UpdateScreenRect();
  return 1;
}

int cChara::OverlapsRect(double left, double top, double right, double bottom) const {
  return m_dX <= right && m_dRight >= left && m_dY <= bottom && m_dBottom >= top;
}
