// Animation records, the other database records and the database's ten files with the frame
// lists derived from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

#include "data/database.h"
#include "def_test_util.h"
#include "core/report_log.h"
#include "platform/message_box.h"
#include "support/temp_dir.h"

using namespace t4::test;

namespace {

// An animation body of version `v`: the three members from 55, the name, then the frames.
LeWriter AnimeBody(int v, const std::string& name, const std::vector<std::array<int32_t, 3>>& frames) {
  LeWriter body = LayoutBody({{2, 1, 55}, {1, 1, 55}, {2, 1, 55}}, v, {{2, 1}}, {name});
  body.I32(static_cast<int64_t>(frames.size()));
  for (const auto& f : frames) body.I32(3).I32(f[0]).I32(f[1]).I32(f[2]).I32(0);
  return body;
}

LeWriter AnimeSetBody(int v, int animeCount) {
  LeWriter body = LayoutBody({{4, 1, 0}, {4, 1, 0}, {4, 1, 119}}, v, {{1, 4}, {2, 8}}, {"set"});
  body.I32(animeCount);
  for (int i = 0; i < animeCount; ++i) {
    std::string name = "a";
    name += std::to_string(i);
    body.Append(AnimeBody(v, name, {{1, 2, 0}}));
  }
  return body;
}

TEST(AnimeRecords, SetUpgradesByVersion) {
  struct Case {
    int nVersion, nStored;
    std::vector<std::string> names;
  } cases[] = {
      {118, 6, {"a0", "a1", "飛行", "飛行移動"}},       {118, 2, {"a0", "a1", "飛行", "飛行移動"}},
      {127, 4, {"a0", "a1", "飛行", "飛行移動"}},       {128, 5, {"a0", "a1", "a2", "a3", "a4"}},
      {128, 1, {"a0", "立ち移動", "飛行", "飛行移動"}},  // padded: characters look up four
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nVersion);
    cAnimeSet set;
    bool consumed = false;
    ASSERT_EQ(LoadBody(set, c.nVersion, AnimeSetBody(c.nVersion, c.nStored).Bytes(), &consumed), 1);
    EXPECT_TRUE(consumed);
    ASSERT_EQ(set.m_Animes.size(), c.names.size());
    for (size_t i = 0; i < c.names.size(); ++i) EXPECT_EQ(set.m_Animes[i].m_strName, c.names[i]);
    EXPECT_EQ(set.m_nFlyOfs, 0);
    EXPECT_EQ(set.m_nBlockOfs, 8);
  }
}

TEST(AnimeRecords, Version54AnimationHasNoMembers) {
  cAnimeData anime;
  anime.m_sValueA = 5;
  ASSERT_EQ(LoadBody(anime, 54, AnimeBody(54, "old", {{3, 4, 1}, {5, 6, 0}}).Bytes()), 1);
  EXPECT_EQ(anime.m_sValueA, 5);  // not stored: left as it was
  EXPECT_EQ(anime.m_cValueB, 1);
  ASSERT_EQ(anime.m_Frames.size(), 2u);
  EXPECT_EQ(anime.m_Frames[1].m_nPattern, 5);
  EXPECT_EQ(anime.m_strName, "old");
}

TEST(DatabaseRecords, RoundTripsAt902) {
  cAnimeSet set;
  set.m_nFlyOfs = 12;
  set.m_Animes[3].m_Frames.resize(3);
  set.m_Animes[3].m_Frames[2].m_nEndFlag = 1;
  EXPECT_EQ(RoundTrip(set).m_Animes[3].m_Frames[2].m_nEndFlag, 1);
  cSwordType sword;
  sword.m_strText3 = "c";
  sword.m_Entries.resize(3);
  sword.m_Entries[2].m_nHeight = -9;
  EXPECT_EQ(RoundTrip(sword).m_Entries[2].m_nHeight, -9);
  cEffectDef effect;
  effect.m_nValue151 = 4;
  effect.m_Frames.resize(2);
  EXPECT_EQ(RoundTrip(effect).m_nValue151, 4);
  cCharaEffectDef charaEffect;
  charaEffect.m_nParam[4] = 77;
  EXPECT_EQ(RoundTrip(charaEffect).m_nParam[4], 77);
  cBmpCharaExc exc;
  exc.m_nCellSize = 2;
  EXPECT_EQ(RoundTrip(exc).m_nCellSize, 2);
  cPictureDef picture;
  picture.m_strFile = "bmp\\a.bmp";
  EXPECT_EQ(RoundTrip(picture).m_strFile, "bmp\\a.bmp");
  cSoundDef sound;
  sound.m_nValue151 = 3;
  EXPECT_EQ(RoundTrip(sound).m_nValue151, 3);
  cBgmDef bgm;
  bgm.m_nVolume = 40;
  EXPECT_EQ(RoundTrip(bgm).m_nVolume, 40);
  cScrEffectDef scrEffect;
  scrEffect.m_nKind = 13;
  EXPECT_EQ(RoundTrip(scrEffect).m_nKind, 13);
}

TEST(DatabaseRecords, OlderVersions) {
  // The int32 of version 151 (152) reads 0 before 153.
  for (int v : {152, 153}) {
    cPictureDef picture;
    ASSERT_EQ(LoadBody(picture, v, LayoutBody({{4, 1, 151}}, v, {{1, 7}}, {"p", "f"}).Bytes()), 1);
    EXPECT_EQ(picture.m_nValue151, v < 153 ? 0 : 7);
    cEffectDef effect;
    std::string body =
        LayoutBody({{4, 1, 151}, {4, 1, 0}, {4, 1, 0}, {4, 1, 0}}, v, {{1, 7}, {2, 64}}, {"e", "f"}).I32(0).Bytes();
    ASSERT_EQ(LoadBody(effect, v, body), 1);
    EXPECT_EQ(effect.m_nValue151, v < 153 ? 0 : 7);
    EXPECT_EQ(effect.m_nFrameWidth, 64);
  }
  cBgmDef bgm;
  ASSERT_EQ(LoadBody(bgm, 813, LayoutBody({{4, 1, 151}, {4, 1, 814}}, 813, {}, {"m", "f"}).Bytes()), 1);
  EXPECT_EQ(bgm.m_nVolume, 100);
  cSwordTypeEntry entry;
  std::vector<MemberSpec> entryLayout(10, {4, 1, 0});
  entryLayout[2].nSince = entryLayout[3].nSince = 138;
  ASSERT_EQ(LoadBody(entry, 137, LayoutBody(entryLayout, 137, {{1, 1}, {2, 2}, {5, 5}, {10, 10}}).Bytes()), 1);
  EXPECT_EQ(entry.m_nOfsY, 2);
  EXPECT_EQ(entry.m_nMirrorX, 0);
  EXPECT_EQ(entry.m_nPosKind, 5);
  EXPECT_EQ(entry.m_nTime, 10);
  // Up to 510 the parameter those files lack takes the editor's default.
  for (int v : {510, 511}) {
    cScrEffectDef wave;
    std::string body = LayoutBody(std::vector<MemberSpec>(6, {4, 1, 0}), v, {{1, 7}, {6, 3}}, {"w"}).Bytes();
    ASSERT_EQ(LoadBody(wave, v, body), 1);
    EXPECT_EQ(wave.m_nParam[4], v <= 510 ? 10 : 3);
  }
}

// A project folder with the ten database files.
class DatabaseTest : public ProjectDataTest {
 protected:
  void SetUp() override {
    ProjectDataTest::SetUp();
    ASSERT_EQ(InitReportLog((m_LogDir.Path() / "Report_Game.txt").string().c_str()), 1);
    for (int i = 0; i < DATABASE_FILE_COUNT; ++i) m_Files[i] = LeWriter().I32(DATA_VERSION).I32(0);
  }

  template <class T>
  void SetFile(int index, std::vector<T> records, int version = DATA_VERSION) {
    LeWriter file;
    file.I32(version).I32(static_cast<int64_t>(records.size()));
    for (T& record : records) file.Raw(SaveBody(record));
    m_Files[index] = file;
  }

  int Load() {
    for (int i = 0; i < DATABASE_FILE_COUNT; ++i) {
      std::string path = DATABASE_FILES[i];
      std::replace(path.begin(), path.end(), '\\', '/');
      if (m_Files[i].Size() > 0) m_pDir->WriteFile(path, m_Files[i].Bytes());
    }
    ScopedCurrentDir cwd(m_pDir->Path());
    return g_Database.Load();
  }

  std::string BoxText() const {
    auto boxes = m_Boxes.Boxes();
    return boxes.empty() ? "" : boxes.back().text;
  }

  t4::platform::ScriptedMessageBoxBackend m_Boxes;
  t4::platform::ScopedMessageBoxBackend m_InstalledBoxes{m_Boxes};
  TempDir m_LogDir;
  std::unique_ptr<TempDir> m_pDir = std::make_unique<TempDir>();
  LeWriter m_Files[DATABASE_FILE_COUNT];
};

enum { F_ANIMESET, F_ANIME, F_CHARAEXC, F_SWORD, F_EFFECT, F_CHARAEFFECT, F_SCREFFECT, F_PICTURE, F_SOUND, F_BGM };

TEST_F(DatabaseTest, DefaultsBeforeAnyLoad) {
  EXPECT_EQ(g_Database.m_AnimeSets.size(), 1u);
  ASSERT_EQ(g_Database.m_Animes.size(), 2u);
  EXPECT_EQ(g_Database.m_Animes[0].m_strName, "なし");
  EXPECT_EQ(g_Database.m_Animes[1].m_strName, "アクションA");
  EXPECT_EQ(g_Database.m_SwordTypes.size(), 1u);
  EXPECT_EQ(g_Database.m_SwordTypes[0].m_Entries.at(0).m_nMirrorX, 1);
  EXPECT_EQ(g_Database.m_SwordTypes[0].m_Entries.at(0).m_nTime, 1);
  for (size_t n : {g_Database.m_CharaExcs.size(), g_Database.m_Effects.size(), g_Database.m_CharaEffects.size(),
                   g_Database.m_ScrEffects.size(), g_Database.m_Pictures.size(), g_Database.m_Sounds.size(),
                   g_Database.m_Bgms.size()})
    EXPECT_EQ(n, 2u);
  EXPECT_EQ(g_Database.m_Bgms[1].m_nVolume, 100);
  EXPECT_EQ(g_Database.m_Effects[1].m_nFrameWidth, 32);
}

TEST_F(DatabaseTest, LoadsTheTenFilesAndBuildsFrameLists) {
  std::vector<cAnimeData> animes(3);
  animes[0].m_Frames.resize(2);
  animes[0].m_Frames[1].m_nTime = 5;
  animes[2].m_Frames.resize(3);
  for (int k = 0; k < 3; ++k) {
    animes[2].m_Frames[k].m_nPattern = 10 + k;
    animes[2].m_Frames[k].m_nTime = 10;
    animes[2].m_Frames[k].m_nEndFlag = k == 1 ? 1 : 0;
  }
  SetFile(F_ANIME, animes);
  std::vector<cCharaEffectDef> charaEffects(3);
  charaEffects[0].m_nKind = 5;
  charaEffects[2].m_nKind = 5;
  SetFile(F_CHARAEFFECT, charaEffects);
  std::vector<cEffectDef> effects(2);
  effects[1].m_Frames.resize(4);
  effects[1].m_Frames[1].m_nTime = 2;
  // Durations no project uses: the frame counts saturate instead of overflowing.
  effects[1].m_Frames[2].m_nTime = 0x40000000;
  effects[1].m_Frames[3].m_nTime = INT32_MIN;
  SetFile(F_EFFECT, effects);
  std::vector<cSoundDef> sounds(5);
  sounds[4].m_strFile = "wave\\a.wav";
  SetFile(F_SOUND, sounds);
  m_Files[F_BGM] = LeWriter().I32(DATA_VERSION).I32(-1);  // keeps the defaults

  ASSERT_EQ(Load(), 1);
  EXPECT_TRUE(m_Boxes.Boxes().empty());
  EXPECT_EQ(g_Database.m_Animes.size(), 3u);
  EXPECT_EQ(g_Database.m_Sounds.size(), 5u);
  EXPECT_EQ(g_Database.m_Sounds[4].m_strFile, "wave\\a.wav");
  EXPECT_EQ(g_Database.m_Bgms.size(), 2u);
  EXPECT_EQ(g_Database.m_CharaEffects[0].m_nKind, 0);
  EXPECT_EQ(g_Database.m_CharaEffects[2].m_nKind, 5);

  BuildAnimeTables(g_AnimeTable);
  ASSERT_EQ(g_AnimeTable.size(), 3u);
  auto entries = [](const ANIMEFRAMELIST& list) {
    std::vector<std::array<int32_t, 3>> out;
    for (const ANIMEFRAME& f : list) out.push_back({f.nPattern, f.nFrames, f.nHold});
    return out;
  };
  using Rows = std::vector<std::array<int32_t, 3>>;
  EXPECT_EQ(entries(g_AnimeTable[0]), (Rows{{0, 0, 1}, {0, 0, 1}, {-2, 0, 1}}));
  EXPECT_EQ(entries(g_AnimeTable[1]), (Rows{{0, 0, 0}, {-4, 0, 0}}));
  EXPECT_EQ(entries(g_AnimeTable[2]), (Rows{{10, 60, 0}, {11, 60, 1}, {12, 60, 1}, {-4, 0, 0}}));
  BuildEffectTables(g_EffectAnimeTable);
  ASSERT_EQ(g_EffectAnimeTable.size(), 2u);
  EXPECT_EQ(entries(g_EffectAnimeTable[0]), (Rows{{0, 0, 1}, {-2, 0, 1}}));
  EXPECT_EQ(entries(g_EffectAnimeTable[1]),
            (Rows{{0, 0, 0}, {0, 12, 0}, {0, INT32_MAX, 0}, {0, INT32_MIN, 0}, {-4, 0, 0}}));

  struct State {
    int nDef = -1, nRev = -1;
    void Prepare(int n, int rev) { (rev ? nRev : nDef) = n; }
  };
  cSafeVector<State> forward, reversed;
  BuildCharaEffectStates(forward, reversed);
  ASSERT_EQ(forward.size(), 3u);
  EXPECT_EQ(forward[2].nDef, 2);
  EXPECT_EQ(reversed[2].nRev, 2);
}

TEST_F(DatabaseTest, OldSwordTypeFilesKeep128) {
  struct Case {
    int nVersion, nStored, nKept;
  } cases[] = {{827, 200, 128}, {828, 200, 200}, {827, 100, 100}};
  for (const Case& c : cases) {
    g_Database.SetDefault();
    SetFile(F_SWORD, std::vector<cSwordType>(static_cast<size_t>(c.nStored)), c.nVersion);
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(g_Database.m_SwordTypes.size(), static_cast<size_t>(c.nKept)) << c.nVersion;
  }
}

TEST_F(DatabaseTest, FailuresStopTheLoadWithTheirMessage) {
  struct Case {
    const char* what;
    LeWriter file;
    const char* text;
  } cases[] = {
      {"missing", LeWriter(), "data\\database\\Picture.dat の読み込みに失敗しました！"},
      {"newer", LeWriter().I32(903).I32(0),
       "data\\database\\Picture.dat "
       "の読み込みに失敗しました！\n実行ファイル(.exe)より上位のバージョンのファイルは使用できません。"},
      {"huge count", LeWriter().I32(DATA_VERSION).I32(0x40000000).I32(0),
       "data\\database\\Picture.dat の読み込みに失敗しました！"},
      {"short body", LeWriter().I32(DATA_VERSION).I32(1).I32(1).I32(5),
       "data\\database\\Picture.dat の読み込みに失敗しました！"},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    g_Database.SetDefault();
    m_Boxes.Clear();
    m_pDir = std::make_unique<TempDir>();
    std::vector<cSoundDef> sounds(4);
    SetFile(F_SOUND, sounds);
    m_Files[F_PICTURE] = c.file;
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(BoxText(), c.text);
    EXPECT_EQ(m_Boxes.Boxes().back().caption, "エラー");
    EXPECT_EQ(g_Database.m_Pictures.size(), 2u);
    EXPECT_EQ(g_Database.m_Sounds.size(), 2u);  // never reached
  }
}

}  // namespace
