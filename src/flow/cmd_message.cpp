// The message command: shows a message window, replaces or removes one found by its message ID,
// and freezes the game while the player reads it when asked to.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "core/globals.h"
#include "core/sound_request.h"
#include "data/flow_command.h"
#include "flow/cmd_params.h"
#include "flow/cmd_control.h"
#include "flow/flow_runner.h"
#include "stage/chara_base.h"
#include "stage/game.h"
#include "stage/hero.h"
#include "stage/message_window.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"

namespace {

// Parameters of the message command.
enum : int {
  MP_PLACEMENT = 0,
  MP_X = 1,
  MP_Y = 2,
  MP_OFFSET_X = 3,
  MP_OFFSET_Y = 4,
  MP_KEEP_INSIDE = 5,
  MP_DURATION = 6,
  MP_TIME = 7,
  MP_FREEZE = 8,
  MP_VARIABLES = 9,
  MP_FIXED = 10,
  MP_REFRESH = 11,
  MP_HAS_ID = 12,
  MP_ID = 13,
  MP_BOX = 14,
  MP_REMOVE = 15,
  MP_REFRESH_PERIOD = 16,
  MP_ONE_FRAME = 17,
  MP_UNIT = 18,
};

constexpr int SOUND_MESSAGE_OPENS = 11;

int32_t WindowCharaId(cCharaBase& chara, int32_t placement) {
  if (placement >= 4 && placement <= 6) return g_Heroes.empty() ? 0 : g_Heroes.At(0).m_nId;
  if (placement >= 1 && placement <= 3) return chara.m_nId;
  return 0;
}

}  // namespace

void ExecMessage(cCharaBase& chara, cFlowCommand& command, int wait) {
  cScenePlay* scene = g_lpScenePlay;
  if (!scene || scene->m_bClosing.load()) return;
  auto P = [&command](int i) { return CmdParam(command, i); };
  MSGWINDOWLIST& list = scene->m_MessageWindows;

  cMessageWindow* reused = nullptr;
  auto insertAt = list.end();
  if (P(MP_HAS_ID)) {
    auto found = std::find_if(list.begin(), list.end(),
                              [&](const cMessageWindow& w) { return w.m_bHasId && w.m_nMsgId == P(MP_ID); });
    if (found != list.end()) {
      if (P(MP_REMOVE)) {
        found->ReleaseSurface();
        list.erase(found);
        return;
      }
      std::string text = command.m_strText;
      if (P(MP_VARIABLES)) cMessageWindow::InsertVariables(text);
      int w = 0, h = 0;
      cMessageWindow::MeasureText(w, h, text);
      if (found->m_nKind == MSGWIN_TEXT && found->m_lpSurface && w == found->m_nWidth && h == found->m_nHeight) {
        reused = &*found;
      } else {
        found->ReleaseSurface();
        insertAt = list.erase(found);
      }
    } else if (P(MP_REMOVE)) {
      return;
    }
  } else if (P(MP_REMOVE)) {
    return;
  }

  const int32_t frames = P(MP_ONE_FRAME) ? 1 : TenthsToFrames(P(MP_TIME));
  MSGWINDOWPARAM p;
  p.nKind = MSGWIN_TEXT;
  p.lpText = command.m_strText.c_str();
  p.nPlacement = P(MP_PLACEMENT);
  p.nUnit = P(MP_UNIT);
  p.nX = P(MP_X);
  p.nY = P(MP_Y);
  p.nOffsetX = P(MP_OFFSET_X);
  p.nOffsetY = P(MP_OFFSET_Y);
  p.bKeepInside = P(MP_KEEP_INSIDE);
  p.bFixed = P(MP_FIXED);
  p.nDuration = P(MP_DURATION);
  p.nFrames = frames;
  p.bCountFrozen = P(MP_FREEZE);
  p.nCharaId = WindowCharaId(chara, p.nPlacement);
  p.bNoAnimation = wait;
  p.bVariables = P(MP_VARIABLES);
  p.bRefresh = P(MP_REFRESH);
  p.nRefreshPeriod = P(MP_REFRESH_PERIOD);
  p.bBox = P(MP_BOX);
  p.bHasId = P(MP_HAS_ID);
  p.nMsgId = P(MP_ID);
  uint32_t shown = 0;
  if (reused) {
    reused->Reset(p);
    shown = reused->m_nSerial;
  } else {
    shown = InsertMessageWindow(list, insertAt, p).m_nSerial;
  }
  if (!P(MP_FREEZE)) return;

  // A message shown until the stage ends has no end of its own to wait for: the freeze keeps
  // the wait record as it stands.
  if (p.nDuration == MSGWIN_TIMED) {
    scene->m_Wait.Set(WAIT_MESSAGE, 0, frames, wait);
  } else if (p.nDuration == MSGWIN_UNTIL_KEY) {
    scene->m_Wait.Set(WAIT_MESSAGE, 1, 0, wait);
    if (!wait) PlaySystemSound(SOUND_MESSAGE_OPENS);
  }
  scene->RunPauseThread(1);
  // The window shown is taken away, if it is still there.
  RemoveMessageWindow(list, shown);
  if (scene->m_bClosing.load()) PostCloseToMainWindow();
}

void CmdMessage(cCharaBase* chara, cFlowCommandState* state) {
  if (!chara || !state || !state->m_pCommand) return;
  const cFlowState* flow = CurrentFlow();
  ExecMessage(*chara, *state->m_pCommand, flow ? flow->m_bMessageWait : 0);
}
