// Building flow states and running a flow one sub-step at a time.
#include "flow/flow_runner.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <list>

#include "core/message_box.h"
#include "core/report_log.h"
#include "data/database.h"
#include "data/flow_kinds.h"
#include "data/stage_file.h"
#include "flow/cmd_dispatch.h"
#include "flow/cmd_params.h"
#include "persist/system_data.h"
#include "stage/chara_base.h"
#include "stage/game.h"
#include "stage/scene_play.h"
#include "flow/frame_steps.h"
#include "flow/operate.h"

namespace {

bool IsLoop(const cFlowCommand& cmd) {
  return (cmd.m_cCategory == CMDCAT_FLOW && cmd.m_cKind == CMD_LOOP) ||
         (cmd.m_cCategory == CMDCAT_ITEM && cmd.m_cKind == CMD_LOOP - ITEMCMD_KIND_OFFSET);
}

double SubStepsReal() { return g_Stage.m_dSubSteps > 0 ? g_Stage.m_dSubSteps : 1.0; }

// A message that waits for its button: the next blocking command keeps the wait flag.
bool IsWaitingMessage(const cFlowCommand& cmd) {
  return cmd.GetFlowKind() == CMD_MESSAGE && cmd.m_Params.size() > 15 && cmd.m_Params.At(15) == 0 &&
         cmd.m_Params.At(6) == 0;
}

void MarkGroupEnded(const cFlowState& state, cCharaBase* chara) {
  const int g = state.m_pFlow ? state.m_pFlow->m_cGroup : 0;
  if (g == 0 || !chara) return;
  chara->m_GroupEnded.At(g) = 1;
  chara->m_bGroupEndPending = 1;
}

void RemoveAnimeOfFlow(cCharaBase& chara, int32_t serial) {
  chara.m_RunningAnimes.remove_if([serial](const RUNNINGANIME& a) { return a.m_nFlowSerial == serial; });
}

// Tenths of a second animation `anime` plays before its first held frame; -1 when it does not exist.
int64_t AnimeLeadTenths(int anime) {
  const auto& animes = g_Database.m_Animes;
  if (anime < 0 || anime >= static_cast<int>(animes.size())) return -1;
  int64_t sum = 0;
  for (const cAnimeFrameData& f : animes.At(anime).m_Frames) {
    if (f.m_nEndFlag) break;
    sum += f.m_nTime;
  }
  return sum;
}

int16_t ClampToInt16(int64_t v) {
  return static_cast<int16_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

// The animations the flow's commands name, each timed to end when its command starts.
void BuildAnimeSchedule(cFlowState& state) {
  state.m_AnimeSchedule.clear();
  const int n = FrameSubSteps();
  int64_t before = 0;  // sub-steps of the blocking commands before command i
  for (int i = 0; i < static_cast<int>(state.m_Commands.size()); ++i) {
    const cFlowCommandState& cs = state.m_Commands.At(i);
    const cFlowCommand& cmd = *cs.m_pCommand;
    const int anime = cmd.m_sAnime;
    const int64_t lead = anime != 0 && (!cmd.m_pMove || cmd.m_pMove->m_cAnime == 2) ? AnimeLeadTenths(anime) : -1;
    if (lead >= 0) {
      const int64_t frames = lead * 6;
      int64_t countdown = frames * n;
      const int32_t holdFlag = cmd.GetFlowKind() == CMD_SWORD || cmd.GetFlowKind() == CMD_JUMP ? 0 : 1;
      const int16_t hold = ClampToInt16(int64_t{cmd.m_sTime} * 6);
      bool placed = false;
      for (int k = i - 1; k >= 0 && !placed; --k) {
        const cFlowCommandState& earlier = state.m_Commands.At(k);
        if (earlier.m_pCommand->m_cParallel == 1) continue;
        countdown -= earlier.m_nTotal;
        if (countdown <= 0) {
          const int32_t start = ClampToInt32(before - frames * n);
          state.m_AnimeSchedule.push_back(
              FLOWANIME{start, start, static_cast<int16_t>(anime), 0, ClampToInt16(frames), hold, holdFlag});
          placed = true;
        }
      }
      if (!placed) {
        const int64_t skip = std::min(countdown / n, frames);
        state.m_AnimeSchedule.push_back(FLOWANIME{0, 0, static_cast<int16_t>(anime), ClampToInt16(skip),
                                                  ClampToInt16(frames - skip), hold, holdFlag});
      }
    }
    if (cmd.m_cParallel != 1) before += cs.m_nTotal;
  }
}

void SetUpCommandState(cFlowCommandState& cs, cFlow& flow, cFlowCommand& cmd, cCharaBase& chara) {
  cs.m_pCommand = &cmd;
  cs.m_pFlow = &flow;
  cs.m_nTotal = CommandTotal(cmd, chara.m_nCloneValue, FrameSubSteps());
  if (cmd.m_pMove) {
    const cEdMove& m = *cmd.m_pMove;
    const double n = SubStepsReal();
    cs.m_dSpeed = (m.m_sSpeed + m.m_sSpeedPerClone * chara.m_nCloneValue) * 0.1 / n;
    if (m.m_cInertia) cs.m_dMaxSpeed = m.m_sMaxSpeed * 0.1 / n;
    cs.m_nMode = static_cast<int8_t>(m.m_cDir);
  }
  InitCommand(cs, chara);
}

}  // namespace

cFlowScope::cFlowScope() {
  if (!g_lpScenePlay) return;
  m_lpChara = g_lpScenePlay->m_lpCurrentChara;
  m_lpFlow = g_lpScenePlay->m_lpCurrentFlow;
  m_lpCommand = g_lpScenePlay->m_lpCurrentCommand;
}

cFlowScope::~cFlowScope() {
  if (!g_lpScenePlay) return;
  g_lpScenePlay->m_lpCurrentChara = m_lpChara;
  g_lpScenePlay->m_lpCurrentFlow = m_lpFlow;
  g_lpScenePlay->m_lpCurrentCommand = m_lpCommand;
}

cCharaBase* CurrentChara() { return g_lpScenePlay ? g_lpScenePlay->m_lpCurrentChara : nullptr; }
cFlowState* CurrentFlow() { return g_lpScenePlay ? g_lpScenePlay->m_lpCurrentFlow : nullptr; }
void SetCurrentChara(cCharaBase* chara) {
  if (g_lpScenePlay) g_lpScenePlay->m_lpCurrentChara = chara;
}
void SetCurrentFlow(cFlowState* flow) {
  if (g_lpScenePlay) g_lpScenePlay->m_lpCurrentFlow = flow;
}
void SetCurrentCommand(cFlowCommandState* command) {
  if (g_lpScenePlay) g_lpScenePlay->m_lpCurrentCommand = command;
}

void SetRunningChara(cCharaBase* chara) {
  SetCurrentChara(chara);
  if (!chara) {
    SetCurrentFlow(nullptr);
    SetCurrentCommand(nullptr);
  }
}

int32_t CommandTotal(const cFlowCommand& cmd, int cloneValue, int subSteps) {
  const int64_t tenths = int64_t{cmd.m_sTime} + int64_t{cmd.m_sTimePerClone} * cloneValue;
  return ClampToInt32(tenths * subSteps * 6);
}

namespace {

using CMDLIST = std::list<cFlowCommand>;

// Expands the first loop at or after `at` (index `index` of a list of `count` commands); false
// when there is none. Afterwards `at` and `index` point at where the next loop may be. A list lets
// the copies go in without moving the commands behind them.
bool ExpandFirstLoop(CMDLIST& cmds, CMDLIST::iterator& at, int64_t& index, int64_t& count, bool& reported) {
  while (at != cmds.end() && !IsLoop(*at)) {
    ++at;
    ++index;
  }
  if (at == cmds.end()) return false;
  const cFlowCommand& loop = *at;
  const int64_t repeat = loop.m_Params.size() > 0 ? loop.m_Params.At(0) : 0;
  const int64_t body = std::min<int64_t>(loop.m_Params.size() > 1 ? loop.m_Params.At(1) : 0, count - index - 1);
  if (body > 0 && repeat > 1) {
    if (count + body * (repeat - 1) > MAX_EXPANDED_COMMANDS) {
      if (!reported)
        WriteReportLogF("Loop too long: %d x %d commands, the body runs once", static_cast<int>(repeat),
                        static_cast<int>(body));
      reported = true;
    } else {
      auto first = std::next(at);
      auto last = std::next(first, static_cast<std::ptrdiff_t>(body));
      const CMDLIST copy(first, last);
      for (int64_t r = 1; r < repeat; ++r) cmds.insert(last, copy.begin(), copy.end());
      count += body * (repeat - 1);
    }
  }
  at = cmds.erase(at);
  --count;
  return true;
}

void ExpandLoops(cSafeVector<cFlowCommand>& cmds, bool onlyFirst) {
  CMDLIST list(cmds.begin(), cmds.end());
  auto at = list.begin();
  int64_t index = 0;
  int64_t count = static_cast<int64_t>(list.size());
  bool reported = false;
  bool any = false;
  while ((!onlyFirst || !any) && ExpandFirstLoop(list, at, index, count, reported)) any = true;
  if (any) cmds.assign(list.begin(), list.end());
}

}  // namespace

int UnrollFirstLoop(cSafeVector<cFlowCommand>& cmds) {
  for (const cFlowCommand& c : cmds)
    if (IsLoop(c)) {
      ExpandLoops(cmds, true);
      return 1;
    }
  return 0;
}

void UnrollLoops(cSafeVector<cFlowCommand>& cmds) {
  for (const cFlowCommand& c : cmds)
    if (IsLoop(c)) return ExpandLoops(cmds, false);
}

int InsertFlows(cCharaBase& chara, cSafeVector<cFlow>& flows, int mode, int position) {
  const int count = static_cast<int>(flows.size());
  for (cFlow& f : flows) UnrollLoops(f.m_Cmds);
  auto& defs = chara.m_Def.m_Flows;
  auto& states = chara.m_FlowStates;
  int first = 0;
  if (mode == 0) {
    states.assign(static_cast<size_t>(count), cFlowState());
  } else {
    const cSafeVector<cFlow> copies = flows;  // the source may be the character's own vector
    const int have = static_cast<int>(defs.size());
    first = position != -1 && position >= 0 && position < have ? position : have;
    defs.insert(defs.begin() + first, copies.begin(), copies.end());
    states.insert(states.begin() + first, static_cast<size_t>(count), cFlowState());
  }
  cSafeVector<cFlow>& owned = mode == 0 ? flows : defs;
  for (int j = 0; j < count; ++j) {
    const int s = first + j;
    cFlowState& state = states.At(s);
    cFlow& flow = owned.At(s);
    state.m_nIndex = s;
    state.m_pFlow = &flow;
    state.m_nSerial = chara.m_nNextFlowSerial++;
    state.m_KeyConds.clear();
    for (cKeyCond& k : flow.m_KeyConds) state.m_KeyConds.push_back(&k);
    state.m_Commands.assign(flow.m_Cmds.size(), cFlowCommandState());
    for (int i = 0; i < static_cast<int>(flow.m_Cmds.size()); ++i)
      SetUpCommandState(state.m_Commands.At(i), flow, flow.m_Cmds.At(i), chara);
    if (mode != 0) state.m_bKeyEdge = flow.m_cKeyRepeat == 0 ? 1 : 0;
  }
  if (mode != 0) RelinkFlows(chara);
  for (int j = 0; j < count; ++j) BuildAnimeSchedule(states.At(first + j));
  return count;
}

void RelinkFlows(cCharaBase& chara) {
  auto& defs = chara.m_Def.m_Flows;
  auto& states = chara.m_FlowStates;
  for (int i = 0; i < static_cast<int>(states.size()); ++i) {
    cFlowState& state = states.At(i);
    state.m_nIndex = i;
    if (i >= static_cast<int>(defs.size())) {
      state.m_pFlow = nullptr;
      continue;
    }
    cFlow& flow = defs.At(i);
    state.m_pFlow = &flow;
    const size_t keys = std::min(state.m_KeyConds.size(), flow.m_KeyConds.size());
    for (size_t k = 0; k < keys; ++k) state.m_KeyConds[k] = &flow.m_KeyConds[k];
    const size_t cmds = std::min(state.m_Commands.size(), flow.m_Cmds.size());
    for (size_t k = 0; k < cmds; ++k) {
      state.m_Commands[k].m_pCommand = &flow.m_Cmds[k];
      state.m_Commands[k].m_pFlow = &flow;
    }
  }
}

void AssignFlowStates(cCharaBase& chara) { RelinkFlows(chara); }

void RemoveFlow(cCharaBase& chara, int index) {
  cFlowState& state = chara.m_FlowStates.At(index);
  state.Stop(&chara);
  RemoveAnimeOfFlow(chara, state.m_nSerial);
  chara.m_FlowStates.erase(chara.m_FlowStates.begin() + index);
  if (index < static_cast<int>(chara.m_Def.m_Flows.size()))
    chara.m_Def.m_Flows.erase(chara.m_Def.m_Flows.begin() + index);
  RelinkFlows(chara);
}

int RemoveFlowsById(cCharaBase& chara, int8_t id) {
  auto& states = chara.m_FlowStates;
  if (id == 0) {
    for (cFlowState& s : states) s.Stop(&chara);
    states.clear();
    chara.m_Def.m_Flows.clear();
    chara.m_RunningAnimes.clear();
    RelinkFlows(chara);
    return 0;
  }
  int first = -1;
  for (int i = 0; i < static_cast<int>(states.size());) {
    const cFlow* flow = states.At(i).m_pFlow;
    if (flow && flow->m_cId != 0 && flow->m_cId == id) {
      if (first < 0) first = i;
      RemoveFlow(chara, i);
    } else {
      ++i;
    }
  }
  return first;
}

void RemoveFlaggedFlows(cCharaBase& chara) {
  for (int i = 0; i < static_cast<int>(chara.m_FlowStates.size());) {
    if (chara.m_FlowStates.At(i).m_bDelete)
      RemoveFlow(chara, i);
    else
      ++i;
  }
}

void StartScheduledAnimes(cCharaBase& chara) {
  for (cFlowState& state : chara.m_FlowStates) {
    if (!state.m_bRunning || state.m_bPaused) continue;
    for (const FLOWANIME& e : state.m_AnimeSchedule) {
      if (e.nStart != state.m_nFrame) continue;
      if (e.sAnime < 0 || e.sAnime >= static_cast<int>(g_AnimeTable.size())) continue;
      RUNNINGANIME ra;
      ra.m_nAnime = e.sAnime;
      ra.m_bScheduled = 1;
      ra.m_nWait = e.sFrames;
      ra.m_nHold = e.sHold;
      ra.m_nFlowSerial = state.m_nSerial;
      ra.m_bPaused = 0;
      cSafeVector<ANIMEFRAMELIST> only;
      only.push_back(g_AnimeTable.At(e.sAnime));
      chara.m_RunningAnimes.push_front(ra);
      cAnime& player = chara.m_RunningAnimes.front().m_Anime;
      player.SetTable(only);
      player.Set(0, 1);
      if (e.sSkip != 0) player.m_nTick += e.sSkip;
      if (e.sHold >= 2 && e.bHoldFlag == 1) {
        for (ANIMEFRAME& f : player.m_Table.At(0))
          if (f.nHold) {
            f.nFrames += e.sHold - 1;
            break;
          }
      }
    }
  }
}

void cFlowState::Start(cCharaBase* owner) {
  m_bRunning = 1;
  m_nCurrent = m_nFrame = m_bMessageWait = 0;
  for (cFlowCommandState& cs : m_Commands) cs.m_bDone = 0;
  m_bStarted = 1;
  m_bRestarted = 1;
  if (!m_pFlow) return;
  const int g = m_pFlow->m_cGroup;
  // The marks go on the flow's owner, also when another character's command starts the flow.
  if (m_pFlow->m_cTrigger == TRIG_ALWAYS && g != 0 && owner) {
    owner->m_GroupRunning.At(g) = 1;
    owner->m_GroupStarted.At(g) = 1;
  }
  if (m_Commands.empty() || m_pFlow->m_cTrigger != TRIG_BEFORE_STAGE_START) return;
  // Runs to its end at once, on its owner, leaving the scene's pointers as they were.
  {
    cFlowScope scope;
    SetCurrentChara(owner);
    SetCurrentFlow(this);
    m_bAbort = 0;
    for (cFlowCommandState& cs : m_Commands) {
      const cFlowCommand& cmd = *cs.m_pCommand;
      if (cmd.m_cKind < CMD_FLOW_CONTROL || cmd.m_cParallel == 0) continue;
      cs.Reset();
      // Such a command gets this one sub-step only, whatever its time says.
      if (!cs.Execute()) DebugErrorBoxf("使用時間0なので、ここにくることはあり得ないはず！");
      if (m_bAbort) break;
      cs.m_bDone = 1;
    }
  }
  Stop(owner);
}

int cFlowState::Step(cCharaBase*) {
  SetCurrentFlow(this);
  m_bAbort = 0;
  m_bRestarted = 0;
  const int last = static_cast<int>(m_Commands.size()) - 1;
  for (int i = 0; i <= m_nCurrent && i <= last; ++i) {
    cFlowCommandState& cs = m_Commands.At(i);
    if (cs.m_bDone) continue;
    const cFlowCommand& cmd = *cs.m_pCommand;
    const bool waitingMessage = IsWaitingMessage(cmd);
    if (cs.m_nRemaining == 0) {
      cs.Reset();
      if (!waitingMessage && cmd.m_cParallel == 0) m_bMessageWait = 0;
    }
    const int finished = cs.Execute();
    // A command that started its own flow again leaves the fresh run as the start made it.
    if (m_bRestarted) return 0;
    if (cmd.m_cParallel == 1) {
      if (finished) {
        cs.m_bDone = 1;
        if (i == last) return 1;
      }
      if (i == m_nCurrent) m_nCurrent++;
      if (m_bAbort) return 0;
    } else {
      if (finished) {
        cs.m_bDone = 1;
        if (waitingMessage) m_bMessageWait = 1;
        if (i == last) return 1;
        m_nCurrent++;
        break;
      }
      if (m_bAbort) return 0;
    }
  }
  if (last < 0 || m_Commands.At(last).m_bDone) return 1;
  m_nFrame++;
  return 0;
}

void cFlowState::Stop(cCharaBase* chara) {
  if (!m_bRunning) return;
  m_bRunning = 0;
  m_Arranges.clear();
  for (cFlowCommandState& cs : m_Commands) cs.m_nRemaining = 0;
  MarkGroupEnded(*this, chara);
  if (!g_SystemData.CompatKeepKeyEdge() && m_pFlow && m_pFlow->m_cTrigger != TRIG_ALWAYS) m_bKeyEdge = 0;
}

void cFlowState::Halt(cCharaBase* chara) {
  m_bHalted = 1;
  if (!m_bRunning) return;
  for (cFlowCommandState& cs : m_Commands) cs.m_nRemaining = 0;
  MarkGroupEnded(*this, chara);
}

void cFlowCommandState::Reset() {
  m_nRemaining = m_nTotal;
  m_bDone = m_nCount = m_bBegun = 0;
  m_dPhaseX = m_dPhaseY = 0.0;
  if (!m_pCommand || m_pCommand->GetFlowKind() == CMD_ARRANGE) return;
  cFlowState* flow = CurrentFlow();
  if (!flow) return;
  ApplyFlowArranges(*m_pCommand, CurrentChara(), flow);
  flow->m_Arranges.clear();
}

int cFlowCommandState::Execute() {
  SetCurrentCommand(this);
  if (cCharaBase* chara = CurrentChara()) ExecCommand(*chara, *this);
  if (m_nRemaining > 1) {
    --m_nRemaining;
    return 0;
  }
  m_nRemaining = 0;
  return 1;
}
