#include "stage/flow_hooks.h"

#include "stage/chara_base.h"

int cFlowState::Step(cCharaBase*) { return 0; }

void cFlowState::Stop(cCharaBase*) { m_bRunning = 0; }

void InsertFlows(cCharaBase& chara, cSafeVector<cFlow>& flows, int, int) {
  for (int i = 0; i < static_cast<int>(flows.size()); ++i) {
    cFlowState state;
    state.m_nIndex = static_cast<int32_t>(chara.m_FlowStates.size());
    state.m_nSerial = chara.m_nNextFlowSerial++;
    state.m_pFlow = &flows.At(i);
    chara.m_FlowStates.push_back(state);
  }
}

void AssignFlowStates(cCharaBase& chara) {
  auto& flows = chara.m_Def.m_Flows;
  for (cFlowState& state : chara.m_FlowStates)
    state.m_pFlow = state.m_nIndex >= 0 && state.m_nIndex < static_cast<int>(flows.size())
                        ? &flows.At(state.m_nIndex)
                        : nullptr;
}

void RemoveFlaggedFlows(cCharaBase& chara) {
  auto& states = chara.m_FlowStates;
  for (auto it = states.begin(); it != states.end();) it = it->m_bDelete ? states.erase(it) : it + 1;
}

void StartScheduledAnimes(cCharaBase&) {}

namespace {
KeyCondCheck g_pfnKeyCondCheck = nullptr;
}  // namespace

void SetKeyCondCheck(KeyCondCheck check) { g_pfnKeyCondCheck = check; }

int CheckKeyCond(const cFlow* flow, const cInput* input) {
  if (!flow || flow->m_KeyConds.empty()) return -1;
  return g_pfnKeyCondCheck && g_pfnKeyCondCheck(flow, input) ? 1 : 0;
}

void ExecPendingItemCommands(cCharaBase&, cSafeVector<cFlowCommand>&) {}

void cCharaBase::FireTrigger(int) {}

void SetRunningChara(cCharaBase*) {}

void cCharaBase::ClearTriggerFlags() {}
