#include "data/flow.h"

#include <algorithm>

namespace {
// Smallest bodies: member and string counts, plus the counts each class adds.
constexpr size_t MIN_KEYCOND_BYTES = 12;
constexpr size_t MIN_FLOW_BYTES = 20;
// Projects nest flows inside item commands one level deep; far deeper nesting is a damaged file
// and would otherwise exhaust the stack.
constexpr int MAX_FLOW_NESTING = 8;
thread_local int t_nFlowNesting = 0;
}  // namespace

cKeyCond::cKeyCond() {
  Register(DATA_VERSION);
  Clear();
  m_Keys.assign(KEYCOND_KEY_COUNT, 0);
}

void cKeyCond::Register(int) {
  ClearMemberTables();
  AddMember1(&m_cMirror, 1);
  AddMember2(&m_sMinFrames, 1);
  AddMember2(&m_sMaxFrames, 1);
  AddMember1(&m_cAnyLength, 1);
  AddMember1(&m_cMode, 1);
}

int cKeyCond::Load(FILE* fp) {
  int ok = cRecord::Load(fp);
  int32_t n = 0;
  if (ok) ok = ReadCount(fp, &n, 1);
  if (ok && n > 0) {
    m_Keys.assign(static_cast<size_t>(n), 0);
    ok = ReadData(fp, m_Keys.data(), m_Keys.size());
  }
  // The input state has exactly this many patterns; a list of another length would make every
  // look-up past its end a fatal bad index.
  ResizeKeyList(*this);
  return ok ? 1 : 0;
}

void cKeyCond::Save(FILE* fp) {
  cRecord::Save(fp);
  WriteInt32(fp, static_cast<int32_t>(m_Keys.size()));
  WriteData(fp, m_Keys.data(), m_Keys.size());
}

void ResizeKeyList(cKeyCond& keyCond) { keyCond.m_Keys.resize(KEYCOND_KEY_COUNT, 0); }

cFlow::cFlow() {
  Register(DATA_VERSION);
  Clear();
  m_cKeyGap = 3;
}

void cFlow::Register(int nVersion) {
  ClearMemberTables();
  AddMember1(&m_cId, 1);
  AddMember1(&m_cGroup, 1);
  AddMember1(&m_cTestPlayOnly, 1);
  AddMember1(&m_cCondMode, 1);
  AddMember1(&m_cCondLatch, 1);
  AddMember1(&m_cTrigger, 1);
  if (nVersion >= 762) AddMember1(&m_cTriggerTarget, 1);
  if (nVersion >= 767) AddMember1(&m_cTargetSlot, 1);
  AddMember1(&m_cKeyGap, 1);
  AddMember1(&m_cKeyRepeat, 1);
  if (nVersion >= 676) AddString(&m_strName);
}

int cFlow::Load(FILE* fp) {
  // Every read after a failure fails at once, so the failure is checked once at the end.
  cRecord::Load(fp);
  LoadCondVector(m_Conds, fp);
  LoadKeyCondVector(m_KeyConds, fp);
  LoadFlowCommandVector(m_Cmds, fp);
  if (g_nFileVersion < DATA_VERSION) UpgradeTrigger(g_nFileVersion);
  m_strName.clear();
  Validate();
  return IsDataReadFailed(fp) ? 0 : 1;
}

void cFlow::UpgradeTrigger(int v) {
  auto raise = [this](int from, int by) {
    if (m_cTrigger >= from) m_cTrigger = static_cast<int8_t>(m_cTrigger + by);
  };
  if (v <= 131) raise(11, 1);
  if (v < 163 && m_cTrigger != 0) m_cGroup = 0;
  if (v < 164) raise(5, 2);
  if (v < 762) raise(18, 3);
  if (v < 900) {
    // The damage and impact triggers were split into "setting" and "amount" kinds.
    raise(2, 1);
    raise(4, 1);
    raise(21, 1);
    raise(23, 1);
  }
}

void cFlow::Save(FILE* fp) {
  Validate();
  cRecord::Save(fp);
  SaveCondVector(m_Conds, fp);
  SaveRecordVector(m_KeyConds, fp);
  SaveFlowCommandVector(m_Cmds, fp);
}

void cFlow::Validate() {
  for (cFlowCommand& cmd : m_Cmds) cmd.Validate();
}

void cFlow::ValidatePaletteRefs() {
  for (cFlowCommand& cmd : m_Cmds) cmd.ValidatePaletteRefs();
}

int LoadKeyCondVector(cSafeVector<cKeyCond>& keyConds, FILE* fp) {
  cKeyCond prototype;
  ResizeKeyList(prototype);
  return LoadRecordVector(keyConds, fp, prototype, MIN_KEYCOND_BYTES);
}

int LoadFlowVector(cSafeVector<cFlow>& flows, FILE* fp) {
  if (t_nFlowNesting >= MAX_FLOW_NESTING) {
    FailDataRead(fp, "フローの入れ子が深すぎます");
    return 0;
  }
  ++t_nFlowNesting;
  int ok = LoadRecordVector(flows, fp, cFlow(), MIN_FLOW_BYTES);
  --t_nFlowNesting;
  return ok;
}

void SaveFlowVector(cSafeVector<cFlow>& flows, FILE* fp) { SaveRecordVector(flows, fp); }

void RemoveTestPlayFlows(cSafeVector<cFlow>& flows) {
  flows.erase(std::remove_if(flows.begin(), flows.end(), [](const cFlow& flow) { return flow.m_cTestPlayOnly != 0; }),
              flows.end());
}
