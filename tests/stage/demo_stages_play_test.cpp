// The demo's later stages and its challenge stages played from their start to their clear with the
// key streams of demo_plays.h: each ends cleared on its exact frame, with its score, and the
// stages with a boss are cleared by beating it.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "persist/save_data.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "support/demo_plays.h"
#include "support/stage_harness.h"

namespace t4::test {

// Test names and failures show the stage a play is of.
void PrintTo(const DemoPlay& play, std::ostream* os);
void PrintTo(const DemoPlay& play, std::ostream* os) { *os << play.stage; }

namespace {

bool IsBoss(const cChara* c) { return c->m_Def.m_Name == "魔王"; }

class DemoStagePlay : public ::testing::TestWithParam<DemoPlay> {};

TEST_P(DemoStagePlay, KeyStreamClearsTheStageOnItsFrame) {
  const DemoPlay& play = GetParam();
  StageHarness h;
  ASSERT_TRUE(h.StartFile(play.stage));
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  bool bossSeen = false;
  int frame = 0;
  for (const KeyFrame& k : KeysFromScript(play.keys)) {
    h.Frame(k.dir, k.buttons);
    ++frame;
    for (const cChara* c : h.Charas()) bossSeen = bossSeen || IsBoss(c);
    // A death would send the hero back to the start: the stream must never need one.
    ASSERT_FALSE(h.Hero().m_bDead) << "frame " << frame;
    if (h.State() != PLAY_PLAY) break;
  }
  EXPECT_EQ(h.State(), PLAY_STAGE_END);
  EXPECT_EQ(frame, play.clearFrame);
  EXPECT_EQ(g_SaveData.m_nStageScore, play.stageScore);
  if (play.boss) {
    // The boss was met and is gone: its death cleared the stage.
    EXPECT_TRUE(bossSeen);
    for (const cChara* c : h.Charas()) EXPECT_FALSE(IsBoss(c) && c->m_nHp > 0);
  }
  EXPECT_EQ(h.CloseRequests(), 0);
  EXPECT_TRUE(h.Boxes().Boxes().empty());
}

std::string PlayName(const ::testing::TestParamInfo<DemoPlay>& info) {
  std::string name = info.param.stage;
  name = name.substr(name.rfind('\\') + 1);
  name = name.substr(0, name.find('.'));
  for (char& c : name)
    if (c == '-') c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Demo, DemoStagePlay, ::testing::ValuesIn(DemoPlays()), PlayName);

}  // namespace
}  // namespace t4::test
