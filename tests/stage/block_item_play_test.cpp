// A block that holds an item, in a played stage: the hero standing on it is handed the item once,
// then again only after a second of frames, whatever the number of physics sub-steps a frame.
#include <gtest/gtest.h>

#include "data/flow_command.h"
#include "data/palette.h"
#include "stage/block_collision.h"
#include "stage/hero.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"
#include "stage_hooks.h"
#include "play_constants.h"

namespace t4::test {
namespace {

int g_nBlockItemTakes = 0;
int CountBlockItemTake(cCharaBase&, cFlowCommand&) { return ++g_nBlockItemTakes, 0; }

TEST(BlockItemPlayTest, AHeroStandingOnAnItemBlockIsPaidOncePerSecond) {
  struct Case {
    int level;   // collision level: 11 and 12 give 1 and 2 sub-steps, 3 gives 3
    int frames;  // frames stood on the block
    int takes;   // one at the first frame, then one every 60 frames
  };
  const Case cases[] = {{11, 120, 2}, {12, 120, 2}, {3, 120, 2}, {11, 121, 3}, {3, 60, 1}};
  for (const Case& c : cases) {
    StageHarness h;
    h.Start(WithPlainBodies(StageFromRows({
                                "........",
                                "..H.....",
                                "########",
                            }),
                            c.level));
    ASSERT_GE(h.RunUntilState(PLAY_STATE), 0);
    cHero& hero = h.Hero();
    for (int f = 0; f < 60 && hero.m_pStandBlock == NO_BLOCK; ++f) h.Frame();  // settle on the floor
    ASSERT_NE(hero.m_pStandBlock, NO_BLOCK);
    ASSERT_EQ(hero.m_nBlockItemCooldown, 0);

    // The block under the hero holds item 0 of the common palette, whose command counts the takes.
    const cSafeVector<cItemDef> saved = g_CommonPalette.m_Items;
    cItemDef item;
    item.m_sGraphicNo = 1;  // an item without a picture is never taken
    cFlowCommand count;
    count.m_cCategory = 1;
    count.m_cKind = 2;
    item.m_Cmds.push_back(count);
    g_CommonPalette.m_Items.assign(1, item);
    cMapCell& block = g_MapGrid.At(hero.m_pStandBlock);
    block.m_cItemKind = PALKIND_COMMON;
    block.m_sItemIndex = 0;

    g_nBlockItemTakes = 0;
    {
      ScopedItemCmd counting(2, CountBlockItemTake);
      h.Frames(c.frames);
    }
    g_CommonPalette.m_Items = saved;
    EXPECT_EQ(g_nBlockItemTakes, c.takes) << "level " << c.level << ", " << c.frames << " frames";
    EXPECT_NE(hero.m_pStandBlock, NO_BLOCK) << c.level;
  }
}

}  // namespace
}  // namespace t4::test
