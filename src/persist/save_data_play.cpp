// What the scenes do with the save data during play: stage results, the stage-start backup of
// the variables, the status carried into the next stage, laps and the ranking kind shown.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "data/stage_file.h"
#include "data/world_map.h"
#include "persist/save_data.h"
#include "persist/system_data.h"

namespace {

// Totals of a damaged save must not overflow; they stop at the int32 limits.
int32_t SaturatedAdd(int32_t a, int64_t b) {
  int64_t sum = int64_t{a} + b;
  sum = std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
  return static_cast<int32_t>(sum);
}

// A byte list of System.dat that is shorter than the kinds counts its missing entries as 0.
bool IsFlagSet(const cSafeVector<BYTE>& flags, int k) {
  return k >= 0 && static_cast<size_t>(k) < flags.size() && flags[static_cast<size_t>(k)] != 0;
}

// Copies the definition values of one carry-over kind (kinds 11, 12 and 22 to 24 are no
// definition values and copy nothing).
void CopyCarriedDef(int k, const cCharaDef& from, cCharaDef& to) {
  switch (k) {
    case CARRY_GRAPHIC:
      to.m_sGraphicNo = from.m_sGraphicNo;
      to.m_cGraphicKind = from.m_cGraphicKind;
      to.m_sGraphicOffset = from.m_sGraphicOffset;
      break;
    case CARRY_ANIMESET: to.m_sAnimeSet = from.m_sAnimeSet; break;
    case CARRY_ZORDER: to.m_cZOrder = from.m_cZOrder; break;
    case CARRY_TRANSPARENT: to.m_cTransparent = from.m_cTransparent; break;
    case CARRY_CHARA_EFFECT:
      to.m_sAppearEffect = from.m_sAppearEffect;
      to.m_cAppearEffectRun = from.m_cAppearEffectRun;
      to.m_cAppearEffectLoop = from.m_cAppearEffectLoop;
      break;
    case CARRY_FIXED_FACING: to.m_cFixedFacing = from.m_cFixedFacing; break;
    case CARRY_FLIGHT: to.m_cFlight = from.m_cFlight; break;
    case CARRY_INVINCIBLE: to.m_cInvincible = from.m_cInvincible; break;
    case CARRY_SIZE: to.m_cSize = from.m_cSize; break;
    case CARRY_SCROLL_SYNC: to.m_cScrollSync = from.m_cScrollSync; break;
    case CARRY_SIGHT:
      to.m_cSightShape = from.m_cSightShape;
      to.m_cSightRange = from.m_cSightRange;
      break;
    case CARRY_MAX_HP: to.m_nMaxHp = from.m_nMaxHp; break;
    case CARRY_MAX_SP: to.m_nMaxSp = from.m_nMaxSp; break;
    case CARRY_BODY_BOX: to.m_cBodyBox = from.m_cBodyBox; break;
    case CARRY_BODY_POWER: to.m_nBodyPower = from.m_nBodyPower; break;
    case CARRY_BODY_IMPACT: to.m_cBodyImpact = from.m_cBodyImpact; break;
    case CARRY_DEFENCE: to.m_nDefence = from.m_nDefence; break;
    case CARRY_IMPACT_RESIST: to.m_cImpactResist = from.m_cImpactResist; break;
    case CARRY_STOPPING: to.m_sStopping = from.m_sStopping; break;
    case CARRY_FLOWS: to.m_Flows = from.m_Flows; break;
    default: break;
  }
}

}  // namespace

void cSaveData::AddStageResult(const std::string& stage, const std::string& key, int varSet, int varIndex, int varValue,
                               int score) {
  for (cStageResult& result : m_StageResults) {
    if (result.m_strResultKey != key) continue;
    if (result.m_nBest < score) {
      m_nWorldTotal = SaturatedAdd(m_nWorldTotal, int64_t{score} - result.m_nBest);
      result.m_nBest = score;
    }
    return;
  }
  cStageResult result;
  result.Set(score, stage, key, varSet, varIndex, varValue);
  m_StageResults.push_back(result);
  m_nWorldTotal = SaturatedAdd(m_nWorldTotal, score);
}

int cSaveData::GetStageResult(const std::string& key) const {
  for (const cStageResult& result : m_StageResults) {
    if (result.m_strResultKey == key) return result.m_nBest;
  }
  return 0;
}

void cSaveData::CalcTotal() {
  int32_t total = 0;
  for (const cStageResult& result : m_StageResults) {
    if (g_WorldMap.HasStage(result.m_strStage.c_str(), result.m_bVarSet, result.m_nVarIndex, result.m_nVarValue)) {
      total = SaturatedAdd(total, result.m_nBest);
    }
  }
  m_nWorldTotal = total;
}

void cSaveData::BackupVariables() {
  m_VarBackup = m_CommonVars;
  m_nLivesBackup = m_nLives;
  m_nResultScoreBackup = m_nResultScore;
}

int cSaveData::RestoreVariables(int full, int gameMode) {
  bool restoreVars = true;
  if (!full) {
    if (g_bFreeStageStart) {
      restoreVars = g_SystemData.m_bRestoreVarsDirect != 0;
    } else if (gameMode == GAME_MODE_STORY) {
      restoreVars = g_SystemData.m_bRestoreVarsStory != 0;
    } else if (gameMode == GAME_MODE_CHALLENGE) {
      restoreVars = g_SystemData.m_bRestoreVarsChallenge != 0;
    } else if (gameMode == GAME_MODE_FREE) {
      restoreVars = g_SystemData.m_bRestoreVarsFree != 0;
    }
  }
  if (restoreVars) {
    m_CommonVars = m_VarBackup;
    // A backup taken from an old save (or none yet) is shorter; variable 1000 must stay readable.
    if (m_CommonVars.size() < COMMON_VAR_COUNT) m_CommonVars.resize(COMMON_VAR_COUNT, 0);
  }
  m_nResultScore = m_nResultScoreBackup;
  if (full) m_nLives = m_nLivesBackup;
  return m_nResultScore;
}

void cSaveData::StoreStatus(int player, const cCharaDef& def, int hp, int sp, int16_t effect, int effectRun,
                            uint8_t effectLoop, int time, int lives, int bgm) {
  m_bStatusStored = 1;
  cStatusData& r = m_Status.At(player);
  for (int k = 0; k < CARRY_KIND_COUNT; ++k) {
    if (!IsFlagSet(g_SystemData.m_CarryFlags, k)) continue;
    switch (k) {
      case CARRY_CHARA_EFFECT:
        // The effect running on the player, not the one its definition starts with.
        r.m_Def.m_sAppearEffect = effect;
        r.m_Def.m_cAppearEffectRun = static_cast<int8_t>(effectRun);
        r.m_Def.m_cAppearEffectLoop = static_cast<int8_t>(effectLoop);
        break;
      case CARRY_HP: r.m_nHp = hp; break;
      case CARRY_SP: r.m_nSp = sp; break;
      case CARRY_TIME: r.m_nTime = time; break;
      case CARRY_LIVES: r.m_nCarryLives = lives; break;
      case CARRY_BGM: r.m_nCarryBgm = bgm; break;
      default: CopyCarriedDef(k, def, r.m_Def); break;
    }
    m_CarryMarks.At(k) = 1;
  }
}

void cSaveData::RestoreStatus(int player, cCharaDef& def) {
  if (!m_bStatusStored) return;
  const cStatusData& r = m_Status.At(player);
  for (int k = 0; k < CARRY_KIND_COUNT; ++k) {
    if (k == CARRY_HP || k == CARRY_SP) continue;
    if (!IsFlagSet(g_SystemData.m_CarryFlags, k) || !m_CarryMarks.At(k)) continue;
    switch (k) {
      case CARRY_TIME: g_Stage.m_nTimeLimit = r.m_nTime; break;
      case CARRY_LIVES: m_nLives = r.m_nCarryLives; break;
      case CARRY_BGM: g_Stage.m_nBgm = r.m_nCarryBgm; break;
      default:
        CopyCarriedDef(k, r.m_Def, def);
        if (k == CARRY_GRAPHIC && def.m_sGraphicNo == 0) def.m_sGraphicNo = 1;
        break;
    }
  }
}

void cSaveData::RestoreStatusValues(int player, int* hp, int* sp) {
  if (!m_bStatusStored) return;
  const cStatusData& r = m_Status.At(player);
  if (hp && IsFlagSet(g_SystemData.m_CarryFlags, CARRY_HP) && m_CarryMarks.At(CARRY_HP)) *hp = r.m_nHp;
  if (sp && IsFlagSet(g_SystemData.m_CarryFlags, CARRY_SP) && m_CarryMarks.At(CARRY_SP)) *sp = r.m_nSp;
}

void cSaveData::ClearCarryFlags() {
  const cSafeVector<BYTE>& resets = g_SystemData.m_CarryResetFlags;
  for (int i = 0; i < static_cast<int>(resets.size()); ++i) {
    if (resets.At(i)) m_CarryMarks.At(i) = 0;
  }
}

void cSaveData::NextLap() {
  // A lap count from a damaged save stops at the limit instead of overflowing.
  if (m_nLap < std::numeric_limits<int32_t>::max()) ++m_nLap;
  m_WorldFlags.Fill(0);
  m_WorldFlags.At(0) = 1;
  m_nMapX = g_WorldMap.m_nStartX;
  m_nMapY = g_WorldMap.m_nStartY;
}

void cSaveData::NextRankingKind(int gameMode, int step) {
  const cSafeVector<BYTE>& kinds = g_SystemData.m_RankingRules.At(gameMode).m_Kinds;
  constexpr int KIND_LAST = 4;
  bool any = false;
  for (int k = 0; k <= KIND_LAST; ++k) any = any || IsFlagSet(kinds, k);
  if (!any) return;
  // One move wraps within 0..4; a stored kind outside that range (even at the int32 limits)
  // wraps on its first move.
  auto move = [this](int direction) {
    const int64_t next = int64_t{m_nRankingKind} + direction;
    m_nRankingKind = next < 0 ? KIND_LAST : next > KIND_LAST ? 0 : static_cast<int32_t>(next);
  };
  const int direction = step < 0 ? -1 : 1;
  const int64_t moves = step < 0 ? -int64_t{step} : int64_t{step};
  for (int64_t i = 0; i < moves; ++i) {
    do {
      move(direction);
    } while (!IsFlagSet(kinds, m_nRankingKind));
  }
  while (!IsFlagSet(kinds, m_nRankingKind)) move(1);
}

void cSaveData::ClearResults() {
  m_nResultScore = 0;
  m_nResultTime = 0;
  m_nResultClearTime = 0;
  m_nResultHp = 0;
  m_nResultSp = 0;
}
