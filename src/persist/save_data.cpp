#include "persist/save_data.h"

#include <algorithm>
#include <cstring>

#include "core/path_helpers.h"
#include "core/sjis_text.h"
#include "data/world_map.h"
#include "persist/list_io.h"
#include "persist/system_data.h"

namespace {

// Lengths below which the game's indexes would fall off a list; longer lists stay as loaded.
template <class T>
void PadTo(cSafeVector<T>& list, size_t n) {
  if (list.size() < n) list.resize(n);
}

}  // namespace

// ---- cStatusData ----

cStatusData::cStatusData() {
  Register(DATA_VERSION);
  Clear();
}

void cStatusData::Register(int) {
  ClearMemberTables();
  AddMember4(&m_nHp, 1);
  AddMember4(&m_nSp, 1);
  AddMember4(&m_nTime, 1);
  AddMember4(&m_nCarryLives, 1);
  AddMember4(&m_nCarryBgm, 1);
}

int cStatusData::Load(FILE* fp) { return cRecord::Load(fp) && m_Def.Load(fp) ? 1 : 0; }

void cStatusData::Save(FILE* fp) {
  cRecord::Save(fp);
  m_Def.Save(fp);
}

// ---- cStageResult ----

constexpr int STAGE_RESULT_KEY_VERSION = 759;

cStageResult::cStageResult() {
  Register(DATA_VERSION);
  Clear();
}

void cStageResult::Register(int v) {
  ClearMemberTables();
  if (v >= STAGE_RESULT_KEY_VERSION) {
    AddMember4(&m_bVarSet, 1);
    AddMember4(&m_nVarIndex, 1);
    AddMember4(&m_nVarValue, 1);
  }
  AddMember4(&m_nBest, 1);
  AddString(&m_strStage);
  if (v >= STAGE_RESULT_KEY_VERSION) AddString(&m_strResultKey);
}

int cStageResult::Load(FILE* fp) {
  int version = g_nFileVersion;
  int ok = cRecord::Load(fp);
  if (version < STAGE_RESULT_KEY_VERSION) {
    m_strResultKey = m_strStage;
    m_bVarSet = 0;
  }
  return ok;
}

void cStageResult::Set(int32_t best, const std::string& stage, const std::string& key, int32_t varSet, int32_t varIndex,
                       int32_t varValue) {
  m_nBest = best;
  m_strStage = stage;
  m_strResultKey = key;
  m_bVarSet = varSet;
  m_nVarIndex = varIndex;
  m_nVarValue = varValue;
}

// ---- cIntPair ----

cIntPair::cIntPair() {
  Register(DATA_VERSION);
  Clear();
}

void cIntPair::Register(int) {
  ClearMemberTables();
  AddMember4(&m_bCleared, 1);
  AddMember4(&m_nBest, 1);
}

// ---- cSaveData ----

cSaveData::cSaveData() {
  Register(DATA_VERSION);
  Reset(0);
}

void cSaveData::Register(int v) {
  ClearMemberTables();
  AddMember4(&m_bStatusStored, 1);
  AddMember4(&m_nMapX, 1);
  AddMember4(&m_nMapY, 1);
  AddMember1(m_MapEntrySlot, 4);
  AddMember4(&m_nLap, 1);
  if (v >= 758) {
    AddMember4(&m_bVarSet, 1);
    AddMember4(&m_nVarIndex, 1);
    AddMember4(&m_nVarValue, 1);
  }
  AddMember4(&m_nStageNo, 1);
  AddMember4(&m_nSequenceNo, 1);
  AddMember4(&m_nLivesAtStart, 1);
  AddMember4(&m_nLives, 1);
  AddMember4(&m_nStageScore, 1);
  AddMember4(&m_nResultScore, 1);
  AddMember4(&m_nWorldTotal, 1);
  AddMember4(&m_nResultTime, 1);
  AddMember4(&m_nResultClearTime, 1);
  if (v >= 182) {
    AddMember4(&m_nResultHp, 1);
    AddMember4(&m_nResultSp, 1);
  }
  AddMember4(&m_bSequence, 1);
  AddMember4(&m_nBgm, 1);
  if (v >= 166) AddMember4(&m_bBgmLoop, 1);
  if (v >= 194) AddMember4(&m_nMapDir, 1);
  if (v >= 190) AddMember4(&m_bMapReturn, 1);
  if (v >= 191) {
    AddMember4(&m_nMapMenuX, 1);
    AddMember4(&m_nMapMenuY, 1);
  }
  AddMember4(&m_nChallengeOpen, 1);
  AddMember4(&m_nSlot, 1);
  if (v >= 169) AddMember4(&m_bAutoSave, 1);
  AddMember4(&m_bRankingPanel, 1);
  AddMember4(&m_nRankingKind, 1);
  if (v >= 678) {
    AddMember4(&m_bNextStart, 1);
    AddMember4(&m_nNextStartX, 1);
    AddMember4(&m_nNextStartY, 1);
  }
  if (v >= 679) AddMember4(&m_nNextStartDir, 1);

  AddString(&m_strStageName);
  if (v >= 724) AddString(&m_strPlayName);
  AddString(&m_strRankingName);
}

void cSaveData::Reset(int challengeCount) {
  Clear();
  m_CarryMarks.assign(CARRY_KIND_COUNT, 0);
  m_Status.assign(1, cStatusData());
  m_WorldFlags.assign(WORLD_FLAG_COUNT, 0);
  m_WorldFlags.At(0) = 1;
  m_CommonVars.assign(COMMON_VAR_COUNT, 0);
  m_StageResults.clear();
  // A damaged System.dat may hold a negative count.
  m_ChallengeResults.assign(static_cast<size_t>(std::max(challengeCount, 0)), cIntPair());
  m_nChallengeOpen = 1;
  m_nSlot = -1;
  m_strRankingName = "aaa";
  m_pMapEntry = nullptr;
}

int cSaveData::Load(FILE* fp) {
  const int v = g_nFileVersion;
  bool ok = cRecord::Load(fp) != 0;
  // Whatever the file held in the slot, it cannot name an entry of this run's world map.
  std::memset(m_MapEntrySlot, 0, sizeof m_MapEntrySlot);
  m_pMapEntry = nullptr;
  ok = ok && ReadData(fp, &m_SaveTime, sizeof m_SaveTime);
  if (v >= 501) ok = ok && LoadIntList(fp, m_CarryMarks);
  ok = ok && LoadRecordList(fp, m_Status);
  ok = ok && LoadRecordList(fp, m_StageResults);
  ok = ok && LoadRecordList(fp, m_ChallengeResults);
  ok = ok && LoadIntList(fp, m_WorldFlags);
  ok = ok && LoadIntList(fp, m_CommonVars);
  if (v < DATA_VERSION) Upgrade(v);
  Normalize();
  return ok ? 1 : 0;
}

void cSaveData::Upgrade(int v) {
  if (v < 166) m_bBgmLoop = 1;
  if (v < 169) m_bAutoSave = 0;
  if (v < 182) m_nResultHp = m_nResultSp = 0;
  if (v < 190) m_bMapReturn = 0;
  if (v < 191) m_nMapMenuX = m_nMapMenuY = 0;
  if (v < 194) m_nMapDir = 0;
  if (v < 501) m_CarryMarks.assign(CARRY_KIND_COUNT, 1);
  if (v < 754) {
    // These saves knew variables 0..999 only; Normalize gives variable 1000 back, as 0.
    m_CommonVars.resize(OLD_COMMON_VAR_COUNT, 0);
    m_VarBackup.resize(OLD_COMMON_VAR_COUNT, 0);
  }
  if (v < 804) m_WorldFlags.At(0) = 1;
}

void cSaveData::Save(FILE* fp) {
  Normalize();
  std::memset(m_MapEntrySlot, 0, sizeof m_MapEntrySlot);
  cRecord::Save(fp);
  WriteData(fp, &m_SaveTime, sizeof m_SaveTime);
  SaveIntList(fp, m_CarryMarks);
  SaveRecordVector(m_Status, fp);
  SaveRecordVector(m_StageResults, fp);
  SaveRecordVector(m_ChallengeResults, fp);
  SaveIntList(fp, m_WorldFlags);
  SaveIntList(fp, m_CommonVars);
}

void cSaveData::Normalize() {
  // Unsigned comparisons: a negative position is outside the map as well.
  if (static_cast<uint32_t>(m_nMapX) >= static_cast<uint32_t>(g_WorldMap.m_nWidth)) m_nMapX = g_WorldMap.m_nStartX;
  if (static_cast<uint32_t>(m_nMapY) >= static_cast<uint32_t>(g_WorldMap.m_nHeight)) m_nMapY = g_WorldMap.m_nStartY;
  const int32_t challengeCount = std::max(g_SystemData.m_nChallengeCount, 0);
  m_ChallengeResults.resize(static_cast<size_t>(challengeCount));
  if (m_nChallengeOpen > challengeCount) m_nChallengeOpen = challengeCount;
  // Player 0's status, every carry-over mark, world flag and variable is indexed without a
  // further check, whatever an old or damaged file held.
  if (m_Status.empty()) m_Status.resize(1);
  PadTo(m_CarryMarks, CARRY_KIND_COUNT);
  PadTo(m_WorldFlags, WORLD_FLAG_COUNT);
  PadTo(m_CommonVars, COMMON_VAR_COUNT);
}

void cSaveData::SetStageFile(const char* fileName, int varSet, int varIndex, int varValue) {
  std::string name = fileName ? fileName : "";
  m_bVarSet = varSet;
  m_nVarIndex = varIndex;
  m_nVarValue = varValue;
  m_bSequence = StageResultName(name);
  m_strStageName = name;
  m_strPlayName = m_strStageName;
  if (m_bVarSet) AppendStageSuffix(m_strPlayName, 1, m_nVarIndex, m_nVarValue);
}

void AppendStageSuffix(std::string& name, int varSet, int varIndex, int varValue) {
  if (!varSet) return;
  bool dot = !name.empty() && name.back() == '.';
  if (dot) name.pop_back();
  std::string index;
  FormatNumber(index, varIndex, 3, true, false);
  name += "_c" + index + "_" + std::to_string(varValue);
  if (dot) name += '.';
}
