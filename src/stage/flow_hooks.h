// What the characters need of the flow runner: the run-time state of one flow and of one of its
// commands, building the states from a character's flows, stepping and stopping them, the key
// test of a flow and the trigger entry point. Minimal forms that do the least the callers need.
#pragma once

#include <cstdint>

#include "core/safe_containers.h"
#include "data/flow.h"
#include "data/flow_command.h"

class cCharaBase;
class cInput;

class cFlowCommandState {
 public:
  cFlowCommand* m_pCommand = nullptr;
  int32_t m_bDone = 0;
  int32_t m_nTotal = 0;
  int32_t m_nRemaining = 0;
  double m_dSpeed = 0.0;
  double m_dVX = 0.0;
  double m_dVY = 0.0;
  int32_t m_nCount = 0;
  int32_t m_bBegun = 0;
  // The flow that runs this command (its key conditions steer the hero's jump).
  const cFlow* m_pFlow = nullptr;

  // The jump's flags as the jump operation reads them; the jump command keeps them here.
  int32_t& JumpedFlag() { return m_bBegun; }
  int32_t JumpRunning() const { return !m_bDone; }
  void EndJump() { m_bDone = 1; }
};

class cFlowState {
 public:
  int32_t m_nIndex = 0;
  int32_t m_nSerial = 0;
  cFlow* m_pFlow = nullptr;
  cSafeVector<cFlowCommandState> m_Commands;
  int32_t m_bRunning = 0;
  int32_t m_bPaused = 0;
  int32_t m_bHalted = 0;
  int32_t m_bDelete = 0;

  // 1 when the flow's last command ended.
  int Step(cCharaBase* chara);
  void Stop(cCharaBase* chara);
};

// One flow state per flow of `flows`, appended to the character's states.
void InsertFlows(cCharaBase& chara, cSafeVector<cFlow>& flows, int mode, int position);
// Points each flow state of a copied character at that character's own flows.
void AssignFlowStates(cCharaBase& chara);
// Drops the states flagged for removal.
void RemoveFlaggedFlows(cCharaBase& chara);
// Starts the animations that flows scheduled for this frame.
void StartScheduledAnimes(cCharaBase& chara);
// The last key condition of `flow` tested against `input`: 1 held, 0 not held, -1 when the flow
// has no key conditions.
int CheckKeyCond(const cFlow* flow, const cInput* input);
// The test of a flow's last key condition, installed by the flow runner; until then a flow with
// key conditions counts as not held.
using KeyCondCheck = int (*)(const cFlow* flow, const cInput* input);
void SetKeyCondCheck(KeyCondCheck check);
// The play scene's running character (null when no flow runs); also clears its HP-changed flag.
void SetRunningChara(cCharaBase* chara);
// Runs the flow-changing item commands a hero collected.
void ExecPendingItemCommands(cCharaBase& chara, cSafeVector<cFlowCommand>& commands);
