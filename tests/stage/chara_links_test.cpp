// The basic animation set of a character and the running animations flows start on top of it:
// which one is drawn, pausing, resuming and removing them; and shot links cleared on removal.
#include "chara_fixture.h"
#include "data/database.h"
#include "stage/chara_links.h"
#include "stage/chara.h"
#include "stage/scene_play.h"
#include "stage/shot.h"
#include "support/scoped_value.h"
#include "support/stage_harness.h"

namespace t4::test {
namespace {

// One animation of the given patterns, each shown for `tenths` tenths of a second.
cAnimeData Anime(std::initializer_list<int> patterns, int tenths) {
  cAnimeData a;
  a.m_Frames.clear();
  for (int p : patterns) {
    cAnimeFrameData f;
    f.m_nPattern = p;
    f.m_nTime = tenths;
    a.m_Frames.push_back(f);
  }
  return a;
}

RUNNINGANIME Running(int pattern, int scheduled, int wait, int serial, int anime = 0) {
  RUNNINGANIME r;
  cSafeVector<ANIMEFRAMELIST> table(1);
  table[0] = {ANIMEFRAME{pattern, 100, 0}, ANIMEFRAME{-4, 0, 1}};
  r.m_Anime.SetTable(table);
  r.m_nAnime = anime;
  r.m_bScheduled = scheduled;
  r.m_nWait = wait;
  r.m_nFlowSerial = serial;
  return r;
}

class CharaLinksTest : public CharaStage {
 protected:
  void SetUp() override {
    MakeStage(30, 20, 0.4, 1);
    cAnimeSet walk;
    walk.m_Animes = {Anime({5, 6}, 1), Anime({7}, 1), Anime({8, 9}, 2)};
    cAnimeSet small;
    small.m_Animes = {Anime({11, 12}, 1)};
    g_Database.m_AnimeSets = {walk, small};
  }
  void TearDown() override {
    g_Database.m_AnimeSets.clear();
    CharaStage::TearDown();
  }
};

TEST_F(CharaLinksTest, AnimationSetFillsThePlayerAndKeepsOrRestartsIt) {
  cChara& c = AddChara(WalkerDef(), TileDot(5), TileDot(5));
  c.SetAnimeSet(0, 1);
  ASSERT_EQ(c.m_Anime.m_Table.size(), 3u);
  // Animation 2: pattern 8 for 12 frames, 9 for 12, then back to the first entry.
  EXPECT_EQ(c.m_Anime.m_Table[2].size(), 3u);
  EXPECT_EQ(c.m_Anime.m_Table[2][0].nFrames, 12);
  EXPECT_EQ(c.m_Anime.m_Table[2][2].nPattern, ANIME_LOOP);
  c.m_Anime.Set(2, 1);
  for (int i = 0; i < 12; ++i) c.m_Anime.Update();
  EXPECT_EQ(c.m_Anime.GetPattern(), 9);
  c.SetAnimeSet(0, 0);
  EXPECT_EQ(c.m_Anime.GetPattern(), 9);
  c.SetAnimeSet(0, 1);
  EXPECT_EQ(c.m_Anime.m_nAnime, 2);
  EXPECT_EQ(c.m_Anime.GetPattern(), 8);
}

TEST_F(CharaLinksTest, ShortOrMissingSetsDoNotIndexPastTheirEnd) {
  cChara& c = AddChara(WalkerDef(), TileDot(5), TileDot(5));
  c.SetAnimeSet(0, 1);
  c.m_Anime.Set(2, 1);
  // The small set has one animation: the player falls back to it.
  c.SetAnimeSet(1, 1);
  EXPECT_EQ(c.m_Anime.m_nAnime, 0);
  EXPECT_EQ(c.GetCurrentPattern(0), 11);
  // With no sets at all the player is left empty and shows pattern 0.
  g_Database.m_AnimeSets.clear();
  EXPECT_NO_THROW(c.SetAnimeSet(0, 1));
  EXPECT_TRUE(c.m_Anime.m_Table.empty());
  EXPECT_EQ(c.GetCurrentPattern(0), 0);
}

TEST_F(CharaLinksTest, WhichRunningAnimationIsDrawn) {
  cChara& c = AddChara(WalkerDef(), TileDot(5), TileDot(5));
  c.SetAnimeSet(0, 1);
  c.m_Anime.Set(0, 1);
  EXPECT_EQ(c.GetCurrentPattern(1), 5);
  // Two of the play command: the later started (front) one.
  c.m_RunningAnimes.push_front(Running(40, 0, 0, -1));
  c.m_RunningAnimes.push_front(Running(41, 0, 0, -1));
  EXPECT_EQ(c.GetCurrentPattern(1), 41);
  // A scheduled cue whose count is still positive replaces it.
  c.m_RunningAnimes.push_back(Running(50, 1, 3, 9));
  EXPECT_EQ(c.GetCurrentPattern(1), 50);
  // Among scheduled cues that ran out, the one with the count nearest 0.
  c.m_RunningAnimes.push_back(Running(51, 1, -2, 9));
  c.m_RunningAnimes.push_back(Running(52, 1, 0, 9));
  c.m_RunningAnimes.push_back(Running(53, 1, -1, 9));
  EXPECT_EQ(c.GetCurrentPattern(1), 52);
  // All paused: the basic animation.
  for (RUNNINGANIME& r : c.m_RunningAnimes) r.m_bPaused = 1;
  EXPECT_EQ(c.GetCurrentPattern(1), 5);
}

TEST_F(CharaLinksTest, PauseResumeAndRemoveByFlowOrAnimation) {
  cChara& c = AddChara(WalkerDef(), TileDot(5), TileDot(5));
  c.m_RunningAnimes.push_back(Running(40, 1, 2, 7, 3));
  RUNNINGANIME spent = Running(41, 1, 0, 7, 4);
  spent.m_nHold = 0;  // hold + count - 1 < 0: nothing left to show
  c.m_RunningAnimes.push_back(spent);
  c.m_RunningAnimes.push_back(Running(42, 0, 0, 8, 3));
  c.PauseAnimeOfFlow(7);
  ASSERT_EQ(c.m_RunningAnimes.size(), 2u);
  EXPECT_EQ(c.m_RunningAnimes.front().m_bPaused, 1);
  EXPECT_EQ(c.m_RunningAnimes.back().m_bPaused, 0);
  c.ResumeAnimeOfFlow(7);
  EXPECT_EQ(c.m_RunningAnimes.front().m_bPaused, 0);
  c.RemoveAnime(3);
  EXPECT_TRUE(c.m_RunningAnimes.empty());
  c.m_RunningAnimes.push_back(Running(43, 1, 2, 5));
  c.m_RunningAnimes.push_back(Running(44, 1, 2, 6));
  c.RemoveAnimeOfFlow(5);
  ASSERT_EQ(c.m_RunningAnimes.size(), 1u);
  EXPECT_EQ(c.m_RunningAnimes.front().m_nFlowSerial, 6);
}

TEST_F(CharaLinksTest, FinishedRunningAnimationsLeave) {
  cChara& c = AddChara(WalkerDef(), TileDot(5), TileDot(5));
  c.SetAnimeSet(0, 1);
  c.m_Anime.Set(0, 1);
  RUNNINGANIME r;
  cSafeVector<ANIMEFRAMELIST> table(1);
  table[0] = {ANIMEFRAME{40, 2, 0}, ANIMEFRAME{-4, 0, 1}};
  r.m_Anime.SetTable(table);
  r.m_nWait = 5;
  c.m_RunningAnimes.push_back(r);
  EXPECT_EQ(c.GetCurrentPattern(0), 40);
  EXPECT_EQ(c.m_RunningAnimes.front().m_nWait, 4);
  // The second update reaches the end marker: the entry goes and the basic animation shows.
  EXPECT_EQ(c.GetCurrentPattern(0), 5);
  EXPECT_TRUE(c.m_RunningAnimes.empty());
}

TEST_F(CharaLinksTest, RemovedCharacterLeavesItsShotsWithoutPointers) {
  cChara& shooter = AddChara(WalkerDef(), TileDot(5), TileDot(5));
  cChara& target = AddChara(WalkerDef(), TileDot(9), TileDot(5));
  cShot shot;
  shot.m_pShooter = &shooter;
  shot.m_pTarget = &target;
  shooter.m_ShotLinks.push_back({&shot, SHOTLINK_SHOOTER});
  target.m_ShotLinks.push_back({&shot, SHOTLINK_TARGET});
  target.DetachLinks();
  EXPECT_EQ(shot.m_pTarget, nullptr);
  EXPECT_EQ(shot.m_pShooter, &shooter);
  shooter.DetachLinks();
  EXPECT_EQ(shot.m_pShooter, nullptr);
  EXPECT_TRUE(shooter.m_ShotLinks.empty());
}

TEST(CharaAnimeSetPlayTest, SetShorterThanTheBasicAnimationsShowsItsFirst) {
  // A walking character starts on animation 1 and its flows pick 0 to 3; the project's only set
  // has one animation. The stage plays on (nothing asks to close) and shows that animation.
  StageHarness h;
  cAnimeSet one;
  one.m_Animes = {Anime({4}, 1)};
  ScopedValue<cSafeVector<cAnimeSet>> sets(g_Database.m_AnimeSets, cSafeVector<cAnimeSet>{one});
  cStage stage = StageFromRows({
      "............",
      ".H....w.....",
      "############",
  });
  stage.m_dGravity = 1.0;
  h.Start(stage);
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  h.Frames(10);
  ASSERT_EQ(h.Charas().size(), 1u);
  const cChara& w = *h.Charas().at(0);
  EXPECT_EQ(w.m_Anime.GetPattern(), 4);
  EXPECT_EQ(h.Hero().m_Anime.GetPattern(), 4);
  EXPECT_EQ(h.CloseRequests(), 0);
}

}  // namespace
}  // namespace t4::test
