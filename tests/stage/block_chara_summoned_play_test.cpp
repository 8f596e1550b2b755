// A block character summoned into a stage that had none when it was set up: the walkers' block
// character passes must find it from the moment it exists.
// One sub-step a frame, gravity 1.
#include <gtest/gtest.h>

#include "data/ed_shot.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"
#include "play_constants.h"

namespace t4::test {
namespace {

cStage Prepared() {
  cStage stage = StageFromRows({
      "..............................",
      "..H...........................",
      "..............................",
      "..............................",
      "..............................",
      "..............................",
  });
  return WithPlainBodies(stage);
}

TEST(BlockCharaSummonedPlayTest, HeroLandsOnlyOnASummonedBlockCharacter) {
  struct Case {
    const char* name;
    int8_t block;
    bool lands;
  };
  const Case cases[] = {{"block character", 1, true}, {"plain flier", 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StageHarness h;
    h.Start(Prepared());
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
    ASSERT_TRUE(h.Charas().empty());
    cCharaDef def = StageFromRows({"f"}).m_CharaPlaces.At(0);
    def.m_cFlight = 1;
    def.m_cBlockChara = c.block;
    def.m_cActiveRange = 3;
    cEdShot record;
    cScenePlay& scene = h.Scene();
    // Under the hero, in stage cell (2, 3): grid dots (384, 416).
    scene.SpawnSummonedChara(g_CharaList, 384, 416, 1, 0, record, def, scene.m_nCharaIdCount, &h.Hero());
    ASSERT_EQ(h.Charas().size(), 1u);
    const cChara& k = *h.Charas()[0];
    const double top = k.m_dY;
    h.Frames(20);
    cHero& hero = h.Hero();
    if (c.lands) {
      EXPECT_EQ(hero.m_dBottom, top - 1);
      EXPECT_EQ(hero.m_bRideChara, 1);
      EXPECT_EQ(hero.m_nRideCharaId, k.m_nId);
    } else {
      EXPECT_GT(hero.m_dBottom, top + 16);
      EXPECT_EQ(hero.m_bRideChara, 0);
    }
  }
}

}  // namespace
}  // namespace t4::test
