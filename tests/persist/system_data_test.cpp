#include "persist/system_data.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "data/data_refs.h"
#include "support/temp_dir.h"
#include "system_dat_image.h"

namespace t4::test {
namespace {

class SystemDataTest : public ::testing::Test {
 protected:
  int Load(cSystemData& sd, const std::string& bytes) {
    return sd.LoadFromFile(m_dir.WriteFile("System.dat", bytes).string().c_str());
  }
  std::string Save(cSystemData& sd) {
    std::string path = (m_dir.Path() / "Saved.dat").string();
    EXPECT_EQ(sd.SaveToFile(path.c_str()), 1);
    return m_dir.ReadFile("Saved.dat");
  }
  // A current file with a distinct value in every member.
  static SystemDatImage DistinctImage() {
    SystemDatImage image;
    for (int row = 1; row <= 86; ++row) image.members[row] = 1000 + row;
    image.title = "題名";
    image.iniKeys = {
        {0, "Direct3D", 5, ""},        {0, "WindowMode", 1, ""},      {0, "Bpp", 16, ""},
        {0, "VSync", 0, ""},           {0, "D3D_FontCache", 1, ""},   {0, "DD_FontCache", 0, ""},
        {0, "DD_VideoStretch", 1, ""}, {0, "ShowFps", 2, ""},         {1, "FreeStage", 0, "data\\stg4\\a.stg4"},
        {0, "English", 1, ""},         {0, "Midi_DirectMusic", 0, ""}};
    image.rankingRules = {{1, 1, 0, 1, 0, 1}, {0, 1, 1, 1, 1, 1}, {1, 0, 0, 0, 0, 1}, {1, 1, 1, 1, 1, 1}};
    return image;
  }

  TempDir m_dir;
};

TEST_F(SystemDataTest, NewProjectRankingAndOptionMenu) {
  cSystemData sd;
  EXPECT_EQ(sd.GetRankingKindCount(GAME_MODE_STORY), 5);
  EXPECT_EQ(sd.GetRankingKindCount(GAME_MODE_FREE), 5);
  EXPECT_EQ(sd.GetRankingKindCount(GAME_MODE_REPLAY), 0);
  EXPECT_EQ(cCmd::GetCmdCount(sd.m_OptionMenu), 6);
  EXPECT_EQ(sd.m_OptionMenu.At(0).m_strCaption, "");
}

TEST_F(SystemDataTest, DefaultsSaveAndLoadBackByteForByte) {
  cSystemData sd;
  std::string first = Save(sd);
  cSystemData loaded;
  ASSERT_EQ(Load(loaded, first), 1);
  EXPECT_EQ(Save(loaded), first);
}

TEST_F(SystemDataTest, CurrentFileLoadsEveryMemberAndSavesTheSameBytes) {
  SystemDatImage image = DistinctImage();
  cSystemData sd;
  ASSERT_EQ(Load(sd, image.Bytes()), 1);
  EXPECT_EQ(sd.m_nExtraLifeScore, 1002);
  EXPECT_EQ(sd.m_cTransGreen, static_cast<BYTE>(1030 & 0xFF));
  EXPECT_EQ(sd.m_bCompat897, 1083);
  EXPECT_EQ(sd.m_bDirectStartToTitle, 1086);
  EXPECT_EQ(sd.GetRankingKindCount(GAME_MODE_STORY), 3);
  EXPECT_EQ(sd.GetRankingKindCount(GAME_MODE_CHALLENGE), 0);
  EXPECT_EQ(Save(sd), image.Bytes());
}

TEST_F(SystemDataTest, TextsLongerThanAnyBufferRoundTrip) {
  cSystemData sd;
  sd.m_Texts.At(16) = std::string(6000, 'x');
  sd.m_SystemSounds.At(3) = "wave\\a.wav";
  cSystemData loaded;
  ASSERT_EQ(Load(loaded, Save(sd)), 1);
  EXPECT_EQ(loaded.m_Texts.At(16), std::string(6000, 'x'));
  EXPECT_EQ(loaded.m_SystemSounds.At(3), "wave\\a.wav");
}

TEST_F(SystemDataTest, OldTextListsReceiveTheirInsertedTexts) {
  auto markers = [](int n) {
    std::vector<std::string> texts;
    for (int i = 0; i < n; ++i) {
      texts.emplace_back("T");
      texts.back() += std::to_string(i);
    }
    return texts;
  };
  // Version 168 lacks the auto-save, HP/SP and continue texts; 170 has the auto-save texts.
  SystemDatImage v168;
  v168.nVersion = 168;
  v168.texts = markers(21);
  cSystemData sd168;
  ASSERT_EQ(Load(sd168, v168.Bytes()), 1);
  std::vector<std::string> expected168 = {"T0",
                                          "T1",
                                          "T2",
                                          "T3",
                                          "T4",
                                          "T5",
                                          "T6",
                                          "T7",
                                          "残りHP",
                                          "残りSP",
                                          "T8",
                                          "T9",
                                          "T10",
                                          "T11",
                                          "オートセーブＯＮ",
                                          "オートセーブＯＦＦ",
                                          "保存先が不明です！一度は「セーブ」して下さい！",
                                          "T12",
                                          "T13",
                                          "T14",
                                          "T15",
                                          "T16",
                                          "マップへ戻る",
                                          "リトライ",
                                          "マップへ戻る",
                                          "T17",
                                          "T18",
                                          "T19",
                                          "T20"};
  EXPECT_EQ(std::vector<std::string>(sd168.m_Texts.begin(), sd168.m_Texts.end()), expected168);
  EXPECT_EQ(sd168.m_MapMenu.At(1).m_strCaption, "オートセーブ");

  SystemDatImage v170 = v168;
  v170.nVersion = 170;
  v170.texts = markers(24);
  cSystemData sd170;
  ASSERT_EQ(Load(sd170, v170.Bytes()), 1);
  EXPECT_EQ(sd170.m_Texts.At(8), "残りHP");
  EXPECT_EQ(sd170.m_Texts.At(14), "T12");
  EXPECT_EQ(sd170.m_Texts.At(22), "マップへ戻る");
  EXPECT_EQ(sd170.m_Texts.At(28), "T23");
}

TEST_F(SystemDataTest, ListsMissingFromOldFilesGetTheirUpgradeValues) {
  SystemDatImage v186;
  v186.nVersion = 186;
  cSystemData sd;
  ASSERT_EQ(Load(sd, v186.Bytes()), 1);
  EXPECT_EQ(std::vector<int32_t>(sd.m_InfiniteLives.begin(), sd.m_InfiniteLives.end()),
            (std::vector<int32_t>{0, 0, 0, 1}));
  EXPECT_EQ(std::vector<BYTE>(sd.m_SceneBgmLoop.begin(), sd.m_SceneBgmLoop.end()), std::vector<BYTE>(4, 1));
  EXPECT_EQ(sd.m_RankingModeNames.At(0), "手動登録（登録名入力）");
  EXPECT_EQ(sd.m_CarryResetFlags, cSafeVector<BYTE>(25, 0));
  // Status items older than 204 draw the number over the gauge; older than 587 warn at 33%.
  EXPECT_EQ(sd.m_StatusItems.At(2).m_bGaugeValue, 1);
  EXPECT_EQ(sd.m_StatusItems.At(3).m_nLowLevel, 33);
  EXPECT_EQ(sd.m_StatusItems.At(3).m_bLowPercent, 1);
  EXPECT_EQ(sd.m_cTransGreen, 177);
}

TEST_F(SystemDataTest, OldKeyTablesGetTheirNewKeysInPlace) {
  SystemDatImage v285;
  v285.nVersion = 285;
  v285.iniKeys = {{0, "WindowMode", 1, ""},
                  {0, "Bpp", 16, ""},
                  {0, "VSync", 5, ""},
                  {0, "ShowFps", 0, ""},
                  {1, "FreeStage", 0, "a.stg4"}};
  cSystemData sd;
  ASSERT_EQ(Load(sd, v285.Bytes()), 1);
  std::vector<std::string> names;
  std::vector<int32_t> values;
  for (const cIniKey& key : sd.m_IniKeys) {
    names.push_back(key.m_strKey);
    values.push_back(key.m_nValue);
  }
  EXPECT_EQ(names,
            (std::vector<std::string>{"Direct3D", "WindowMode", "Bpp", "VSync", "D3D_FontCache", "DD_FontCache",
                                      "DD_VideoStretch", "ShowFps", "FreeStage", "English", "Midi_DirectMusic"}));
  EXPECT_EQ(values, (std::vector<int32_t>{1, 1, 16, 2, 0, 1, 0, 0, 0, 0, 1}));
  EXPECT_EQ(sd.m_IniKeys.At(8).m_strText, "a.stg4");
}

TEST_F(SystemDataTest, DiscardedValueOfVersions221To259KeepsTheLayout) {
  SystemDatImage v230;
  v230.nVersion = 230;
  v230.members = {{32, 0}, {33, 4242}, {16, 12}};
  v230.title = "after";
  v230.texts.at(5) = "five";
  cSystemData sd;
  ASSERT_EQ(Load(sd, v230.Bytes()), 1);
  EXPECT_EQ(sd.m_nChallengeCount, 12);
  EXPECT_EQ(sd.m_bCompat214, 0);
  EXPECT_EQ(sd.m_bCompat261, 1);
  EXPECT_EQ(sd.m_strTitle, "after");
  EXPECT_EQ(sd.m_Texts.At(5), "five");
}

struct SwitchCase {
  int nVersion;
  const int32_t& (cSystemData::*get)() const;
  int32_t expected;
};

TEST_F(SystemDataTest, CompatibilitySwitchesFollowTheFileVersion) {
  const SwitchCase cases[] = {
      {600, &cSystemData::StopPassingFliers, 1},    {620, &cSystemData::StopPassingFliers, 0},
      {816, &cSystemData::CompatPictureFollow, 0},  {817, &cSystemData::CompatPictureFollow, 1},
      {832, &cSystemData::CompatPictureFollow, 1},  {833, &cSystemData::CompatPictureFollow, 0},
      {821, &cSystemData::CompatWarpScreenFoot, 0}, {822, &cSystemData::CompatWarpScreenFoot, 1},
      {893, &cSystemData::CompatWarpScreenFoot, 1}, {894, &cSystemData::CompatWarpScreenFoot, 0},
      {889, &cSystemData::CompatExprYCentre, 0},    {890, &cSystemData::CompatExprYCentre, 1},
      {895, &cSystemData::CompatExprYCentre, 1},    {896, &cSystemData::CompatExprYCentre, 0},
      {655, &cSystemData::RideKeepsSpeedY, 0},      {656, &cSystemData::RideKeepsSpeedY, 1},
      {844, &cSystemData::HeroJumpOld, 1},          {845, &cSystemData::HeroJumpOld, 0},
      {762, &cSystemData::HarmlessShotsPass, 1},    {896, &cSystemData::ImpactKeepPrevY, 1},
      {271, &cSystemData::KeepKilledChara, 0},      {213, &cSystemData::AimAddsScroll, 1},
      {901, &cSystemData::ImpactKeepPrevY, 0},
  };
  for (const SwitchCase& c : cases) {
    SystemDatImage image;
    image.nVersion = c.nVersion;
    cSystemData sd;
    ASSERT_EQ(Load(sd, image.Bytes()), 1) << c.nVersion;
    EXPECT_EQ((sd.*c.get)(), c.expected) << "version " << c.nVersion;
  }
}

TEST_F(SystemDataTest, ShortListsAreCompletedWithNewProjectEntries) {
  SystemDatImage image;
  image.initialLives = {7};
  image.texts = {"a", "b"};
  image.titleMenu = {};
  image.rankingRules = {{1, 1}};
  image.iniKeys = {{0, "Renamed", 3, ""}};
  image.statusItemCount = 0;
  cSystemData sd;
  ASSERT_EQ(Load(sd, image.Bytes()), 1);
  EXPECT_EQ(std::vector<int32_t>(sd.m_InitialLives.begin(), sd.m_InitialLives.end()),
            (std::vector<int32_t>{7, 5, 5, 99}));
  ASSERT_EQ(sd.m_Texts.size(), 29u);
  EXPECT_EQ(sd.m_Texts.At(1), "b");
  EXPECT_EQ(sd.m_Texts.At(28), "F3キーでランキングへ登録");
  EXPECT_EQ(cCmd::GetCmdCount(sd.m_TitleMenu), 7);
  EXPECT_EQ(sd.m_RankingRules.At(0).m_Kinds.size(), 5u);
  EXPECT_EQ(sd.GetRankingKindCount(GAME_MODE_STORY), 1);
  EXPECT_EQ(sd.GetRankingKindCount(GAME_MODE_REPLAY), 0);
  ASSERT_EQ(sd.m_IniKeys.size(), 11u);
  EXPECT_EQ(sd.m_IniKeys.At(0).m_strKey, "Renamed");
  EXPECT_EQ(sd.m_IniKeys.At(10).m_strKey, "Midi_DirectMusic");
  EXPECT_EQ(sd.m_StatusItems.At(4).m_strLabel, "人");
}

TEST_F(SystemDataTest, ChallengeCountStaysWithinWhatTheSaveDataCanHold) {
  // Row 16 is the number of challenge entries; the save data sizes its result list by it.
  for (const auto& [stored, expected] :
       {std::pair<int64_t, int32_t>{12, 12}, {-5, 0}, {0x7FFFFFFF, CHALLENGE_COUNT_MAX}}) {
    SystemDatImage image;
    image.members[16] = stored;
    cSystemData sd;
    ASSERT_EQ(Load(sd, image.Bytes()), 1);
    EXPECT_EQ(sd.m_nChallengeCount, expected) << stored;
  }
}

TEST_F(SystemDataTest, DamagedFilesAreRefused) {
  const std::string good = DistinctImage().Bytes();
  // Offset of the first text list entry: find the counted string "t" of the text table.
  std::string textEntry = LeWriter().I32(29).Str("t").Bytes();
  size_t textAt = good.find(textEntry);
  ASSERT_NE(textAt, std::string::npos);
  auto patched = [&](size_t at, int64_t value) {
    std::string bytes = good;
    bytes.replace(at, 4, LeWriter().I32(value).Bytes());
    return bytes;
  };
  const std::string cases[] = {
      good.substr(0, good.size() / 2),  // cut short
      patched(textAt, 0x7FFFFFFF),      // text count beyond the file
      patched(textAt + 4, 0x7FFFFFF0),  // text length beyond the file
      patched(textAt + 4, -5),          // negative text length
  };
  for (const std::string& bytes : cases) {
    cSystemData sd;
    EXPECT_EQ(Load(sd, bytes), 0);
  }
}

TEST_F(SystemDataTest, NegativeTextCountReadsAsEmpty) {
  SystemDatImage image;
  std::string bytes = image.Bytes();
  std::string textEntry = LeWriter().I32(29).Str("t").Bytes();
  size_t at = bytes.find(textEntry);
  // Replace the count and the 29 entries with a negative count.
  bytes.replace(at, textEntry.size() + 28 * LeWriter().Str("t").Size(), LeWriter().I32(-3).Bytes());
  cSystemData sd;
  ASSERT_EQ(Load(sd, bytes), 1);
  EXPECT_EQ(sd.m_Texts.size(), 29u);
  EXPECT_EQ(sd.m_Texts.At(0), "ワールド");
}

class BgmCount : public cDataRefs {
 public:
  explicit BgmCount(int n) : m_nCount(n) { SetDataRefs(this); }
  ~BgmCount() override { SetDataRefs(nullptr); }
  int GetDatabaseCount(int nList) const override { return nList == DBLIST_BGM ? m_nCount : 0; }
  int GetSwordEntryCount(int) const override { return 0; }
  int32_t GetSwordEntryDuration(int, int) const override { return 0; }
  int GetPaletteCount(int, int) const override { return -1; }
  int KeepTestFlows() const override { return 0; }

 private:
  int m_nCount;
};

TEST_F(SystemDataTest, SceneMusicOutsideTheDatabaseBecomesSilence) {
  SystemDatImage image;
  image.sceneBgm = {-1, 3, 2, 0};
  BgmCount refs(3);
  cSystemData sd;
  ASSERT_EQ(Load(sd, image.Bytes()), 1);
  EXPECT_EQ(std::vector<int32_t>(sd.m_SceneBgm.begin(), sd.m_SceneBgm.end()), (std::vector<int32_t>{0, 0, 2, 0}));
}

TEST_F(SystemDataTest, GaugeLevelAndTextColumn) {
  cSystemData sd;
  cStatusItem& hp = sd.m_StatusItems.At(2);
  hp.m_nLowLevel = 33;
  hp.m_bLowPercent = 1;
  EXPECT_TRUE(sd.CheckGaugeLevel(2, 33, 100));
  EXPECT_FALSE(sd.CheckGaugeLevel(2, 34, 100));
  EXPECT_FALSE(sd.CheckGaugeLevel(2, 5, 0));
  hp.m_bLowPercent = 0;
  EXPECT_TRUE(sd.CheckGaugeLevel(2, 33, 1000));
  EXPECT_FALSE(sd.CheckGaugeLevel(2, 34, 1000));

  // Texts 10 and 11 have seven characters each; the cursor cell makes eight.
  EXPECT_EQ(sd.GetTextListX(320, 10, 2, false), 320 - 7 * 16 / 2);
  EXPECT_EQ(sd.GetTextListX(320, 10, 2, true), 320 - 8 * 16 / 2);
}

}  // namespace
}  // namespace t4::test
