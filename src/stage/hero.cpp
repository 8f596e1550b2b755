#include "stage/hero.h"

#include <algorithm>
#include <cmath>

#include "core/report_log.h"
#include "core/sound_request.h"
#include "data/flow_kinds.h"
#include "data/stage_file.h"
#include "persist/system_data.h"
#include "stage/chara_flow_run.h"
#include "stage/input.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"

namespace {

constexpr int BOX_VIEW_PALETTE[8] = {208, 212, 216, 220, 224, 228, 232, 236};

// The sub-step being run (1..n); without a play scene every step counts as the frame's last.
int CurrentSubStep() { return g_lpScenePlay ? g_lpScenePlay->m_nSubStep : g_Stage.m_nSubSteps; }

double HeroPerSecToSubstep(double x) { return x / g_Stage.m_dSubSteps * 0.016666666666666666; }

// Unless the axis scrolls by itself, the view keeps the hero's centre at screen `centre` inside
// the scroll limits.
void FollowCamera(cScroll& axis, double pos, int size, int centre) {
  if (axis.m_bAuto) return;
  axis.m_dPos = pos - (centre - (size >> 1));
  if (axis.m_dPos < axis.m_nLowerLimit)
    axis.m_dPos = axis.m_nLowerLimit;
  else if (axis.m_dPos + axis.m_nView > axis.m_nUpperLimit)
    axis.m_dPos = axis.m_nUpperLimit - axis.m_nView;
}

}  // namespace

cHero::cHero() = default;

cHero::cHero(const cHero& other) = default;

cHero& cHero::operator=(const cHero& other) = default;

cHero::~cHero() = default;

void cHero::Setup(int id, cCharaDef* def, double placeX, double placeY, cCharaBase* owner) {
  (void)owner;  // the set-up links the hero once it is placed
  if (def && def->m_cSize == 0) def->m_cSize = 1;
  Reset(def, placeX, placeY, 0);
  int offX = 0, offY = 0, w = 0, h = 0;
  GetBody(offX, offY, w, h);
  Init(id, m_Def.m_cController, m_Def.m_cPlayerNo, m_Def.m_cLayer, m_Def.m_sGraphicNo, nullptr, 0, offX, offY, w, h, 32,
       32, 1, 0, 0);
  // The player number comes from the definition: one without an input record plays as player 0.
  const int player = m_nOwnerKind;
  if (player >= 0 && player < static_cast<int>(g_Input.size())) {
    m_pInput = &g_Input[static_cast<size_t>(player)];
  } else {
    if (!g_Input.empty()) WriteReportLogF("hero of player %d has no input; player 0 steers it", player);
    m_pInput = g_Input.empty() ? nullptr : &g_Input.front();
  }
  SetForm(m_Def.m_cFlight, 0, 0, 0);
  SetScale(m_Def.m_cSize, 1, 1);
  m_bRight = m_Def.m_cFacing;
  m_bFacingRight = m_bRight;
  m_bKeepPos = m_bRestoreOnStop = m_bCeilingHit = 0;
  m_dFloorAccelBase = 4.0 / g_Stage.m_dSubSteps;
  m_nFloorEffect = 0;
  m_nFloorTime = 0;
  m_dFloorValue = 0;
  m_nBlockItemCooldown = 0;
  m_bNoJump = 0;
  m_nJumpHold = 0;
  m_nFrameCount = 0;
  m_bJumpReady = 1;
  BuildHitBoxView();
  m_TouchedItems.clear();
  InsertFlows(*this, m_Def.m_Flows, 0, -1);
}

void cHero::GetBody(int& offX, int& offY, int& w, int& h) const {
  const cStage& st = g_Stage;
  w = m_bFly ? st.m_HeroBoxA[2] : st.m_HeroBoxA[0];
  h = m_bFly ? st.m_HeroBoxA[3] : st.m_HeroBoxA[1];
  const int bottom = m_bFly ? st.m_HeroBoxAAlign[1] : st.m_HeroBoxAAlign[0];
  offX = (32 - w) >> 1;
  offY = bottom ? 32 - h : (32 - h) >> 1;
}

void cHero::SetForm(int form, int rescale, int keepPos, int restoreOnStop) {
  const int wasFlying = m_bFly;
  const int old = m_Def.m_cFlight;
  m_Def.m_cFlight = static_cast<int8_t>(form);
  SetMoveType(form);
  if (keepPos) {
    m_bKeepPos = 1;
    m_dSavedX = m_dX;
    m_dSavedY = m_dY;
    m_dSavedRight = m_dRight;
    m_dSavedBottom = m_dBottom;
  }
  if (form != old) {
    m_nStopCount = 2;
    if (restoreOnStop) m_bRestoreOnStop = 1;
  }
  if (wasFlying && !m_bFly) {
    m_dSpeedX = m_dSpeedY = 0;
    m_dInertiaX = m_dInertiaY = 0;
  } else if (m_bFly && !g_SystemData.FlyKeepsGround()) {
    m_bAirborne = 1;
    m_nAirFrames = 8 * g_Stage.m_nSubSteps;
  }
  int offX = 0, offY = 0, w = 0, h = 0;
  GetBody(offX, offY, w, h);
  m_nHitWidth = m_nBaseHitWidth = w;
  m_nHitHeight = m_nBaseHitHeight = h;
  m_nDrawWidth = m_nBaseDrawWidth = 32;
  m_nDrawHeight = m_nBaseDrawHeight = 32;
  m_nDrawOffsetX = m_nBaseDrawOffsetX = offX;
  m_nDrawOffsetY = m_nBaseDrawOffsetY = offY;
  const cStage& st = g_Stage;
  switch (m_Def.m_cBodyBox) {
    case 0:
      if (m_bFly)
        SetHitBoxA(st.m_HeroBoxBAlign[1], st.m_HeroBoxB[2], st.m_HeroBoxB[3]);
      else
        SetHitBoxA(st.m_HeroBoxBAlign[0], st.m_HeroBoxB[0], st.m_HeroBoxB[1]);
      break;
    case 1: SetHitBoxA(0, st.m_HeroBoxC[0], st.m_HeroBoxC[1]); break;
    case 2: SetHitBoxA(0, st.m_ShotBoxes[0], st.m_ShotBoxes[1]); break;
    case 3: SetHitBoxA(0, 32, 32); break;
    default: break;
  }
  auto centred = [&](HITBOX& box, int bw, int bh) {
    box.SetBase(16 - (bw >> 1) - offX, 16 - (bh >> 1) - offY, bw, bh);
  };
  centred(m_BoxB, st.m_HeroBoxC[0], st.m_HeroBoxC[1]);
  centred(m_BoxC, st.m_HeroBoxC[2], st.m_HeroBoxC[3]);
  if (rescale) {
    const int s = m_Def.m_cSize;
    m_nHitWidth *= s;
    m_nHitHeight *= s;
    m_nDrawOffsetX *= s;
    m_nDrawOffsetY *= s;
    m_nDrawWidth *= s;
    m_nDrawHeight *= s;
    for (HITBOX* box : {&m_BoxA, &m_BoxB, &m_BoxC}) {
      box->nOffsetX *= s;
      box->nOffsetY *= s;
      box->nWidth *= s;
      box->nHeight *= s;
    }
  }
  BuildHitBoxView();
}

void cHero::BuildHitBoxView() {
  const cStage& st = g_Stage;
  m_HitBoxView.clear();
  // Kinds in entry order: body, box C, box A, box B; the stage's view tables are ordered body,
  // box A, box B, box C.
  const int kinds[4] = {0, 2, 1, 3};
  const int tableIndex[4] = {0, 1, 3, 2};  // by kind
  for (int kind : kinds) {
    HITBOXVIEW v;
    v.nKind = kind;
    v.nMode = st.m_HeroBoxShow[tableIndex[kind]];
    // Colour numbers outside the editor's 0..7 take the nearest table entry.
    const int colour = std::clamp(st.m_HeroBoxColor[tableIndex[kind]], 0, 7);
    v.nPalette = BOX_VIEW_PALETTE[colour];
    const HITBOX* box = kind == 1 ? &m_BoxA : kind == 2 ? &m_BoxC : kind == 3 ? &m_BoxB : nullptr;
    v.nWidth = box ? box->nWidth : m_nHitWidth;
    v.nHeight = box ? box->nHeight : m_nHitHeight;
    m_HitBoxView.push_back(v);
  }
  std::stable_sort(m_HitBoxView.begin(), m_HitBoxView.end(), [](const HITBOXVIEW& a, const HITBOXVIEW& b) {
    return a.nWidth * a.nHeight > b.nWidth * b.nHeight;
  });
}

int cHero::IsStopped() {
  if (m_nStopCount <= 0) return 0;
  if (m_bRestoreOnStop && m_bKeepPos) {
    m_dX = m_dSavedX;
    m_dY = m_dSavedY;
    m_dRight = m_dSavedRight;
    m_dBottom = m_dSavedBottom;
    m_bRestoreOnStop = 0;
  }
  return 1;
}

int cHero::IsNewTouch(int id) const {
  return std::find(m_TouchedItems.begin(), m_TouchedItems.end(), id) == m_TouchedItems.end();
}

void cHero::ForgetTouch(int id) { m_TouchedItems.remove(id); }

void cHero::UpdateHeroScreenRect() {
  const cScroll& ax = ScrollX();
  const cScroll& ay = ScrollY();
  const int left = ax.m_bAuto ? TruncToInt(m_dX) - TruncToInt(ax.m_dPos) - m_nDrawOffsetX
                              : TruncToInt(m_dX - ax.m_dPos - m_nDrawOffsetX);
  const int top = ay.m_bAuto ? TruncToInt(m_dY) - TruncToInt(ay.m_dPos) - m_nDrawOffsetY
                             : TruncToInt(m_dY - ay.m_dPos - m_nDrawOffsetY);
  m_rcScreen[0] = left;
  m_rcScreen[1] = top;
  m_rcScreen[2] = left + m_nDrawWidth - 1;
  m_rcScreen[3] = top + m_nDrawHeight - 1;
}

void cHero::DisplayUpkeep() { UpdateHeroScreenRect(); }

void cHero::ScaleHitBoxes(int scale) {
  m_BoxA.Scale(scale);
  m_BoxB.Scale(scale);
  m_BoxC.Scale(scale);
  AfterMoveX();
  AfterMoveY();
}

void cHero::UpdateHitBoxX() {
  m_BoxA.FollowX(m_dX);
  m_BoxB.FollowX(m_dX);
  m_BoxC.FollowX(m_dX);
}

void cHero::UpdateHitBoxY() {
  m_BoxA.FollowY(m_dY);
  m_BoxB.FollowY(m_dY);
  m_BoxC.FollowY(m_dY);
}

int cHero::AfterMoveX() {
  FollowCamera(ScrollX(), m_dX, m_nHitWidth, 320);
  const int code = CheckBoundsX(m_bFly ? 0 : 1);
  m_dRight = m_dX + m_nHitWidth - 1;
  return code;
}

int cHero::AfterMoveY() {
  FollowCamera(ScrollY(), m_dY, m_nHitHeight, 240);
  const int code = CheckBoundsY(m_bFly ? 0 : 1);
  m_dBottom = m_dY + m_nHitHeight - 1;
  return code;
}

int cHero::MoveX() {
  if (m_dImpactX != 0) {
    m_dSpeedX = m_dImpactX;
  } else if (m_dInertiaX != 0) {
    ApplyFriction(m_dInertiaX, m_bFrictionX);
    if (m_nFloorEffect == 3 && m_nFloorTime > 0 && m_dInertiaX != 0) {
      const double push = HeroPerSecToSubstep(m_dFloorAccelBase) * (m_dFloorValue - 1);
      const double before = m_dInertiaX;
      m_dInertiaX += before > 0 ? push : -push;
      if ((before > 0) != (m_dInertiaX > 0)) m_dInertiaX = 0;
    }
    m_dSpeedX += m_dInertiaX;
  }
  LimitSpeed(m_dSpeedX);
  m_dX += m_dSpeedX;
  AfterMoveX();
  return 0;
}

int cHero::MoveY() {
  ImpactStepY();
  if (m_dImpactY == 0 && m_bFly && m_dInertiaY != 0) {
    ApplyFriction(m_dInertiaY, m_bFrictionY);
    m_dSpeedY += m_dInertiaY;
  }
  const int code = StepY(m_bFly ? 0 : 2);
  AfterMoveY();
  if (!m_bFly && (code == 5 || code == 6)) return 7;
  return code;
}

int cHero::RunFlows(int deathOnly) {
  const int stopBefore = m_nStopCount;
  BeginFlowRun(*this, true);
  m_bJumpDone = 0;
  m_bDirLock = 0;
  m_bButtonLock = 0;
  if (stopBefore == 1 && m_nStopCount == 0) m_bRestoreOnStop = 0;
  if (StepFlows(*this, deathOnly, false)) {
    SetRunningChara(nullptr);
    return 1;
  }
  ExecPendingItemCommands(*this, m_PendingItemCmds);
  m_PendingItemCmds.clear();
  EndFlowRun(*this);
  m_nFrameCount++;
  ApplyBaseAnime(*this);
  if (!m_bJumpDone) {
    m_nJumpHold = 0;
    m_bJumpReady = 1;
    m_bCeilingHit = 0;
  }
  return m_nHp <= 0 ? 1 : 0;
}

void cHero::Jump(cFlowCommandState& js) {
  if (m_bFly || m_bJumpDone) return;
  const cFlowCommand* cmd = js.m_pCommand;
  auto param = [cmd](int i) { return cmd && i < static_cast<int>(cmd->m_Params.size()) ? cmd->m_Params.At(i) : 0; };
  const int mode = param(JP_MODE);
  const int keys = CheckKeyCond(js.m_pFlow, m_pInput);
  const bool hasKeys = keys >= 0;
  const int held = mode == 0 ? 1 : (keys == 1 ? 1 : 0);
  const double n = g_Stage.m_dSubSteps;
  if (mode == 2) {
    const double v = std::fabs(m_dInertiaX);
    const double t1 = param(JP_FULL_SPEED) / (10 * n);
    const double t3 = param(JP_LOW_SPEED) / (10 * n);
    const int p2 = param(JP_HEIGHT);
    const int p4 = param(JP_LOW_HEIGHT);
    int h = p4;
    if (v >= t1)
      h = p2;
    else if (v > t3)
      h = TruncToInt(p4 + (p2 - p4) * v / t1);  // the height as a whole is truncated
    js.m_dSpeed = JumpSpeedFromHeight(h * 16);
  }
  const int length = js.m_nTotal;
  const int ride = m_bRideChara;
  if (held && !m_bNoJump) {
    m_nJumpHold++;
    if (m_nJumpHold >= length && (!m_bJumpCut || ride) && m_bJumpReady && !m_bCeilingHit && (m_dSpeedY < 0 || ride)) {
      // Held to the end: the rise can no longer be cut.
      m_bJumpCut = 1;
      m_bJumpReady = 0;
    } else if (!m_bAirborne && m_nJumpHold <= g_Stage.m_nSubSteps && (!m_bJumpCut || ride) && m_bJumpReady &&
               !m_bCeilingHit && !m_bImpacted && !js.JumpedFlag() && (g_SystemData.HeroJumpOld() || !m_bJumping) &&
               (!ride || CurrentSubStep() == g_Stage.m_nSubSteps)) {
      m_bJumping = 1;
      m_dSpeedY = js.m_dSpeed;
      if (g_SystemData.HeroJumpOld() && ride) m_dSpeedY *= 1.02;
      m_bRideChara = 0;
      js.JumpedFlag() = 1;
      if (cmd) PlayUserSound(cmd->m_sSound);
    }
  } else {
    if (m_nJumpHold > 0 && m_nJumpHold < length && !m_bJumpCut && !m_bCeilingHit && !m_bNoJump && !m_bImpacted) {
      // Released early: the jump is cut short.
      m_bRideChara = 0;
      if (m_dSpeedY < 0) m_dSpeedY *= 0.3;
      m_bJumpCut = 1;
    }
    m_nJumpHold = 0;
    m_bJumpReady = 1;
    m_bCeilingHit = 0;
  }
  if (IsOnGround() && m_dSpeedY >= 0 && (!hasKeys || !held)) {
    m_nJumpHold = 0;
    m_bJumpReady = 1;
    m_bCeilingHit = 0;
    m_bImpacted = 0;
    if (!hasKeys) {
      js.JumpedFlag() = 0;
      m_bJumpDone = 1;
      return;
    }
    js.JumpedFlag() = 0;
    js.EndJump();
  }
  m_bJumpDone = 1;
}
