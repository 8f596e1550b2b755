// Setting up an item: its box centred in the cell from the stage's item size, a size of 0 taken
// as 1, carried items active at once and unscaled, and the position on a tile.
#include "chara_fixture.h"
#include "stage/chara_items.h"
#include "stage/item.h"
#include "stage_hooks.h"

namespace t4::test {
namespace {

class ItemTest : public CharaStage {
 protected:
  void SetUp() override {
    MakeStage(30, 20, 0.4, 1);
    g_Stage.m_ItemBox[0] = 20;
    g_Stage.m_ItemBox[1] = 24;
  }
};

TEST_F(ItemTest, BoxIsCentredInItsCellAndPlacedOnTheTile) {
  cItemDef def;
  def.m_sGraphicNo = 3;
  def.m_cSize = 0;
  cItem item;
  item.Setup(7, def, 0);
  EXPECT_EQ(item.m_Def.m_cSize, 1);
  EXPECT_EQ(item.m_nId, 7);
  EXPECT_EQ(item.m_nHitWidth, 20);
  EXPECT_EQ(item.m_nHitHeight, 24);
  // 16 - 20 / 2 = 6 and 16 - 24 / 2 = 4.
  EXPECT_EQ(item.m_nDrawOffsetX, 6);
  EXPECT_EQ(item.m_nDrawOffsetY, 4);
  EXPECT_EQ(item.m_bActive, 0);
  EXPECT_EQ(item.m_bFly, 1);
  // Tile (3, 4): grid dots 416 and 448, plus the offsets.
  item.SetBlockPos(3, 4, 1);
  EXPECT_EQ(item.m_dX, 422.5);
  EXPECT_EQ(item.m_dY, 452);
  EXPECT_EQ(item.m_dRight, 441.5);
  EXPECT_EQ(item.m_dBottom, 475);
}

TEST_F(ItemTest, CarriedItemIsActiveAndUnscaled) {
  cItemDef def;
  def.m_sGraphicNo = 3;
  def.m_cSize = 2;
  cItem carried;
  carried.Setup(1, def, 1);
  EXPECT_EQ(carried.m_bActive, 1);
  EXPECT_EQ(carried.m_nHitWidth, 20);
  cItem lying;
  lying.Setup(2, def, 0);
  EXPECT_EQ(lying.m_nHitWidth, 40);
  EXPECT_EQ(lying.m_nHitHeight, 48);
}

int Five(cCharaBase&, cFlowCommand&) { return 5; }

TEST_F(ItemTest, EmptyUntakableOrInactiveItemsGiveNothing) {
  cHero& hero = AddHero(WalkerDef(0), TileDot(1), TileDot(5));
  ScopedItemCmd five(2, Five);
  struct Case {
    int graphic, mode, carried, result;
  } cases[] = {{3, 0, 1, 5}, {3, 1, 1, 5}, {0, 0, 1, 0}, {3, 2, 1, 0}, {3, 0, 0, 0}};
  for (const Case& k : cases) {
    cItemDef def;
    def.m_sGraphicNo = static_cast<int16_t>(k.graphic);
    def.m_cTakeMode = static_cast<int8_t>(k.mode);
    cFlowCommand lose;
    lose.m_cCategory = 1;
    lose.m_cKind = 2;
    def.m_Cmds.push_back(lose);
    cItem item;
    item.Setup(1, def, k.carried);
    EXPECT_EQ(TakeItem(&item, &hero), k.result) << k.graphic << " " << k.mode << " " << k.carried;
  }
  EXPECT_EQ(TakeItem(nullptr, &hero), 0);
}

}  // namespace
}  // namespace t4::test
