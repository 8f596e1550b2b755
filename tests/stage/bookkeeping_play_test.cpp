// The sub-step bookkeeping in a played stage: the time limit counting down whole seconds, the play
// clock and its cap, characters removed or killed when their HP ran out, and which characters
// are active, on screen and acting.
#include <gtest/gtest.h>

#include <string>

#include "persist/save_data.h"
#include "persist/system_data.h"
#include "flow/cmd_state.h"
#include "stage/bookkeeping.h"
#include "stage/chara.h"
#include "stage/item.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/scoped_value.h"
#include "support/stage_harness.h"
#include "cmd_builders.h"
#include "play_constants.h"
#include "timed_command.h"

namespace t4::test {
namespace {

cStage WalkersRow(int level = 11) {
  std::string row(48, '.');
  row[1] = 'H';
  row[5] = row[11] = row[47] = 'w';
  return WithPlainBodies(StageFromRows({std::string(48, '.'), row, std::string(48, '#')}), level);
}

TEST(BookkeepingPlayTest, TimeLimitCountsWholeSecondsThenKillsTheHero) {
  // Four sub-steps a frame: the limit still counts frames, 60 to the second.
  cStage stage = WalkersRow(14);
  stage.m_nTimeLimitOn = 1;
  stage.m_nTimeLimit = 2;
  StageHarness h;
  h.Start(stage);
  ASSERT_GE(h.RunUntilState(PLAY_STATE), 0);
  EXPECT_EQ(h.Scene().m_nTimeLeft, 2);
  h.Frames(59);
  EXPECT_EQ(h.Scene().m_nTimeLeft, 2);
  h.Frame();
  EXPECT_EQ(h.Scene().m_nTimeLeft, 1);
  h.Frames(59);
  EXPECT_EQ(h.Hero().m_bDead, 0);
  h.Frame();
  EXPECT_EQ(h.Scene().m_nTimeLeft, 0);
  EXPECT_EQ(h.Hero().m_bDead, 1);
}

TEST(BookkeepingPlayTest, PlayClockInHundredthsStopsAtItsCap) {
  StageHarness h;
  h.Start(WalkersRow(13));
  ASSERT_GE(h.RunUntilState(PLAY_STATE), 0);
  h.Frames(3);
  EXPECT_EQ(h.Scene().m_nPlayTime, 5);
  h.Frames(57);
  EXPECT_EQ(h.Scene().m_nPlayTime, 100);
  EXPECT_EQ(h.Scene().m_nSubStepCount, 180);
  // 99:59.99 is the most it shows; it never wraps.
  h.Scene().m_nFrameCounter = 359998;
  h.Frame();
  EXPECT_EQ(h.Scene().m_nPlayTime, 599998);
  h.Frames(3);
  EXPECT_EQ(h.Scene().m_nPlayTime, 599999);
  EXPECT_EQ(h.Scene().m_nFrameCounter, 360000);
}

TEST(BookkeepingPlayTest, HpRunOutAndVanishedCharactersLeave) {
  cStage stage = WalkersRow();
  stage.m_CharaPlaces.At(1).m_nScore = 40;
  stage.m_CharaPlaces.At(2).m_nScore = 70;
  // The hero's flow vanishes faction 2, the second walker alone, which asks for the HP check.
  stage.m_CharaPlaces.At(2).m_cLayer = 2;
  stage.m_CharaPlaces.At(0).m_Flows.push_back(Once({CommandOf(CMD_VANISH, {VANISH_GROUP_CHARAS, 2, 1})}));
  StageHarness h;
  ScopedValue<int32_t> removeKilled(g_SystemData.m_bOption272, 0);
  h.Start(stage);
  ASSERT_GE(h.RunUntilState(PLAY_STATE), 0);
  std::vector<cChara*> cs = h.Charas();
  ASSERT_EQ(cs.size(), 3u);
  // The first ran out of HP: it dies with its score. The second vanishes: no score.
  cs[0]->m_nHp = 0;
  h.Frame();
  EXPECT_EQ(h.Charas().size(), 1u);
  EXPECT_EQ(h.Charas().at(0), cs[2]);
  EXPECT_EQ(g_SaveData.m_nStageScore, 40);
  EXPECT_EQ(h.Scene().m_bHpChanged, 0);
  EXPECT_EQ(h.Hero().m_bDead, 0);
}

TEST(BookkeepingPlayTest, TheHpChangedFlagLastsOnlyUntilTheNextFlowRun) {
  // Three walkers in list order: B and A of faction 2, C of faction 3. A's flow vanishes
  // faction 2, itself included, so A leaves at once and its HP check never runs. C's flow run
  // starts afresh: no HP check follows it, and B, whose own flow keeps running, leaves on its own
  // next run, in the second frame.
  std::string row(20, '.');
  row[1] = 'H';
  row[5] = row[8] = row[11] = 'w';
  cStage stage = WithPlainBodies(StageFromRows({std::string(20, '.'), row, std::string(20, '#')}));
  stage.m_CharaPlaces.At(1).m_Flows.push_back(Once({}));
  stage.m_CharaPlaces.At(2).m_Flows.push_back(Once({CommandOf(CMD_VANISH, {VANISH_GROUP_CHARAS, 2, 1})}));
  const int8_t factions[] = {2, 2, 3};
  for (int i = 0; i < 3; ++i) stage.m_CharaPlaces.At(i + 1).m_cLayer = factions[i];
  StageHarness h;
  h.Start(stage);
  ASSERT_GE(h.RunUntilState(PLAY_STATE), 0);
  const std::vector<cChara*> cs = h.Charas();
  ASSERT_EQ(cs.size(), 3u);
  h.Frame();
  ASSERT_EQ(h.Charas(), (std::vector<cChara*>{cs[0], cs[2]}));
  EXPECT_EQ(cs[0]->m_bVanish, 1);
  h.Frame();
  EXPECT_EQ(h.Charas(), std::vector<cChara*>{cs[2]});
}

TEST(BookkeepingPlayTest, AnAllyWhoseHpRanOutKillsTheHero) {
  StageHarness h;
  h.Start(WalkersRow());
  ASSERT_GE(h.RunUntilState(PLAY_STATE), 0);
  // A character on the hero's side (as a summon of the hero is).
  cChara* ally = h.Charas().at(0);
  ally->m_nSide = 0;
  ally->m_nHp = 0;
  h.Scene().m_bHpChanged = 1;
  h.Frame();
  EXPECT_EQ(h.Hero().m_bDead, 1);
}

TEST(BookkeepingPlayTest, OnlyCharactersInViewAct) {
  StageHarness h;
  h.Start(WalkersRow());
  ASSERT_GE(h.RunUntilState(PLAY_STATE), 0);
  h.Frame();
  std::vector<cChara*> cs = h.Charas();
  ASSERT_EQ(cs.size(), 3u);
  // Columns 5 and 11 are in the 640-dot view, column 48 is not.
  EXPECT_EQ(cs[0]->m_bActive, 1);
  EXPECT_EQ(cs[0]->m_bOnScreen, 1);
  EXPECT_EQ(cs[0]->m_bActing, 1);
  EXPECT_EQ(cs[2]->m_bActive, 1);
  EXPECT_EQ(cs[2]->m_bOnScreen, 0);
  EXPECT_EQ(cs[2]->m_bActing, 0);
  EXPECT_EQ(h.Hero().m_bActive, 1);
  EXPECT_EQ(h.Hero().m_bOnScreen, 1);
}

int NeverAppear(const cSafeVector<cCond>&, int, int, int8_t&, cCharaBase&) { return 0; }

class ScopedAppearCheck {
 public:
  explicit ScopedAppearCheck(AppearCondCheck check) : m_Previous(SetAppearCondCheck(check)) {}
  ~ScopedAppearCheck() { SetAppearCondCheck(m_Previous); }
  ScopedAppearCheck(const ScopedAppearCheck&) = delete;
  ScopedAppearCheck& operator=(const ScopedAppearCheck&) = delete;

 private:
  AppearCondCheck m_Previous;
};

TEST(BookkeepingPlayTest, ObjectsWhoseAppearanceConditionsFailAreNeitherActiveNorOnScreen) {
  // The first character and the item have a condition that fails; the others have none.
  std::string row(48, '.');
  row[1] = 'H';
  row[5] = row[7] = 'w';
  row[3] = 'c';
  cStage stage = WithPlainBodies(StageFromRows({std::string(48, '.'), row, std::string(48, '#')}));
  stage.m_CharaPlaces.At(1).m_Conds.push_back(cCond());
  stage.m_ItemPlaces.At(0).m_Conds.push_back(cCond());
  ScopedAppearCheck never(NeverAppear);
  StageHarness h;
  h.Start(stage);
  ASSERT_GE(h.RunUntilState(PLAY_STATE), 0);
  std::vector<cChara*> cs = h.Charas();
  ASSERT_EQ(cs.size(), 2u);
  ASSERT_EQ(cs[0]->m_Def.m_Conds.size(), 1u);
  h.Frame();
  EXPECT_EQ(cs[0]->m_bActive, 0);
  EXPECT_EQ(cs[0]->m_bOnScreen, 0);
  EXPECT_EQ(cs[0]->m_bActing, 0);
  EXPECT_EQ(cs[1]->m_bActive, 1);
  EXPECT_EQ(cs[1]->m_bOnScreen, 1);
  ASSERT_EQ(g_ItemList.size(), 1u);
  EXPECT_EQ(g_ItemList.front().m_bActive, 0);
  EXPECT_EQ(g_ItemList.front().m_bOnScreen, 0);
}

}  // namespace
}  // namespace t4::test
