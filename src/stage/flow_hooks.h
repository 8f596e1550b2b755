// What the stage needs of the flows: the run-time state of one flow and of one of its commands,
// and every entry point by which the stage reaches the flow code (building the states from a
// character's flows, stepping and stopping them, the key test of a flow, triggers, conditions and
// item commands). The stage declares them here and src/flow provides them, so the flow code sits
// above the stage and no stage file includes a flow header.
#pragma once

#include <array>
#include <cstdint>
#include <list>

#include "core/safe_containers.h"
#include "data/cond.h"
#include "data/flow.h"
#include "data/flow_command.h"
#include "data/flow_kinds.h"
#include "stage/chara_items.h"

class cBlock;
class cCharaBase;
class cHero;
class cInput;

struct FLOWPOINT {
  double dX = 0.0;
  double dY = 0.0;
};

class cFlowCommandState {
 public:
  cFlowCommand* m_pCommand = nullptr;
  int32_t m_bDone = 0;
  int32_t m_nTotal = 0;
  int32_t m_nRemaining = 0;
  int8_t m_nMode = 0;
  int32_t m_nOffsetX = 0;
  int32_t m_nOffsetY = 0;
  double m_dSpeed = 0.0;
  int32_t m_nAngle = 0;
  int32_t m_nRadius = 0;
  int32_t m_nStartAngle = 0;
  int32_t m_nEndAngle = 0;
  std::list<FLOWPOINT> m_History;
  double m_dVX = 0.0;
  double m_dVY = 0.0;
  int32_t m_nFaceTo = 0;
  int32_t m_nCount = 0;
  int32_t m_bBegun = 0;
  double m_dPhaseX = 0.0;
  double m_dPhaseY = 0.0;
  double m_dMaxSpeed = 0.0;
  int32_t m_nLastFacing = 0;
  // The flow that runs this command (its key conditions steer the hero's jump).
  const cFlow* m_pFlow = nullptr;

  // Start of a run of the command: the full time, the work area cleared, pending arranges applied.
  void Reset();
  // One sub-step of the command on the running character; 1 when the command has finished.
  int Execute();

  // The jump's flags as the jump operation reads them; the jump command keeps them here. Ending
  // the jump leaves one sub-step, so the runner finishes the command in this one.
  int32_t& JumpedFlag() { return m_bBegun; }
  int32_t JumpRunning() const { return !m_bDone; }
  void EndJump() {
    m_bDone = 1;
    if (m_nRemaining > 1) m_nRemaining = 1;
  }
};

// A pending change of a command parameter: kind, parameter, operation, variable scope, number.
constexpr int ARRANGE_ENTRY_SIZE = 5;
using ARRANGEENTRY = cSafeVector<int32_t>;

// An animation a flow starts at a given sub-step so that it ends when its command starts.
struct FLOWANIME {
  int32_t nStart = 0;
  int32_t nStartAgain = 0;
  int16_t sAnime = 0;
  int16_t sSkip = 0;
  int16_t sFrames = 0;
  int16_t sHold = 0;
  int32_t bHoldFlag = 0;
};

class cFlowState {
 public:
  int32_t m_nIndex = 0;
  int32_t m_nSerial = 0;
  cFlow* m_pFlow = nullptr;
  int8_t m_bCondLatched = 0;
  cSafeVector<cKeyCond*> m_KeyConds;
  int32_t m_bKeyMatched = 0;
  int32_t m_bKeyEdge = 0;
  cSafeVector<cFlowCommandState> m_Commands;
  cSafeVector<FLOWANIME> m_AnimeSchedule;
  int32_t m_bRunning = 0;
  int32_t m_bPaused = 0;
  int32_t m_bHalted = 0;
  int32_t m_bDelete = 0;
  int32_t m_nCurrent = 0;
  int32_t m_nFrame = 0;
  int32_t m_nHeldKey = 0;
  int32_t m_bFired = 0;
  int32_t m_bStarted = 0;
  int32_t m_bMessageWait = 0;
  int32_t m_bAbort = 0;
  std::list<ARRANGEENTRY> m_Arranges;
  // Set by a start while the flow is being stepped: the step ends there, and the restarted run
  // begins with its first command in the next sub-step.
  int32_t m_bRestarted = 0;

  // Starts a run on behalf of `owner` (the character whose flow this is).
  void Start(cCharaBase* owner);
  // One sub-step of the run; 1 when the flow has ended.
  int Step(cCharaBase* chara);
  void Stop(cCharaBase* chara);
  void Pause() { m_bPaused = 1; }
  void Resume() { m_bPaused = 0; }
  void Halt(cCharaBase* chara);
};

// Builds flow states from `flows`: mode 0 replaces all of the character's states (the flows are
// its own definitions); mode 1 copies the flows into the character before `position` (-1 or past
// the end: appended). Returns the number of flows given.
int InsertFlows(cCharaBase& chara, cSafeVector<cFlow>& flows, int mode, int position);
// Points each flow state of a copied character at that character's own flows.
void AssignFlowStates(cCharaBase& chara);
// Drops the states flagged for removal.
void RemoveFlaggedFlows(cCharaBase& chara);
// Starts the animations that flows scheduled for this sub-step.
void StartScheduledAnimes(cCharaBase& chara);
// The last key condition of `flow` tested against `input`: 1 held, 0 not held, -1 when the flow
// has no key conditions.
int CheckKeyCond(const cFlow* flow, const cInput* input);
// Replaces the test of a flow's last key condition (tests); null restores the real one.
using KeyCondCheck = int (*)(const cFlow* flow, const cInput* input);
void SetKeyCondCheck(KeyCondCheck check);
// The play scene's running character (null when no flow runs).
void SetRunningChara(cCharaBase* chara);
// Runs the flow-changing item commands a hero collected.
void ExecPendingItemCommands(cCharaBase& chara, cSafeVector<cFlowCommand>& commands);
// Fires a trigger on `chara` with the other character involved (may be null) and a flow ID (0:
// every flow of the trigger qualifies).
void FireTriggerWith(cCharaBase& chara, int trigger, cCharaBase* other, int id);

// Expands every loop command of `cmds`, outer first.
void UnrollLoops(cSafeVector<cFlowCommand>& cmds);
// The holders' check of a condition list: an empty list holds; a latched list that once held holds
// without being evaluated; a list that holds sets `latched`.
int CheckLatchedConds(const cSafeVector<cCond>& conds, int mode, int latchEnabled, int8_t& latched, cCharaBase* chara);
// A block's conditions, evaluated for the main hero; a cell of the map grid keeps its latch in its
// state byte, any other block is not latched.
bool CheckMapCellCond(cBlock& block);
// The command code's handler of each item-command kind; RunItemCmd checks the kind before it
// indexes.
extern const std::array<ItemCmdHandler, ITEMCMD_KIND_COUNT> g_ItemCmdExecTable;
// Applies the entries the item commands queued on the hero, in queue order, the operands read from
// the hero's variables.
void ApplyItemArranges(cFlowCommand& cmd, cHero& hero);
