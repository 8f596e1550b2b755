// The character base: reset, links and their safety across copies, the hit box in the cell,
// keeping the feet on a size change and placing by the screen centre.
#include "chara_fixture.h"

namespace t4::test {
namespace {

class CharaBaseTest : public CharaStage {
 protected:
  void SetUp() override { MakeStage(30, 20, 0.4, 1); }
};

TEST_F(CharaBaseTest, ResetSizesTheVectorsExactlyEveryTime) {
  cChara& c = AddChara(WalkerDef(), TileDot(5), TileDot(5));
  c.m_Vars.resize(20);
  c.m_GroupRunning.resize(3);
  cCharaDef def = WalkerDef();
  def.m_nMaxHp = 7;
  def.m_nMaxSp = 3;
  c.Reset(&def, 1, 2, 0);
  c.Reset(&def, 1, 2, 0);
  EXPECT_EQ(c.m_Targets.size(), 4u);
  EXPECT_EQ(c.m_GroupRunning.size(), 27u);
  EXPECT_EQ(c.m_GroupEnded.size(), 27u);
  EXPECT_EQ(c.m_GroupStarted.size(), 27u);
  EXPECT_EQ(c.m_Vars.size(), 9u);
  EXPECT_EQ(c.m_nHp, 7);
  EXPECT_EQ(c.m_nSp, 3);
  EXPECT_EQ(c.m_nLastBlockSide, -1);
  EXPECT_EQ(c.m_bAirborne, 1);
  // Without a definition the previous one stays and HP and SP are 0.
  c.Reset(nullptr, 0, 0, 0);
  EXPECT_EQ(c.m_Def.m_nMaxHp, 7);
  EXPECT_EQ(c.m_nHp, 0);
  EXPECT_EQ(c.m_nSp, 0);
}

TEST_F(CharaBaseTest, InitLinksAddsEachBackLinkOnce) {
  cHero& hero = AddHero(WalkerDef(0), TileDot(1), TileDot(1));
  cChara& owner = AddChara(WalkerDef(), TileDot(5), TileDot(5));
  cChara& c = AddChara(WalkerDef(), TileDot(7), TileDot(5));
  c.InitLinks(&owner);
  c.InitLinks(&owner);
  EXPECT_EQ(c.m_Targets[0], &hero);
  EXPECT_EQ(c.m_pOwner, &owner);
  ASSERT_EQ(hero.m_BackLinks.size(), 1u);
  EXPECT_EQ(hero.m_BackLinks[0].pChara, &c);
  EXPECT_EQ(hero.m_BackLinks[0].nSlot, 0);
  ASSERT_EQ(owner.m_BackLinks.size(), 1u);
  EXPECT_EQ(owner.m_BackLinks[0].nSlot, 4);
}

TEST_F(CharaBaseTest, DetachLeavesNoPointerToTheCharacter) {
  cChara& a = AddChara(WalkerDef(), TileDot(1), TileDot(5));
  cChara& b = AddChara(WalkerDef(), TileDot(3), TileDot(5));
  cChara& summoned = AddChara(WalkerDef(), TileDot(5), TileDot(5));
  cChara& x = AddChara(WalkerDef(), TileDot(7), TileDot(5));
  // x is target 1 of a and b and the owner of `summoned`; x targets a in slot 2.
  for (cChara* holder : {&a, &b}) {
    holder->m_Targets[0] = &x;
    x.m_BackLinks.push_back({holder, 0});
  }
  summoned.m_pOwner = &x;
  x.m_BackLinks.push_back({&summoned, 4});
  x.m_BackLinks.push_back({&b, 9});  // not a slot: dropped without touching b
  x.m_Targets[2] = &a;
  a.m_BackLinks.push_back({&x, 2});
  x.DetachLinks();
  EXPECT_EQ(a.m_Targets[0], nullptr);
  EXPECT_EQ(b.m_Targets[0], nullptr);
  EXPECT_EQ(summoned.m_pOwner, nullptr);
  EXPECT_TRUE(a.m_BackLinks.empty());
  EXPECT_TRUE(x.m_BackLinks.empty());
  EXPECT_FALSE(x.IsLinked());
}

TEST_F(CharaBaseTest, CopiesNeverClearTheOriginalsLinks) {
  cHero& hero = AddHero(WalkerDef(0), TileDot(1), TileDot(1));
  cChara& probed = AddChara(WalkerDef(), TileDot(5), TileDot(5));
  cChara& holder = AddChara(WalkerDef(), TileDot(7), TileDot(5));
  probed.InitLinks(nullptr);
  holder.InitLinks(nullptr);
  holder.m_Targets[1] = &probed;
  probed.m_BackLinks.push_back({&holder, 1});
  {
    // A temporary probe copy, as the block-character pass makes one.
    cChara probe;
    probe.CopyFrom(probed);
    probe.m_bKeepLinks = 1;
    EXPECT_EQ(probe.m_BackLinks.size(), 1u);
  }
  {
    // An ordinary copy starts with no links at all.
    cChara copy(probed);
    EXPECT_FALSE(copy.IsLinked());
    EXPECT_EQ(copy.m_Targets.size(), 4u);
    cChara assigned;
    assigned = probed;
    EXPECT_FALSE(assigned.IsLinked());
  }
  EXPECT_EQ(holder.m_Targets[1], &probed);
  EXPECT_EQ(probed.m_Targets[0], &hero);
  ASSERT_EQ(probed.m_BackLinks.size(), 1u);
  EXPECT_EQ(hero.m_BackLinks.size(), 2u);
}

TEST_F(CharaBaseTest, ResetOfALinkedCharacterLetsGoOfItsLinksFirst) {
  cHero& hero = AddHero(WalkerDef(0), TileDot(1), TileDot(1));
  cChara& c = AddChara(WalkerDef(), TileDot(5), TileDot(5));
  cChara& holder = AddChara(WalkerDef(), TileDot(7), TileDot(5));
  c.InitLinks(nullptr);
  holder.m_Targets[2] = &c;
  c.m_BackLinks.push_back({&holder, 2});
  c.Reset(nullptr, 0, 0, 0);
  EXPECT_EQ(holder.m_Targets[2], nullptr);
  EXPECT_TRUE(hero.m_BackLinks.empty());
}

TEST_F(CharaBaseTest, HitBoxASitsInTheCell) {
  cChara& c = AddChara(WalkerDef(), TileDot(5), TileDot(5));  // draw offsets 4, 4
  c.SetHitBoxA(1, 20, 10);
  EXPECT_EQ(c.m_BoxA.nOffsetX, 2);   // 16 - 4 - 10
  EXPECT_EQ(c.m_BoxA.nOffsetY, 18);  // 32 - 4 - 10
  c.SetHitBoxA(0, 21, 11);
  EXPECT_EQ(c.m_BoxA.nOffsetX, 2);  // 16 - 4 - 10
  EXPECT_EQ(c.m_BoxA.nOffsetY, 7);  // 16 - 4 - 5
  EXPECT_EQ(c.m_BoxA.nBaseWidth, 21);
}

TEST_F(CharaBaseTest, KeepFootOnScaleByRule) {
  // A centred 24 x 20 body: draw offset Y (32 - 20) >> 1 = 6. From size 1 to 2 the image rule
  // lifts by 32 - 6 = 26, the hit-box rule by the hit height 20.
  g_Stage.m_CharaBoxAAlign[0] = 0;
  g_Stage.m_CharaBoxA[1] = 20;
  const struct {
    int footFixed, keepHitBottom, keepFoot;
    double dy;
  } cases[] = {
      {0, 0, 1, -26},
      {0, 1, 0, -20},  // the caller's choice
      {1, 0, 0, -26},
      {1, 1, 1, -20},  // the System.dat setting, whatever the caller says
  };
  for (const auto& c : cases) {
    g_SystemData.m_bCompat831 = c.footFixed;
    g_SystemData.m_bCompat261 = c.keepHitBottom;
    cChara& ch = AddChara(WalkerDef(), TileDot(5), TileDot(8));
    ch.KeepFootOnScale(2, 1, c.keepFoot);
    EXPECT_EQ(ch.m_dY, TileDot(8) + c.dy) << c.footFixed << c.keepHitBottom << c.keepFoot;
    EXPECT_EQ(ch.m_dBottom, ch.m_dY + 19);
    g_CharaList.clear();
  }
  cChara& ch = AddChara(WalkerDef(), TileDot(5), TileDot(8));
  ch.KeepFootOnScale(1, 1, 1);
  EXPECT_EQ(ch.m_dY, TileDot(8));
}

TEST_F(CharaBaseTest, SetCenterUsesTheLastScreenRectangle) {
  cChara& c = AddChara(WalkerDef(), TileDot(5), TileDot(8));
  ScrollX().m_dPos = 320;
  c.UpdateScreenRect();  // left = trunc((480 - 4) - 320) = 156, centre 172
  c.m_dX += 50;          // moved without a rebuild
  c.SetCenterX(200);
  EXPECT_EQ(c.m_dX, 480 + 50 + 28);
}

}  // namespace
}  // namespace t4::test
