// The stage record: defaults, sub-step values, normalisation, its stored form at the current
// version and the upgrades of older files, and damaged files.
#include <gtest/gtest.h>

#include <cmath>

#include "data/database.h"
#include "stage_test_util.h"

using namespace t4::test;

namespace {

class StageTest : public ProjectDataTest {};

int32_t Int32At(const std::string& bytes, size_t pos) {
  int32_t value = 0;
  std::memcpy(&value, bytes.data() + pos, sizeof(value));
  return value;
}

TEST(StageRecord, CollisionLevelDerivesSubSteps) {
  // Levels 1-10 take that many sub-steps at speed limit 6 per step; 11-19 take level - 10 at a
  // limit of 60. Gravity 0.4 per frame is spread over n * n.
  struct Case {
    int nLevel, nStored, n, nCmdTimeUnit, nAirDelay;
    double dLimit, dLimitStep, dGravityStep;
  } cases[] = {
      {1, 1, 1, 6, 8, 6.0, 6.0, 0.4},
      {10, 10, 10, 60, 80, 60.0, 6.0, 0.004},
      {11, 11, 1, 6, 8, 60.0, 60.0, 0.4},
      {19, 19, 9, 54, 72, 60.0, 6.666666666666667, 0.004938271604938272},
      // Outside the table the default level stands instead of no or endless sub-steps.
      {0, 10, 10, 60, 80, 60.0, 6.0, 0.004},
      {-3, 10, 10, 60, 80, 60.0, 6.0, 0.004},
      {20, 10, 10, 60, 80, 60.0, 6.0, 0.004},
      {1000, 10, 10, 60, 80, 60.0, 6.0, 0.004},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nLevel);
    cStage stage;
    stage.m_dGravity = 0.4;
    stage.SetCollisionLevel(c.nLevel);
    EXPECT_EQ(stage.m_nCollisionLevel, c.nStored);
    EXPECT_EQ(stage.m_nSubSteps, c.n);
    EXPECT_EQ(stage.m_dSubSteps, c.n);
    EXPECT_EQ(stage.m_dSubStepsSq, c.n * c.n);
    EXPECT_EQ(stage.m_nCmdTimeUnit, c.nCmdTimeUnit);
    EXPECT_EQ(stage.m_nAirDelay, c.nAirDelay);
    EXPECT_EQ(stage.m_dSpeedLimit, c.dLimit);
    EXPECT_DOUBLE_EQ(stage.m_dSpeedLimitStep, c.dLimitStep);
    EXPECT_DOUBLE_EQ(stage.m_dGravityStep, c.dGravityStep);
  }
}

TEST_F(StageTest, FreshStageHasTheDefaults) {
  cStage stage;
  EXPECT_EQ(stage.m_nFps, 60);
  EXPECT_EQ(stage.m_nTimeLimit, 200);
  EXPECT_EQ(stage.m_dGravity, 0.4);
  EXPECT_EQ(stage.m_CharaBoxB[3], 16);
  EXPECT_EQ(stage.m_nBoxReserved, 1);
  EXPECT_EQ(stage.m_nSubSteps, 0);  // derived only by SetCollisionLevel
  EXPECT_EQ(stage.m_RankingKinds, (cSafeVector<int32_t>{1, 1, 1, 1, 1}));
  EXPECT_EQ(stage.PalBlocks().size(), 1u);
  EXPECT_EQ(stage.PalCharas().size(), 1u);
  ASSERT_EQ(stage.m_Backgrounds.size(), 1u);
  EXPECT_EQ(stage.m_Backgrounds[0].m_nFillOn, 1);
  EXPECT_EQ(stage.m_Backgrounds[0].m_nVisible, 1);
  EXPECT_FALSE(stage.m_Areas[STAGE_AREA_CHARA].AnySide());
  EXPECT_EQ(stage.m_Areas[STAGE_AREA_HERO_SHOT].m_nBottomOn, 1);
  EXPECT_EQ(stage.m_Areas[STAGE_AREA_ENEMY_SHOT].m_nTopMargin, 10);
  EXPECT_FALSE(stage.HasPlayer());
}

TEST_F(StageTest, NormalizeClampsLimitsMusicAndFillsPalettes) {
  cStage stage;
  stage.m_nWidth = 19;
  stage.m_nHeight = 40;
  stage.m_nLimitLeft = 5;
  stage.m_nLimitBottom = 100;
  stage.ResetItemList(5);
  const int bgms = static_cast<int>(g_Database.m_Bgms.size());
  struct {
    int32_t nBgm, nExpected;
  } music[] = {{bgms - 1, bgms - 1}, {bgms, 0}, {-1, 0}};
  for (const auto& m : music) {
    stage.m_nBgm = m.nBgm;
    stage.Normalize();
    EXPECT_EQ(stage.m_nBgm, m.nExpected);
  }
  EXPECT_EQ(stage.m_nLimitLeft, -1);  // a map narrower than the view keeps a negative limit
  EXPECT_EQ(stage.m_nLimitBottom, 39);
  EXPECT_EQ(stage.m_nSubSteps, 10);
  EXPECT_EQ(stage.PalBlocks().size(), 2u);
  EXPECT_EQ(stage.PalItems().size(), 5u);

  stage.m_nWidth = INT32_MIN;  // a damaged size: the limit saturates instead of overflowing
  stage.Normalize();
  EXPECT_EQ(stage.m_nLimitLeft, INT32_MIN);
}

TEST_F(StageTest, FindsTheFirstPlayerWithAGraphic) {
  cStage stage;
  cCharaDef chara;
  chara.m_cController = 0;  // a player without graphic does not count
  stage.m_CharaPlaces.push_back(chara);
  chara.m_cController = 1;
  chara.m_sGraphicNo = 3;
  stage.m_CharaPlaces.push_back(chara);
  EXPECT_EQ(stage.FindPlayerPlacement(), -1);
  chara.m_cController = 0;
  stage.m_CharaPlaces.push_back(chara);
  stage.m_CharaPlaces.push_back(chara);
  EXPECT_EQ(stage.FindPlayerPlacement(), 2);
}

TEST_F(StageTest, CarriedItemIsAnItemPlacementOrNone) {
  cStage stage;
  stage.m_ItemPlaces.resize(2);
  cCharaDef chara;
  for (auto [extra, expected] : {std::pair{-1, -1}, {0, 0}, {1, 1}, {2, -1}, {INT32_MIN, -1}}) {
    chara.m_nPlaceExtra = extra;
    EXPECT_EQ(stage.GetCarriedItemPlacement(chara), expected) << extra;
  }
}

TEST_F(StageTest, StageBuiltInCodeReadsBackEqual) {
  cStage stage = MakeStage();
  cStage loaded = RoundTrip(stage);
  EXPECT_EQ(loaded.m_strTitle, "第一面");
  EXPECT_EQ(loaded.m_nWidth, 40);
  EXPECT_EQ(loaded.m_dGravity, 0.5);
  EXPECT_EQ(loaded.m_nSubSteps, 2);  // level 12
  EXPECT_EQ(loaded.m_nLimitRight, 30);
  EXPECT_EQ(loaded.m_HeroBoxC[3], 20);
  EXPECT_EQ(loaded.m_nEnemyDamagePause, 7);
  EXPECT_EQ(loaded.PalCharas().size(), 3u);
  EXPECT_EQ(loaded.PalCharas()[2].m_sGraphicNo, 7);
  ASSERT_EQ(loaded.m_CharaPlaces.size(), 1u);
  EXPECT_EQ(loaded.m_CharaPlaces[0].m_Name, "主人公");
  EXPECT_EQ(loaded.m_CharaPlaces[0].m_sBlockY, 5);
  EXPECT_EQ(loaded.m_BlockPlaces.at(0).m_sBlockY, 2);
  EXPECT_EQ(loaded.m_ItemPlaces.at(0).m_sBlockX, 6);
  EXPECT_EQ(loaded.m_Backgrounds.at(1).m_strImage, "bg2.bmp");
  EXPECT_EQ(loaded.m_Backgrounds.at(1).m_dAutoSpeedX, 1.5);
  EXPECT_EQ(loaded.m_VarInfos.at(2).m_strName, "鍵");
  EXPECT_EQ(loaded.m_RankingKinds, (cSafeVector<int32_t>{1, 0, 1, 0, 1}));
  EXPECT_EQ(loaded.m_Areas[STAGE_AREA_ITEM].m_nLeftMargin, 4);
  EXPECT_EQ(loaded.FindPlayerPlacement(), 0);
}

TEST_F(StageTest, CurrentLayoutMatchesTheStoredForm) {
  // Written by the stage's own Save: 98 numbers in 416 bytes, one string, the end marker last.
  cStage stage = MakeStage();
  std::string body = SaveBody(stage);
  EXPECT_EQ(Int32At(body, 0), 98);
  EXPECT_EQ(Int32At(body, 4 + 416), 1);
  EXPECT_EQ(body.substr(body.size() - 4), std::string("\x15\xCD\x5B\x07", 4));

  // Written member by member here: every value lands in its member, entry 0 of each palette list
  // is the empty entry whatever the file holds.
  std::string image = StageFileImage(DATA_VERSION, {{14, 30}, {22, DoubleBits(0.25)}, {45, 11}, {84, 13}, {99, 17}});
  cStage loaded;
  bool consumed = false;
  ASSERT_EQ(LoadImage(loaded, image, &consumed), 1);
  EXPECT_TRUE(consumed);
  EXPECT_EQ(loaded.m_nFps, 30);
  EXPECT_EQ(loaded.m_dGravity, 0.25);
  EXPECT_EQ(loaded.m_HeroBoxC[0], 11);
  EXPECT_EQ(loaded.m_ShotBoxes[7], 13);
  EXPECT_EQ(loaded.m_nEnemyDamagePause, 17);
  EXPECT_EQ(loaded.m_strTitle, "title");
  EXPECT_EQ(loaded.m_Areas[STAGE_AREA_ENEMY_SHOT].m_nLeftOn, 5);
  EXPECT_EQ(loaded.m_Areas[STAGE_AREA_ENEMY_SHOT].m_nLeftMargin, 7);
  EXPECT_EQ(loaded.PalBlocks().size(), 2u);
  EXPECT_EQ(loaded.PalBlocks()[0].m_sGraphicNo, 0);
  EXPECT_EQ(loaded.PalCharas()[0].m_sGraphicNo, 0);
  EXPECT_EQ(loaded.PalCharas()[0].m_Name, "");
  EXPECT_EQ(loaded.PalCharas()[1].m_sGraphicNo, 6);
  EXPECT_EQ(loaded.PalItems()[0].m_sGraphicNo, 0);
  EXPECT_EQ(loaded.m_CharaPlaces.at(1).m_Name, "enemy");
  EXPECT_EQ(loaded.m_VarInfos.size(), 2u);
}

TEST_F(StageTest, ReplayBodyTakesSettingsFromTheCopyAndListsFromTheStage) {
  cStage stage = MakeStage();
  stage.Normalize();
  cStage settings;
  settings.CopySettingsFrom(stage);
  settings.ClearDefinitionLists();
  // What play changes in the stage.
  stage.m_nScrollModeX = 1;
  stage.m_nAutoScrollX = 300;
  stage.m_Backgrounds[0].m_nVisible = 0;
  stage.m_CharaPlaces[0].m_sBlockX = 9;

  std::string body = SaveReplayBody(stage, settings);
  EXPECT_EQ(body.substr(body.size() - 4), std::string("\x15\xCD\x5B\x07", 4));
  cStage loaded;
  bool consumed = false;
  ASSERT_EQ(LoadBody(loaded, DATA_VERSION, body, &consumed), 1);
  EXPECT_TRUE(consumed);
  EXPECT_EQ(loaded.m_nScrollModeX, 0);
  EXPECT_EQ(loaded.m_nAutoScrollX, 0);
  EXPECT_EQ(loaded.m_Backgrounds[0].m_nVisible, 1);
  EXPECT_EQ(loaded.m_strTitle, "第一面");
  EXPECT_EQ(loaded.m_CharaPlaces.at(0).m_sBlockX, 9);
  EXPECT_EQ(loaded.PalCharas().size(), 3u);
}

TEST_F(StageTest, OlderFilesAreBroughtUpToDate) {
  // Stored where the version holds them: hero box B (20, 30, 40, 50) with alignments 1, music
  // loop 0, keep-music 1, status panel 0, auto end 1, start caption 1, first box colour 3.
  const std::map<int, int64_t> numbers = {{41, 20}, {42, 30}, {43, 40}, {44, 50}, {51, 1}, {52, 1}, {26, 0},
                                          {27, 1},  {31, 0},  {32, 1},  {34, 1},  {57, 3}, {61, 9}};
  StageTail tail;
  tail.nAutoX = 1;
  for (int v : {120, 154, 155, 165, 166, 180, 181, 182, 183, 198, 199, 200, 224, 225, 700, 753, 754, 875, 876}) {
    SCOPED_TRACE(v);
    cStage stage;
    bool consumed = false;
    ASSERT_EQ(LoadImage(stage, StageFileImage(v, numbers, tail), &consumed), 1);
    EXPECT_TRUE(consumed);
    EXPECT_EQ(stage.m_HeroBoxB[2], v < 155 ? 20 : 40);
    EXPECT_EQ(stage.m_HeroBoxB[3], v < 155 ? 30 : 50);
    EXPECT_EQ(stage.m_HeroBoxBAlign[1], v < 155 ? 0 : 1);
    EXPECT_EQ(stage.m_nBgmLoop, v < 166 ? 1 : 0);
    EXPECT_EQ(stage.m_RankingKinds.at(3), v < 181 ? 0 : 1);
    EXPECT_EQ(stage.m_RankingKinds.size(), 5u);
    EXPECT_EQ(stage.m_nShowStatus, v < 183 ? 1 : 0);
    EXPECT_EQ(stage.m_nAutoEnd, v < 184 ? 0 : 1);
    EXPECT_EQ(stage.m_nBgmKeep, v < 199 ? 0 : 1);
    EXPECT_EQ(stage.m_HeroBoxColor[0], v < 200 ? 5 : 3);
    EXPECT_EQ(stage.m_CharaBoxA[0], v < 200 ? 16 : 9);
    EXPECT_EQ(stage.m_CharaBoxA[3], v < 200 ? 30 : 0);
    EXPECT_EQ(stage.m_CharaBoxAAlign[1], v < 200 ? 1 : 0);
    EXPECT_EQ(stage.m_nShowStartCaption, v < 225 ? 0 : 1);
    EXPECT_EQ(stage.m_VarInfos.size(), v < 754 ? 1000u : 2u);
    EXPECT_EQ(stage.m_VarInfos[1].m_strName, "var1");
    const cBackground& layer = stage.m_Backgrounds.at(0);
    EXPECT_EQ(layer.m_dRatioX, v < 876 ? 1.0 : 0.25);
    EXPECT_EQ(layer.m_dAutoSpeedX, v < 876 ? 0.25 : 0.0);
    EXPECT_EQ(stage.m_Areas[STAGE_AREA_CHARA].m_nRightOn, v < 125 ? 0 : 1);
  }
}

TEST_F(StageTest, OldBackgroundLayouts) {
  struct Case {
    int nVersion;
    double dRatioX;
    int32_t nAutoX;
  } cases[] = {{60, 0.1, 0}, {61, 0.25, 1}, {62, 0.25, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nVersion);
    cBackground layer;
    bool consumed = false;
    ASSERT_EQ(LoadBody(layer, c.nVersion, BackgroundForm(c.nVersion, 1, 0.25, 0).Bytes(), &consumed), 1);
    EXPECT_TRUE(consumed);
    EXPECT_EQ(layer.m_nVisible, c.nVersion < 62 ? 1 : 0);  // absent before 62: the default stands
    EXPECT_EQ(layer.m_dRatioX, c.dRatioX);
    EXPECT_EQ(layer.m_nAutoX, c.nAutoX);
    EXPECT_EQ(layer.m_nFillColor, 16);
    EXPECT_EQ(layer.m_strImage, "bg.bmp");
  }
}

TEST_F(StageTest, RankingSwitchesOfOddLengths) {
  struct Case {
    std::vector<int32_t> stored;
    cSafeVector<int32_t> expected;
  } cases[] = {
      {{0, 1}, {0, 1, 0, 0, 0}},  // the stage end looks up five kinds
      {{}, {1, 0, 1, 0, 1}},      // count 0 keeps the list as it was
      {{1, 1, 1, 1, 1, 1, 0}, {1, 1, 1, 1, 1, 1, 0}},
  };
  for (const Case& c : cases) {
    cStage stage;
    stage.m_RankingKinds = {1, 0, 1, 0, 1};
    StageTail tail;
    tail.ranking = c.stored;
    ASSERT_EQ(LoadImage(stage, StageFileImage(DATA_VERSION, {}, tail)), 1);
    EXPECT_EQ(stage.m_RankingKinds, c.expected);
  }
}

TEST_F(StageTest, DamagedFilesFailWithoutHarm) {
  // Map sizes the play scene could not build a grid for.
  struct {
    int32_t nWidth, nHeight;
  } sizes[] = {{0, 20}, {30, 0}, {-1, 20}, {30, -5}, {STAGE_SIZE_MAX + 1, 20}, {STAGE_SIZE_MAX, STAGE_SIZE_MAX}};
  for (const auto& s : sizes) {
    SCOPED_TRACE(s.nWidth);
    cStage stage;
    EXPECT_EQ(LoadImage(stage, StageFileImage(DATA_VERSION, {{2, s.nWidth}, {5, s.nHeight}})), 0);
  }
  cStage bounds;
  EXPECT_EQ(LoadImage(bounds, StageFileImage(DATA_VERSION, {{2, 1}, {5, STAGE_SIZE_MAX}})), 1);

  // A ranking count far beyond the file is refused before anything is allocated.
  std::string image = StageFileImage(DATA_VERSION, {});
  size_t rankingAt = 4 + 4 + 416 + 4 + 4 + 6;  // header, counts, numbers, title "title"
  ASSERT_EQ(Int32At(image, rankingAt), 5);
  std::string huge = image;
  const int32_t count = 0x7FFFFFFF;
  std::memcpy(huge.data() + rankingAt, &count, sizeof(count));
  cStage stage;
  EXPECT_EQ(LoadImage(stage, huge), 0);

  // Every file cut short fails, the old layout without end marker as well.
  for (int v : {172, DATA_VERSION}) {
    std::string whole = StageFileImage(v, {});
    for (size_t size = 4; size < whole.size(); ++size) {
      cStage cut;
      ASSERT_EQ(LoadImage(cut, whole.substr(0, size)), 0) << v << " cut at " << size;
    }
  }
}

}  // namespace
