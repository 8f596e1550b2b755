// The player's progress: world-map position and flags, common variables, lives, score and the
// five ranking values of the play in progress, the best result of every story stage, the result
// of every challenge stage, the status carried from one stage into the next, and the bookkeeping
// of story slots and rankings. The same record is a story slot, the challenge record and the
// save data inside every replay file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/safe_containers.h"
#include "data/chara_def.h"
#include "data/record.h"
#include "persist/system_data.h"
#include "platform/win_types.h"

class cWorldMapStage;

// Lives value that never runs out.
constexpr int32_t LIVES_INFINITE = 999999;
constexpr int WORLD_FLAG_COUNT = 1000;
// Variables 0..1000.
constexpr int COMMON_VAR_COUNT = 1001;
// Older saves kept one variable fewer.
constexpr int OLD_COMMON_VAR_COUNT = 1000;

// Carry-over kinds: what a finished stage hands to the next one.
enum : int {
  CARRY_GRAPHIC = 0,
  CARRY_ANIMESET,
  CARRY_ZORDER,
  CARRY_TRANSPARENT,
  CARRY_CHARA_EFFECT,
  CARRY_FIXED_FACING,
  CARRY_FLIGHT,
  CARRY_INVINCIBLE,
  CARRY_SIZE,
  CARRY_SCROLL_SYNC,
  CARRY_SIGHT,
  CARRY_HP,
  CARRY_SP,
  CARRY_MAX_HP,
  CARRY_MAX_SP,
  CARRY_BODY_BOX,
  CARRY_BODY_POWER,
  CARRY_BODY_IMPACT,
  CARRY_DEFENCE,
  CARRY_IMPACT_RESIST,
  CARRY_STOPPING,
  CARRY_FLOWS,
  CARRY_TIME,
  CARRY_LIVES,
  CARRY_BGM
};
static_assert(CARRY_BGM + 1 == CARRY_KIND_COUNT);

// Set when the stage was started directly at start-up (System.ini's FreeStage or the editor's
// test play).
extern int32_t g_bFreeStageStart;

// The status of one player character kept for the next stage.
class cStatusData : public cRecord {
 public:
  cStatusData();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

  cCharaDef m_Def;
  // Registered, in file order.
  int32_t m_nHp = 0;
  int32_t m_nSp = 0;
  int32_t m_nTime = 0;
  int32_t m_nCarryLives = 0;
  int32_t m_nCarryBgm = 0;
};

// The best result of one cleared story stage.
class cStageResult : public cRecord {
 public:
  cStageResult();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Set(int32_t best, const std::string& stage, const std::string& key, int32_t varSet, int32_t varIndex,
           int32_t varValue);

  std::string m_strStage;
  std::string m_strResultKey;
  int32_t m_bVarSet = 0;
  int32_t m_nVarIndex = 0;
  int32_t m_nVarValue = 0;
  int32_t m_nBest = 0;
};

// The result of one challenge stage.
class cIntPair : public cRecord {
 public:
  cIntPair();

  void Register(int nVersion) override;

  int32_t m_bCleared = 0;
  int32_t m_nBest = 0;
};

class cSaveData : public cRecord {
 public:
  cSaveData();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

  void Reset(int challengeCount);
  // Brings every list to the length the game indexes and the walker onto the world map.
  void Normalize();

  void SetStageFile(const char* fileName, int varSet, int varIndex, int varValue);

  void AddStageResult(const std::string& stage, const std::string& key, int varSet, int varIndex, int varValue,
                      int score);
  int GetStageResult(const std::string& key) const;
  void CalcTotal();

  void BackupVariables();
  // `gameMode` is the game object's mode, which chooses the restore option of a partial restore.
  int RestoreVariables(int full, int gameMode);

  void StoreStatus(int player, const cCharaDef& def, int hp, int sp, int16_t effect, int effectRun, uint8_t effectLoop,
                   int time, int lives, int bgm);
  void RestoreStatus(int player, cCharaDef& def);
  void RestoreStatusValues(int player, int* hp, int* sp);
  void ClearCarryFlags();

  void NextLap();
  void NextRankingKind(int gameMode, int step);
  void ClearResults();

  // Story slots and the challenge record (story_slots.cpp). SaveSlot and SaveChallenge return 1
  // when the file was written; the load functions leave the record as it was on failure.
  int SaveSlot(int slot);
  int LoadSlot(int slot);
  int LoadChallenge();
  int SaveChallenge();

  // Checked access to the common variables and world flags.
  int32_t& CommonVar(int index) { return m_CommonVars.At(index); }
  int32_t& WorldFlag(int index) { return m_WorldFlags.At(index); }

  // Registered, in file order.
  int32_t m_bStatusStored = 0;
  int32_t m_nMapX = 0;
  int32_t m_nMapY = 0;
  // The stored slot of the world-map entry reference: four bytes without meaning, written as 0.
  BYTE m_MapEntrySlot[4] = {};
  int32_t m_nLap = 0;
  int32_t m_bVarSet = 0;
  int32_t m_nVarIndex = 0;
  int32_t m_nVarValue = 0;
  int32_t m_nStageNo = 0;
  int32_t m_nSequenceNo = 0;
  int32_t m_nLivesAtStart = 0;
  int32_t m_nLives = 0;
  int32_t m_nStageScore = 0;
  int32_t m_nResultScore = 0;
  int32_t m_nWorldTotal = 0;
  int32_t m_nResultTime = 0;
  int32_t m_nResultClearTime = 0;
  int32_t m_nResultHp = 0;
  int32_t m_nResultSp = 0;
  int32_t m_bSequence = 0;
  int32_t m_nBgm = 0;
  int32_t m_bBgmLoop = 0;
  int32_t m_nMapDir = 0;
  int32_t m_bMapReturn = 0;
  int32_t m_nMapMenuX = 0;
  int32_t m_nMapMenuY = 0;
  int32_t m_nChallengeOpen = 0;
  int32_t m_nSlot = 0;
  int32_t m_bAutoSave = 0;
  int32_t m_bRankingPanel = 0;
  int32_t m_nRankingKind = 0;
  int32_t m_bNextStart = 0;
  int32_t m_nNextStartX = 0;
  int32_t m_nNextStartY = 0;
  int32_t m_nNextStartDir = 0;
  std::string m_strStageName;
  std::string m_strPlayName;
  std::string m_strRankingName;

  SYSTEMTIME m_SaveTime;
  cSafeVector<int32_t> m_CarryMarks;
  cSafeVector<cStatusData> m_Status;
  cSafeVector<cStageResult> m_StageResults;
  cSafeVector<cIntPair> m_ChallengeResults;
  cSafeVector<int32_t> m_WorldFlags;
  cSafeVector<int32_t> m_CommonVars;

  // Not stored.
  // The world-map entry the current story stage was started from; set by the world map before
  // every story stage, null after a load.
  cWorldMapStage* m_pMapEntry = nullptr;
  cSafeVector<int32_t> m_VarBackup;
  int32_t m_nLivesBackup = 0;
  int32_t m_nResultScoreBackup = 0;

 private:
  void Upgrade(int v);
};

// The variable suffix of stage names: "_c" + index (three digits at least) + "_" + value, put
// before a final ".". Nothing when varSet is 0.
void AppendStageSuffix(std::string& name, int varSet, int varIndex, int varValue);

extern cSaveData g_SaveData;
extern cSaveData g_SaveDataStart;
extern cSaveData g_SaveDataPrev;
