#include "stage/flow_hooks.h"

#include "flow/flow_runner.h"
#include "flow/flow_trigger.h"
#include "stage/chara_base.h"

namespace {

int LastKeyCondHeld(const cFlow* flow, const cInput* input) { return CheckKeyCondNow(input, flow->m_KeyConds.back()); }

KeyCondCheck g_pfnKeyCondCheck = LastKeyCondHeld;

}  // namespace

void SetKeyCondCheck(KeyCondCheck check) { g_pfnKeyCondCheck = check ? check : LastKeyCondHeld; }

int CheckKeyCond(const cFlow* flow, const cInput* input) {
  if (!flow || flow->m_KeyConds.empty()) return -1;
  return g_pfnKeyCondCheck(flow, input) ? 1 : 0;
}

void SetRunningChara(cCharaBase* chara) {
  SetCurrentChara(chara);
  if (!chara) {
    SetCurrentFlow(nullptr);
    SetCurrentCommand(nullptr);
  }
}
