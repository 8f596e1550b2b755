#include "persist/save_data.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "data/stage_file.h"
#include "data/world_map.h"
#include "persist/system_data.h"
#include "save_image.h"
#include "support/scoped_value.h"
#include "support/temp_dir.h"

namespace t4::test {
namespace {

class SaveDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_systemData = g_SystemData;
    m_worldMap = g_WorldMap;
  }
  void TearDown() override {
    g_SystemData = m_systemData;
    g_WorldMap = m_worldMap;
  }

  int Load(cSaveData& data, const std::string& bytes) {
    std::string path = m_dir.WriteFile("Story01.dat", bytes).string();
    return data.LoadFromFile(path.c_str());
  }
  std::string PathOf(const char* name) const { return (m_dir.Path() / name).string(); }

  TempDir m_dir;
  cSystemData m_systemData;
  cWorldMap m_worldMap;
  ScopedRestore<int32_t> m_freeStart{g_bFreeStageStart};
};

TEST_F(SaveDataTest, ResetGivesTheNewGameState) {
  cSaveData data;
  data.m_nLives = 5;
  data.m_StageResults.resize(3);
  data.m_nLivesBackup = 7;
  data.Reset(40);
  EXPECT_EQ(data.m_nLives, 0);
  EXPECT_EQ(data.m_CarryMarks, cSafeVector<int32_t>(25, 0));
  EXPECT_EQ(data.m_Status.size(), 1u);
  ASSERT_EQ(data.m_WorldFlags.size(), 1000u);
  EXPECT_EQ(data.m_WorldFlags[0], 1);
  EXPECT_EQ(data.m_CommonVars, cSafeVector<int32_t>(1001, 0));
  EXPECT_TRUE(data.m_StageResults.empty());
  EXPECT_EQ(data.m_ChallengeResults.size(), 40u);
  EXPECT_EQ(data.m_nChallengeOpen, 1);
  EXPECT_EQ(data.m_nSlot, -1);
  EXPECT_EQ(data.m_strRankingName, "aaa");
  EXPECT_EQ(data.m_nLivesBackup, 7);  // backups are not part of a new game
  data.Reset(-3);                     // a damaged System.dat count
  EXPECT_TRUE(data.m_ChallengeResults.empty());
}

TEST_F(SaveDataTest, SaveAndLoadKeepEveryStoredPart) {
  cSaveData data;
  data.Reset(40);
  data.m_nMapX = 3;
  data.m_nLives = 4;
  data.m_nNextStartDir = 2;
  data.m_SaveTime.wYear = 2024;
  data.m_SaveTime.wMinute = 59;
  data.SetStageFile("Castle-1.stg4", 1, 5, 2);
  data.m_strRankingName = "ＡＢ";
  data.m_CarryMarks.At(24) = 1;
  data.m_Status.At(0).m_nHp = 77;
  data.m_Status.At(0).m_Def.m_nMaxHp = 99;
  data.AddStageResult("Castle.", "Castle_c005_2.", 1, 5, 2, 300);
  data.m_ChallengeResults.At(39).m_nBest = 12;
  data.m_WorldFlags.At(999) = 1;
  data.m_CommonVars.At(1000) = -8;
  static int s_entry = 0;
  data.m_pMapEntry = reinterpret_cast<cWorldMapStage*>(&s_entry);
  data.m_MapEntrySlot[2] = 0x7F;
  ASSERT_EQ(data.SaveToFile(PathOf("a.dat").c_str()), 1);

  // The entry slot is the fifth stored value (after the header and the member count): written 0.
  std::string bytes = m_dir.ReadFile("a.dat");
  EXPECT_EQ(bytes.substr(20, 4), std::string(4, '\0'));

  cSaveData loaded;
  ASSERT_EQ(loaded.LoadFromFile(PathOf("a.dat").c_str()), 1);
  EXPECT_EQ(loaded.m_pMapEntry, nullptr);
  EXPECT_EQ(loaded.m_nMapX, 3);
  EXPECT_EQ(loaded.m_nLives, 4);
  EXPECT_EQ(loaded.m_nNextStartDir, 2);
  EXPECT_EQ(loaded.m_SaveTime.wYear, 2024);
  EXPECT_EQ(loaded.m_SaveTime.wMinute, 59);
  EXPECT_EQ(loaded.m_strStageName, "Castle.");
  EXPECT_EQ(loaded.m_strPlayName, "Castle_c005_2.");
  EXPECT_EQ(loaded.m_strRankingName, "ＡＢ");
  EXPECT_EQ(loaded.m_CarryMarks.At(24), 1);
  EXPECT_EQ(loaded.m_Status.At(0).m_nHp, 77);
  EXPECT_EQ(loaded.m_Status.At(0).m_Def.m_nMaxHp, 99);
  ASSERT_EQ(loaded.m_StageResults.size(), 1u);
  EXPECT_EQ(loaded.m_StageResults[0].m_nVarIndex, 5);
  EXPECT_EQ(loaded.GetStageResult("Castle_c005_2."), 300);
  EXPECT_EQ(loaded.m_ChallengeResults.At(39).m_nBest, 12);
  EXPECT_EQ(loaded.m_WorldFlags.At(999), 1);
  EXPECT_EQ(loaded.m_CommonVars.At(1000), -8);
  // A second save of the loaded record gives the same file.
  ASSERT_EQ(loaded.SaveToFile(PathOf("b.dat").c_str()), 1);
  EXPECT_EQ(m_dir.ReadFile("b.dat"), bytes);
}

TEST_F(SaveDataTest, CopiesTakenAtPlayStartAreIndependentWholeRecords) {
  cSaveData live, start, prev;
  live.m_nLives = 3;
  live.m_CommonVars.At(7) = 70;
  live.BackupVariables();
  start = live;
  prev = start;
  live.m_nLives = 1;
  live.m_CommonVars.At(7) = 0;
  EXPECT_EQ(start.m_nLives, 3);
  EXPECT_EQ(start.m_CommonVars.At(7), 70);
  EXPECT_EQ(start.m_nLivesBackup, 3);
  EXPECT_EQ(prev.m_VarBackup.At(7), 70);
  // The copy's member table points at the copy's own members.
  ASSERT_EQ(start.SaveToFile(PathOf("start.dat").c_str()), 1);
  cSaveData back;
  ASSERT_EQ(back.LoadFromFile(PathOf("start.dat").c_str()), 1);
  EXPECT_EQ(back.m_nLives, 3);
}

TEST_F(SaveDataTest, OlderVersionsAreBroughtUpToDate) {
  SaveImage v500;
  v500.nVersion = 500;
  v500.members = {{"Lives", 4}, {"RankingKind", 3}};
  v500.stageName = "Castle.";
  cSaveData data;
  ASSERT_EQ(Load(data, v500.File()), 1);
  EXPECT_EQ(data.m_nLives, 4);
  EXPECT_EQ(data.m_nRankingKind, 3);
  EXPECT_EQ(data.m_strStageName, "Castle.");
  EXPECT_EQ(data.m_CarryMarks, cSafeVector<int32_t>(25, 1));  // no marks stored: every kind marked

  SaveImage v753;
  v753.nVersion = 753;
  v753.commonVars.assign(1001, 5);
  ASSERT_EQ(Load(data, v753.File()), 1);
  // Cut to the old thousand variables, then variable 1000 comes back as 0 and stays readable.
  ASSERT_EQ(data.m_CommonVars.size(), 1001u);
  EXPECT_EQ(data.m_CommonVars[999], 5);
  EXPECT_EQ(data.CommonVar(1000), 0);

  SaveImage v803;
  v803.nVersion = 803;
  v803.members = {{"VarSet", 1}, {"VarIndex", 9}};
  v803.worldFlags[0] = 0;
  ASSERT_EQ(Load(data, v803.File()), 1);
  EXPECT_EQ(data.m_WorldFlags[0], 1);
  EXPECT_EQ(data.m_nVarIndex, 9);

  SaveImage v165;
  v165.nVersion = 165;
  ASSERT_EQ(Load(data, v165.File()), 1);
  EXPECT_EQ(data.m_bBgmLoop, 1);
}

TEST_F(SaveDataTest, MembersAnOldSaveLacksAreClearedEvenOverAnotherSave) {
  // A slot is loaded into the record that holds the game in progress, so every member the file
  // does not store must be reset, not left from the game before. The first version storing each:
  // auto-save 169, result HP/SP 182, map return 190, map menu cursor 191, map direction 194.
  struct Case {
    int32_t version;
    int32_t autoSave, resultHp, resultSp, mapReturn, menuX, menuY, mapDir;
  };
  const Case cases[] = {
      {168, 0, 0, 0, 0, 0, 0, 0},   {169, 1, 0, 0, 0, 0, 0, 0},   {181, 1, 0, 0, 0, 0, 0, 0},
      {182, 1, 11, 12, 0, 0, 0, 0}, {189, 1, 11, 12, 0, 0, 0, 0}, {190, 1, 11, 12, 1, 0, 0, 0},
      {191, 1, 11, 12, 1, 3, 4, 0}, {193, 1, 11, 12, 1, 3, 4, 0}, {194, 1, 11, 12, 1, 3, 4, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    SaveImage image;
    image.nVersion = c.version;
    image.members = {{"AutoSave", 1}, {"ResultHp", 11}, {"ResultSp", 12}, {"MapReturn", 1},
                     {"MapMenuX", 3}, {"MapMenuY", 4},  {"MapDir", 2}};
    cSaveData data;
    data.Reset(0);
    data.m_bAutoSave = 1;
    data.m_nResultHp = 91;
    data.m_nResultSp = 92;
    data.m_bMapReturn = 1;
    data.m_nMapMenuX = 93;
    data.m_nMapMenuY = 94;
    data.m_nMapDir = 1;
    ASSERT_EQ(Load(data, image.File()), 1);
    EXPECT_EQ(data.m_bAutoSave, c.autoSave);
    EXPECT_EQ(data.m_nResultHp, c.resultHp);
    EXPECT_EQ(data.m_nResultSp, c.resultSp);
    EXPECT_EQ(data.m_bMapReturn, c.mapReturn);
    EXPECT_EQ(data.m_nMapMenuX, c.menuX);
    EXPECT_EQ(data.m_nMapMenuY, c.menuY);
    EXPECT_EQ(data.m_nMapDir, c.mapDir);
  }
}

TEST_F(SaveDataTest, DamagedCountsAreHandledWithoutCrashOrUnboundedAllocation) {
  struct Case {
    const char* what;
    SaveImage image;
    int expectedLoad;
  };
  std::vector<Case> cases;
  {
    Case c{"negative record counts", {}, 1};
    c.image.nStatusCount = -5;
    c.image.nResultCount = INT_MIN;
    cases.push_back(c);
  }
  {
    Case c{"huge record count", {}, 0};
    c.image.nResultCount = 0x7FFFFFFF;
    cases.push_back(c);
  }
  {
    Case c{"short lists", {}, 1};
    c.image.marks = {1, 1};
    c.image.worldFlags = {0, 0, 0};
    c.image.commonVars = {4};
    cases.push_back(c);
  }
  {
    Case c{"walker outside the map", {}, 1};
    c.image.members = {{"MapX", -1}, {"MapY", 15}, {"ChallengeOpen", 999}};
    cases.push_back(c);
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    cSaveData data;
    EXPECT_EQ(Load(data, c.image.File()), c.expectedLoad);
    // Whatever the file held, every index the game uses without a check is there.
    EXPECT_EQ(data.m_Status.size(), 1u);
    EXPECT_GE(data.m_CarryMarks.size(), 25u);
    EXPECT_GE(data.m_WorldFlags.size(), 1000u);
    EXPECT_GE(data.m_CommonVars.size(), 1001u);
    EXPECT_EQ(data.m_ChallengeResults.size(), static_cast<size_t>(g_SystemData.m_nChallengeCount));
    EXPECT_LT(static_cast<uint32_t>(data.m_nMapX), static_cast<uint32_t>(g_WorldMap.m_nWidth));
    EXPECT_LT(static_cast<uint32_t>(data.m_nMapY), static_cast<uint32_t>(g_WorldMap.m_nHeight));
    EXPECT_LE(data.m_nChallengeOpen, g_SystemData.m_nChallengeCount);
  }
}

TEST_F(SaveDataTest, WalkerOutsideASmallerMapMovesToItsStart) {
  cSaveData data;
  data.m_nMapX = 15;
  data.m_nMapY = 4;
  ASSERT_EQ(g_WorldMap.SetSize(10, 10), 1);
  g_WorldMap.m_nStartX = 2;
  g_WorldMap.m_nStartY = 3;
  ASSERT_EQ(data.SaveToFile(PathOf("w.dat").c_str()), 1);
  EXPECT_EQ(data.m_nMapX, 2);  // on save
  EXPECT_EQ(data.m_nMapY, 4);
  data.m_nMapY = 12;
  data.Normalize();
  EXPECT_EQ(data.m_nMapY, 3);
}

TEST_F(SaveDataTest, StageFileNames) {
  struct Case {
    const char* file;
    int varSet, varIndex, varValue;
    const char* stageName;
    const char* playName;
    int32_t sequence;
  };
  const Case cases[] = {
      {"Castle-1.stg4", 0, 0, 0, "Castle.", "Castle.", 1},
      {"Castle-1.stg4", 1, 5, 2, "Castle.", "Castle_c005_2.", 1},
      {"Castle-12.stg4", 0, 0, 0, "Castle.", "Castle.", 1},
      {"Castle.stg4_003", 1, -5, 20, "Castle.", "Castle_c-005_20.", 0},
      {"NoDot", 0, 0, 0, "", "", 0},
      {nullptr, 0, 0, 0, "", "", 0},
      // A folder's "-1" or "." never cuts the name.
      {"data\\my-1st.dir\\Castle.stg4", 0, 0, 0, "data\\my-1st.dir\\Castle.", "data\\my-1st.dir\\Castle.", 0},
      {"data\\stg4\\c01-1.stg4", 0, 0, 0, "data\\stg4\\c01.", "data\\stg4\\c01.", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file ? c.file : "(null)");
    cSaveData data;
    data.SetStageFile(c.file, c.varSet, c.varIndex, c.varValue);
    EXPECT_EQ(data.m_strStageName, c.stageName);
    EXPECT_EQ(data.m_strPlayName, c.playName);
    EXPECT_EQ(data.m_bSequence, c.sequence);
  }
  std::string plain = "Castle";
  AppendStageSuffix(plain, 1, 5, 2);
  EXPECT_EQ(plain, "Castle_c005_2");
  AppendStageSuffix(plain, 0, 5, 2);
  EXPECT_EQ(plain, "Castle_c005_2");
}

TEST_F(SaveDataTest, StageResultsKeepTheBestAndTheTotal) {
  cSaveData data;
  data.AddStageResult("Castle.", "Castle.", 0, 0, 0, 300);
  data.AddStageResult("Castle.", "Castle.", 0, 0, 0, 200);
  EXPECT_EQ(data.GetStageResult("Castle."), 300);
  EXPECT_EQ(data.m_nWorldTotal, 300);
  data.AddStageResult("Castle.", "Castle.", 0, 0, 0, 500);
  EXPECT_EQ(data.m_nWorldTotal, 500);
  EXPECT_EQ(data.GetStageResult("castle."), 0);  // keys compare exactly
  data.AddStageResult("Tower.", "Tower.", 0, 0, 0, INT_MAX);
  EXPECT_EQ(data.m_nWorldTotal, INT_MAX);  // a damaged total stops at the limit
}

TEST_F(SaveDataTest, RestoreVariablesFollowsTheModeOptions) {
  g_SystemData.m_bRestoreVarsStory = 0;
  g_SystemData.m_bRestoreVarsFree = 1;
  g_SystemData.m_bRestoreVarsDirect = 0;
  struct Case {
    int full, mode;
    int32_t freeStart;
    int32_t varAfter, livesAfter;
  };
  const Case cases[] = {
      {1, GAME_MODE_STORY, 0, 10, 3},  {0, GAME_MODE_STORY, 0, 99, 1}, {0, GAME_MODE_FREE, 0, 10, 1},
      {0, GAME_MODE_REPLAY, 0, 10, 1}, {0, GAME_MODE_FREE, 1, 99, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.full << " " << c.mode << " " << c.freeStart);
    g_bFreeStageStart = c.freeStart;
    cSaveData data;
    data.m_nLives = 3;
    data.m_nResultScore = 100;
    data.m_CommonVars.At(1000) = 10;
    data.BackupVariables();
    data.m_nLives = 1;
    data.m_nResultScore = 150;
    data.m_CommonVars.At(1000) = 99;
    EXPECT_EQ(data.RestoreVariables(c.full, c.mode), 100);
    EXPECT_EQ(data.m_CommonVars.At(1000), c.varAfter);
    EXPECT_EQ(data.m_nLives, c.livesAfter);
  }
  // A backup from an old save (1000 variables) still leaves variable 1000 readable.
  cSaveData old;
  old.m_VarBackup.assign(1000, 4);
  old.RestoreVariables(1, GAME_MODE_STORY);
  EXPECT_EQ(old.CommonVar(1000), 0);
}

TEST_F(SaveDataTest, StatusCarriesOverAsMarkedAndResetsAfterADeath) {
  g_SystemData.m_CarryFlags.assign(25, 0);
  for (int k : {CARRY_GRAPHIC, CARRY_CHARA_EFFECT, CARRY_HP, CARRY_MAX_HP, CARRY_TIME, CARRY_LIVES, CARRY_BGM}) {
    g_SystemData.m_CarryFlags.At(k) = 1;
  }
  g_SystemData.m_CarryResetFlags.assign(25, 0);
  g_SystemData.m_CarryResetFlags.At(CARRY_HP) = 1;
  g_SystemData.m_CarryResetFlags.At(CARRY_MAX_HP) = 1;

  cSaveData data;
  cCharaDef def;
  def.m_sGraphicNo = 0;
  def.m_nMaxHp = 40;
  def.m_nMaxSp = 30;  // not carried
  data.StoreStatus(0, def, 25, 5, 7, 2, 1, 900, 4, 12);
  EXPECT_EQ(data.m_CarryMarks.At(CARRY_HP), 1);
  EXPECT_EQ(data.m_CarryMarks.At(CARRY_SP), 0);

  cCharaDef next;
  next.m_sGraphicNo = 5;
  next.m_nMaxHp = 10;
  next.m_nMaxSp = 0;
  data.m_nLives = 1;
  ScopedRestore<cStage> stage(g_Stage);
  g_Stage.m_nTimeLimit = 0;
  data.RestoreStatus(0, next);
  EXPECT_EQ(next.m_sGraphicNo, 1);  // a stored graphic 0 comes back as 1
  EXPECT_EQ(next.m_sAppearEffect, 7);
  EXPECT_EQ(next.m_cAppearEffectRun, 2);
  EXPECT_EQ(next.m_nMaxHp, 40);
  EXPECT_EQ(next.m_nMaxSp, 0);
  EXPECT_EQ(data.m_nLives, 4);
  EXPECT_EQ(g_Stage.m_nTimeLimit, 900);
  EXPECT_EQ(g_Stage.m_nBgm, 12);
  int hp = -1, sp = -1;
  data.RestoreStatusValues(0, &hp, &sp);
  EXPECT_EQ(hp, 25);
  EXPECT_EQ(sp, -1);

  data.ClearCarryFlags();
  next.m_nMaxHp = 10;
  hp = -1;
  data.RestoreStatus(0, next);
  data.RestoreStatusValues(0, &hp, &sp);
  EXPECT_EQ(next.m_nMaxHp, 10);
  EXPECT_EQ(hp, -1);
}

TEST_F(SaveDataTest, NextRankingKindSkipsKindsTheModeDoesNotKeep) {
  cRankingRule& rule = g_SystemData.m_RankingRules.At(GAME_MODE_STORY);
  rule.m_Kinds.assign(5, 0);
  rule.m_Kinds.At(2) = 1;
  struct Case {
    int32_t from;
    int step;
    int32_t to;
  };
  for (const Case& c : {Case{0, 1, 2}, Case{0, -1, 2}, Case{0, 0, 2}, Case{2, 3, 2}, Case{-7, 0, 2},
                        Case{INT_MAX, 1, 2}, Case{INT_MIN, -1, 2}}) {
    cSaveData data;
    data.m_nRankingKind = c.from;
    data.NextRankingKind(GAME_MODE_STORY, c.step);
    EXPECT_EQ(data.m_nRankingKind, c.to) << c.from << " " << c.step;
  }
  rule.m_Kinds.At(4) = 1;
  cSaveData data;
  data.m_nRankingKind = 2;
  data.NextRankingKind(GAME_MODE_STORY, 1);
  EXPECT_EQ(data.m_nRankingKind, 4);
  data.NextRankingKind(GAME_MODE_STORY, 1);
  EXPECT_EQ(data.m_nRankingKind, 2);
  rule.m_Kinds.assign(5, 0);
  data.NextRankingKind(GAME_MODE_STORY, 1);
  EXPECT_EQ(data.m_nRankingKind, 2);
}

TEST_F(SaveDataTest, NextLapClearsTheFlagsAndReturnsToTheStart) {
  cSaveData data;
  data.m_WorldFlags.At(0) = 0;
  data.m_WorldFlags.At(500) = 1;
  data.m_nMapX = 1;
  data.NextLap();
  EXPECT_EQ(data.m_nLap, 1);
  EXPECT_EQ(data.m_WorldFlags.At(0), 1);
  EXPECT_EQ(data.m_WorldFlags.At(500), 0);
  EXPECT_EQ(data.m_nMapX, g_WorldMap.m_nStartX);
  EXPECT_EQ(data.m_nMapY, g_WorldMap.m_nStartY);
  data.m_nLap = INT_MAX;
  data.NextLap();
  EXPECT_EQ(data.m_nLap, INT_MAX);
}

}  // namespace
}  // namespace t4::test
