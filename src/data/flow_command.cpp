#include "data/flow_command.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "data/data_refs.h"
#include "data/flow.h"
#include "data/flow_kinds.h"

namespace {
// Member and string counts, then the move, shot, flow and parameter counts.
constexpr size_t MIN_COMMAND_BYTES = 24;
constexpr int32_t SWORD_TIME_MAX = 9999;

// Reads the int32 presence flag of an optional record and loads the record when it is 1.
template <class T>
int LoadOptional(boost::shared_ptr<T>& pRecord, FILE* fp, void (*make)(boost::shared_ptr<T>&)) {
  int32_t flag = 0;
  if (!ReadInt32(fp, &flag)) return 0;
  if (flag == 0) {
    pRecord.reset();
    return 1;
  }
  if (flag != 1) {
    FailDataRead(fp, "フラグが不正です");
    return 0;
  }
  if (!pRecord) make(pRecord);
  return pRecord->Load(fp);
}

template <class T>
void SaveOptional(const boost::shared_ptr<T>& pRecord, FILE* fp) {
  WriteInt32(fp, pRecord ? 1 : 0);
  if (pRecord) pRecord->Save(fp);
}

template <class T>
boost::shared_ptr<T> Clone(const boost::shared_ptr<T>& pRecord) {
  return pRecord ? boost::shared_ptr<T>(new T(*pRecord)) : boost::shared_ptr<T>();
}

// Unsigned comparison: a negative index is outside the list too.
bool IsOutsideCount(int32_t index, int count) {
  return static_cast<uint32_t>(index) >= static_cast<uint32_t>(count < 0 ? 0 : count);
}
}  // namespace

cFlowCommand::cFlowCommand() {
  Register(DATA_VERSION);
  Clear();
}

cFlowCommand::cFlowCommand(const cFlowCommand& src) : cRecord(src) { CopyFrom(src); }

cFlowCommand& cFlowCommand::operator=(const cFlowCommand& src) {
  if (this != &src) {
    cRecord::operator=(src);
    CopyFrom(src);
  }
  return *this;
}

cFlowCommand::~cFlowCommand() = default;

void cFlowCommand::CopyFrom(const cFlowCommand& src) {
  m_cCategory = src.m_cCategory;
  m_cKind = src.m_cKind;
  m_Params = src.m_Params;
  m_strText = src.m_strText;
  m_sTime = src.m_sTime;
  m_sTimePerClone = src.m_sTimePerClone;
  m_cParallel = src.m_cParallel;
  m_sSound = src.m_sSound;
  m_cSoundOnScreen = src.m_cSoundOnScreen;
  m_sAnime = src.m_sAnime;
  m_pMove = Clone(src.m_pMove);
  m_pShot = Clone(src.m_pShot);
  m_pConds = Clone(src.m_pConds);
  m_Flows = src.m_Flows;
}

void cFlowCommand::Register(int) {
  ClearMemberTables();
  AddMember1(&m_cCategory, 1);
  AddMember1(&m_cKind, 1);
  AddMember2(&m_sTime, 1);
  AddMember2(&m_sTimePerClone, 1);
  AddMember1(&m_cParallel, 1);
  AddMember2(&m_sSound, 1);
  AddMember1(&m_cSoundOnScreen, 1);
  AddMember2(&m_sAnime, 1);
  AddString(&m_strText);
}

void cFlowCommand::Clear() {
  m_pMove.reset();
  m_pShot.reset();
  m_pConds.reset();
  cRecord::Clear();
  m_cSoundOnScreen = 1;
}

int cFlowCommand::GetFlowKind() const {
  if (m_cCategory == CMDCAT_FLOW) return m_cKind;
  if (m_cCategory == CMDCAT_ITEM && m_cKind >= 2) return m_cKind + ITEMCMD_KIND_OFFSET;
  return -1;
}

int cFlowCommand::LoadParts(FILE* fp) {
  if (!cRecord::Load(fp)) return 0;
  if (!LoadOptional(m_pMove, fp, MakeEdMove)) return 0;
  if (!LoadOptional(m_pShot, fp, MakeEdShot)) return 0;
  if (g_nFileVersion >= 764 && !LoadOptional(m_pConds, fp, MakeCondList)) return 0;
  if (!LoadFlowVector(m_Flows, fp)) return 0;
  int32_t m = 0;
  if (!ReadCount(fp, &m, sizeof(int32_t))) return 0;
  if (m > 0) {
    m_Params.assign(static_cast<size_t>(m), 0);
    if (!ReadData(fp, m_Params.data(), m_Params.size() * sizeof(int32_t))) return 0;
  }
  return 1;
}

int cFlowCommand::Load(FILE* fp) {
  int ok = LoadParts(fp);
  if (g_nFileVersion < DATA_VERSION) Upgrade(g_nFileVersion);
  if (!KeepTestPlayFlows()) RemoveTestPlayFlows(m_Flows);
  Validate();
  return ok;
}

void cFlowCommand::Save(FILE* fp) {
  Validate();
  cRecord::Save(fp);
  SaveOptional(m_pMove, fp);
  SaveOptional(m_pShot, fp);
  SaveOptional(m_pConds, fp);
  SaveFlowVector(m_Flows, fp);
  WriteInt32(fp, static_cast<int32_t>(m_Params.size()));
  WriteData(fp, m_Params.data(), m_Params.size() * sizeof(int32_t));
}

void cFlowCommand::Validate() {
  if (IsOutsideDatabase(DBLIST_ANIME, m_sAnime)) m_sAnime = 0;
  if (IsOutsideDatabase(DBLIST_SOUND, m_sSound)) m_sSound = 0;

  // An unknown kind keeps its parameters: nothing says how many it has.
  int count = GetCmdParamCount(m_cCategory, m_cKind);
  if (count >= 0) m_Params.resize(static_cast<size_t>(count), 0);

  auto checkParam0 = [this](int list, int32_t reset) {
    if (!m_Params.empty() && IsOutsideDatabase(list, m_Params.At(0))) m_Params.At(0) = reset;
  };
  switch (GetFlowKind()) {
    case CMD_SWORD: {
      const cDataRefs* refs = GetDataRefs();
      if (!m_pShot || !refs) break;
      if (IsOutsideDatabase(DBLIST_SWORDTYPE, m_pShot->m_cMoveType)) m_pShot->m_cMoveType = 0;
      // The sword lasts as long as its entries together; summed wide so huge durations cannot wrap.
      int64_t total = 0;
      int type = m_pShot->m_cMoveType;
      int entries = refs->GetSwordEntryCount(type);
      for (int i = 0; i < entries; ++i) {
        total = std::min<int64_t>(total + refs->GetSwordEntryDuration(type, i), SWORD_TIME_MAX);
      }
      // Negative durations come only from damaged files; they saturate rather than wrap.
      m_sTime = static_cast<int16_t>(std::max<int64_t>(total, std::numeric_limits<int16_t>::min()));
      break;
    }
    case CMD_CHANGE_GRAPHIC:
      if (m_Params.size() >= 2 && m_Params.At(0) == 4 && IsOutsideDatabase(DBLIST_CHARAEXC, m_Params.At(1)))
        m_Params.At(1) = 1;
      break;
    case CMD_CHANGE_ANIMESET: checkParam0(DBLIST_ANIMESET, 0); break;
    case CMD_PLAY_ANIME: checkParam0(DBLIST_ANIME, 1); break;
    case CMD_EFFECT: checkParam0(DBLIST_EFFECT, 1); break;
    case CMD_CHARA_EFFECT: checkParam0(DBLIST_CHARAEFFECT, 1); break;
    case CMD_SCREEN_EFFECT: checkParam0(DBLIST_SCREFFECT, 1); break;
    case CMD_PICTURE: checkParam0(DBLIST_PICTURE, 1); break;
    case CMD_SOUND: checkParam0(DBLIST_SOUND, 1); break;
    case CMD_BGM: checkParam0(DBLIST_BGM, 1); break;
    default: break;
  }

  for (cFlow& flow : m_Flows) flow.Validate();
}

void cFlowCommand::ValidatePaletteRefs() {
  const cDataRefs* refs = GetDataRefs();
  if (refs) {
    // A palette that is not loaded (count -1) is not checked.
    auto outside = [refs](int palette, int list, int32_t index) {
      int count = refs->GetPaletteCount(palette, list);
      return count >= 0 && IsOutsideCount(index, count);
    };
    int kind = GetFlowKind();
    if ((kind == CMD_SHOT || kind == CMD_SWORD) && m_pShot) {
      int palette = m_pShot->m_cItemKind == 1 ? PALETTE_COMMON : m_pShot->m_cItemKind == 2 ? PALETTE_STAGE : -1;
      if (palette >= 0 && outside(palette, PALLIST_ITEM, m_pShot->m_sItem)) {
        m_pShot->m_cItemKind = 0;
        m_pShot->m_sItem = 0;
      }
    } else if (kind >= CMD_SUMMON_BLOCK && kind <= CMD_SUMMON_ITEM && m_pShot) {
      int list = kind == CMD_SUMMON_BLOCK ? PALLIST_BLOCK : kind == CMD_SUMMON_CHARA ? PALLIST_CHARA : PALLIST_ITEM;
      int8_t palette = m_pShot->m_cSummonPalette;
      if ((palette == PALETTE_COMMON || palette == PALETTE_STAGE) && outside(palette, list, m_pShot->m_sSummonIndex))
        m_pShot->m_sSummonIndex = 1;
    } else if (kind == CMD_GET_ITEM && m_Params.size() >= 2) {
      int32_t palette = m_Params.At(0);
      if ((palette == PALETTE_COMMON || palette == PALETTE_STAGE) && outside(palette, PALLIST_ITEM, m_Params.At(1)))
        m_Params.At(1) = 1;
    }
  }
  for (cFlow& flow : m_Flows) flow.ValidatePaletteRefs();
}

int LoadFlowCommandVector(cSafeVector<cFlowCommand>& cmds, FILE* fp) {
  return LoadRecordVector(cmds, fp, cFlowCommand(), MIN_COMMAND_BYTES);
}

void SaveFlowCommandVector(cSafeVector<cFlowCommand>& cmds, FILE* fp) { SaveRecordVector(cmds, fp); }
