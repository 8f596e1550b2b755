// Flow control on the character's own flows and its targets', the stage clear and the game wait.
#include "flow/cmd_control.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "core/globals.h"
#include "core/message_box.h"
#include "core/path_helpers.h"
#include "core/report_log.h"
#include "data/flow_command.h"
#include "flow/cmd_params.h"
#include "data/world_map.h"
#include "flow/conditions.h"
#include "flow/flow_runner.h"
#include "persist/save_data.h"
#include "stage/chara_base.h"
#include "stage/game.h"
#include "stage/hero.h"
#include "stage/message_window.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "flow/operate.h"

namespace {

constexpr int TARGET_SLOTS = 4;
// A flow started by flow control may start flows that run at once (before the stage starts),
// which may start flows in turn; a chain that comes back to itself stops here.
constexpr int MAX_START_DEPTH = 32;

int s_nStartDepth = 0;

// Applies `op` to flow state `s` of character `x`; `self` is the character running the command.
void Operate(int op, cCharaBase& x, cFlowState& s, cCharaBase& self) {
  switch (op) {
    case FLOWOP_START:
      // A flow that starts itself begins again at its first command in the next sub-step: Start
      // resets every command state, and the abort ends this step before a stale command runs.
      s.Stop(&x);
      x.RemoveAnimeOfFlow(s.m_nSerial);
      s.Start(&x);
      s.m_bAbort = 1;
      break;
    case FLOWOP_END:
      s.Stop(&x);
      x.RemoveAnimeOfFlow(s.m_nSerial);
      s.m_bAbort = 1;
      break;
    case FLOWOP_PAUSE:
      s.Pause();
      x.PauseAnimeOfFlow(s.m_nSerial);
      s.m_bAbort = 1;
      break;
    case FLOWOP_RESUME:
      s.Resume();
      x.ResumeAnimeOfFlow(s.m_nSerial);
      break;
    case FLOWOP_DELETE:
      // The running character's own flows go at the end of its flow pass.
      if (&x == &self) {
        x.m_bFlowRemovalPending = 1;
        s.m_bDelete = 1;
        s.m_bAbort = 1;
      }
      break;
    case FLOWOP_HALT:
      s.Halt(&x);
      x.RemoveAnimeOfFlow(s.m_nSerial);
      s.m_bAbort = 1;
      break;
    default: break;
  }
}

}  // namespace

void CmdFlowControl(cCharaBase* chara, cFlowCommandState* state) {
  if (!chara || !state || !state->m_pCommand) return;
  cCharaBase& c = *chara;
  const cFlowCommand& cmd = *state->m_pCommand;
  if (cmd.m_pConds && cmd.m_pConds->m_cEnabled && !CheckCondList(cmd.m_pConds->m_Conds, cmd.m_pConds->m_cMode, &c))
    return;
  const int32_t op = CmdParam(cmd, 0), scope = CmdParam(cmd, 1), id = CmdParam(cmd, 2), owner = CmdParam(cmd, 3);
  cCharaBase* o = &c;
  if (owner >= 1 && owner <= TARGET_SLOTS) {
    const int slot = owner - 1;
    o = slot < static_cast<int>(c.m_Targets.size()) ? c.m_Targets.At(slot) : nullptr;
    if (!o) return;
  }
  if (op == FLOWOP_START && s_nStartDepth >= MAX_START_DEPTH) {
    WriteReportLog("flow control: flows starting each other at once, stopped after %d", MAX_START_DEPTH);
    return;
  }
  ++s_nStartDepth;
  cFlowState* current = CurrentFlow();
  if (scope == FLOWSCOPE_THIS) {
    if (current) Operate(op, c, *current, c);
  } else if (scope == FLOWSCOPE_OTHERS) {
    for (int i = 0; i < static_cast<int>(c.m_FlowStates.size()); ++i) {
      cFlowState& s = c.m_FlowStates.At(i);
      if (&s != current) Operate(op, c, s, c);
    }
  } else if (scope == FLOWSCOPE_ID && id != 0) {
    const int8_t flowId = static_cast<int8_t>(id);
    if (op == FLOWOP_DELETE && o != &c) {
      // Another character's flows go at once: every flow of that ID.
      if (id == flowId) RemoveFlowsById(*o, flowId);
    } else if (id == flowId) {
      for (int i = 0; i < static_cast<int>(o->m_FlowStates.size()); ++i) {
        cFlowState& s = o->m_FlowStates.At(i);
        if (s.m_pFlow && s.m_pFlow->m_cId != 0 && s.m_pFlow->m_cId == flowId) Operate(op, *o, s, c);
      }
    }
  }
  --s_nStartDepth;
}

int ExecStageClear(cCharaBase&, cFlowCommand& command) {
  cScenePlay* scene = g_lpScenePlay;
  cSaveData& sd = g_SaveData;
  if (scene) {
    switch (CmdParam(command, 0)) {
      case 0:
        scene->m_nNextStage = ClampToInt32(int64_t{sd.m_nSequenceNo} + 1);
        scene->m_strNextStage.clear();
        break;
      case 1:
        scene->m_nNextStage = CmdParam(command, 1);
        scene->m_strNextStage.clear();
        break;
      case 2:
        scene->m_nNextStage = sd.m_nSequenceNo;
        scene->m_strNextStage.clear();
        if (command.m_strText.empty()) {
          ErrorBoxf("ステージファイル %s が不正です。\nステージファイルとして認識できません。", "");
        } else {
          std::string name = command.m_strText;
          RemoveExtensionStr(name);
          scene->m_strNextStage = name + ".";
        }
        break;
      case 3:
        scene->m_nNextStage = 0;
        scene->m_strNextStage.clear();
        break;
      default: break;
    }
  }
  if (CmdParam(command, 2)) {
    // The map is read at these on every load of the save: never past its edges, never negative.
    auto onMap = [](int32_t v, int32_t size) { return std::clamp<int32_t>(v, 0, std::max<int32_t>(0, size - 1)); };
    sd.m_nMapX = onMap(CmdParam(command, 3), g_WorldMap.m_nWidth);
    sd.m_nMapY = onMap(CmdParam(command, 4), g_WorldMap.m_nHeight);
    sd.m_nMapDir = 0;
  }
  if (CmdParam(command, 5)) {
    sd.m_bNextStart = 1;
    sd.m_nNextStartX = CmdParam(command, 6);
    sd.m_nNextStartY = CmdParam(command, 7);
    int32_t facing = CmdParam(command, 8);
    if (facing == 2) facing = g_Heroes.empty() ? 0 : (g_Heroes.At(0).m_bRight ? 1 : 0);
    sd.m_nNextStartDir = facing;
  } else {
    sd.m_bNextStart = 0;
  }
  return 1;
}

void CmdStageClear(cCharaBase* chara, cFlowCommandState* state) {
  if (!chara || !state || !state->m_pCommand) return;
  const int request = ExecStageClear(*chara, *state->m_pCommand);
  if (g_lpScenePlay) g_lpScenePlay->m_nEndRequest = request;
}

void ExecGameWait(cCharaBase&, cFlowCommand& command) {
  cScenePlay* scene = g_lpScenePlay;
  if (!scene) return;
  const int32_t frames = TenthsToFrames(CmdParam(command, 0));
  // An empty window that counts the wait down while the stage stands.
  MSGWINDOWPARAM p;
  p.nKind = MSGWIN_NONE;
  p.bFixed = 1;
  p.nDuration = MSGWIN_TIMED;
  p.nFrames = frames;
  p.bCountFrozen = 1;
  const uint32_t window = AddMessageWindow(scene->m_MessageWindows, p).m_nSerial;
  scene->m_Wait.m_nMode = WAIT_GAME;
  scene->m_Wait.m_nLock = 0;
  scene->m_Wait.m_bButton = 0;
  scene->m_Wait.m_nFrames = frames;
  scene->m_Wait.m_nReserved = 0;
  scene->RunPauseThread(0);
  // Taken away only if the wait left it there.
  RemoveMessageWindow(scene->m_MessageWindows, window);
  if (scene->m_bClosing.load()) PostCloseToMainWindow();
}

void CmdGameWait(cCharaBase* chara, cFlowCommandState* state) {
  if (chara && state && state->m_pCommand) ExecGameWait(*chara, *state->m_pCommand);
}
