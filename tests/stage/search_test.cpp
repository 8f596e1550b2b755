// Character search: the comparisons, the filters of the search by conditions, the latest link
// and the nearest character with its on-screen modes.
#include <climits>

#include "chara_fixture.h"
#include "stage/search.h"

namespace t4::test {
namespace {

class SearchTest : public CharaStage {
 protected:
  void SetUp() override { MakeStage(30, 20, 0.4, 1); }

  cChara& Add(int charaId, int invincible = 0, int block = 0) {
    cCharaDef d = WalkerDef();
    d.m_cCharaId = static_cast<int8_t>(charaId);
    d.m_cInvincible = static_cast<int8_t>(invincible);
    d.m_cBlockChara = static_cast<int8_t>(block);
    cChara& c = AddChara(d, TileDot(static_cast<int>(g_CharaList.size()) * 2), TileDot(5));
    c.m_nId = 100 + static_cast<int>(g_CharaList.size());
    m_List.push_back(&c);
    return c;
  }

  cSafeList<cCharaBase*> m_List;
};

TEST_F(SearchTest, Comparisons) {
  struct Case {
    int v, value, op, holds;
  } cases[] = {
      {3, 3, 0, 1},   {3, 4, 1, 1},  {3, 3, 2, 1},       {4, 3, 3, 0},   {4, 3, 4, 1},
      {3, 3, 5, 0},   {7, 0, 6, 1},  {-9, 3, 6, 1},      {-10, 3, 6, 0}, {7, 0, 7, 0},
      {-10, 3, 7, 1}, {-9, 3, 7, 0}, {INT_MIN, 2, 6, 1}, {5, 5, 8, 0},   {5, 5, -1, 0},
  };
  for (const Case& k : cases)
    EXPECT_EQ(CompareValue(k.v, k.value, k.op), k.holds) << k.v << " op " << k.op << " " << k.value;
}

TEST_F(SearchTest, FirstCharacterPassingEveryFilter) {
  cChara& dead = Add(5);
  dead.m_bDead = 1;
  cChara& excluded = Add(5);
  cChara& inv1 = Add(5, 1);
  cChara& inv2 = Add(5, 2);
  cChara& block = Add(5, 0, 1);
  cChara& other = Add(6);
  cChara& plain = Add(5);
  plain.m_Vars.At(3) = 12;
  const int ex = excluded.m_nId;
  EXPECT_EQ(FindCharaByCond(m_List, 1, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0), &excluded);
  EXPECT_EQ(FindCharaByCond(m_List, 1, 5, 0, 0, 0, 0, 1, 0, 0, 0, ex), &inv1);
  EXPECT_EQ(FindCharaByCond(m_List, 1, 5, 0, 0, 0, 0, 1, 1, 0, 0, ex), &inv2);
  EXPECT_EQ(FindCharaByCond(m_List, 1, 5, 0, 0, 0, 0, 1, 1, 1, 0, ex), &block);
  EXPECT_EQ(FindCharaByCond(m_List, 1, 5, 0, 0, 0, 0, 1, 1, 1, 1, ex), &plain);
  EXPECT_EQ(FindCharaByCond(m_List, 1, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0), &other);
  // Variable 3 of the characters: only `plain` holds 12, divisible by 4.
  EXPECT_EQ(FindCharaByCond(m_List, 0, 0, 1, 3, 4, 6, 0, 0, 0, 0, 0), &excluded);  // 0 is divisible
  EXPECT_EQ(FindCharaByCond(m_List, 0, 0, 1, 3, 12, 0, 0, 0, 0, 0, 0), &plain);
  EXPECT_EQ(FindCharaByCond(m_List, 0, 0, 1, 3, 13, 0, 0, 0, 0, 0, 0), nullptr);
}

TEST_F(SearchTest, LatestLinkOfTheKindAndFaction) {
  cChara& a = Add(1);
  cChara& b = Add(2);
  cChara& c = Add(1);
  c.m_nLayer = 3;
  cSafeVector<TARGETLINK> links = {{&a, 0}, {&b, 0}, {&c, 0}, {&a, 4}, {nullptr, 0}};
  EXPECT_EQ(FindLinkedCharaByCond(links, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), &c);
  EXPECT_EQ(FindLinkedCharaByCond(links, 0, a.m_nLayer, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), &b);
  EXPECT_EQ(FindLinkedCharaByCond(links, 0, a.m_nLayer, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0), &a);
  EXPECT_EQ(FindLinkedCharaByCond(links, 4, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), &a);
  EXPECT_EQ(FindLinkedCharaByCond(links, 2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), nullptr);
}

TEST_F(SearchTest, NearestByScreenDistanceWithItsModes) {
  struct Spot {
    int x, y, onScreen, active;
  } spots[] = {{100, 100, 0, 1}, {150, 100, 1, 1}, {90, 110, 1, 0}, {160, 90, 1, 1}, {700, 100, 0, 1}};
  std::vector<cChara*> cs;
  for (const Spot& s : spots) {
    cChara& c = Add(1);
    c.m_nDrawWidth = c.m_nDrawHeight = 32;
    c.m_rcScreen[0] = s.x - 16;
    c.m_rcScreen[1] = s.y - 16;
    c.m_bOnScreen = s.onScreen;
    c.m_bActive = s.active;
    cs.push_back(&c);
  }
  // From (100, 100): cs[0] 0 off screen, cs[1] 50 and cs[3] 70 on screen, cs[2] inactive.
  EXPECT_EQ(FindNearestChara(100, 100, m_List, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), cs[0]);
  EXPECT_EQ(FindNearestChara(100, 100, m_List, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), cs[1]);
  EXPECT_EQ(FindNearestChara(100, 100, m_List, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), cs[1]);
  EXPECT_EQ(FindNearestChara(100, 100, m_List, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), nullptr);
  // Equally near: the first in list order. (155, 95) is 10 from both cs[1] and cs[3].
  EXPECT_EQ(FindNearestChara(155, 95, m_List, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), cs[1]);
  // Mode 0 falls back to characters off screen only when none on screen qualifies.
  cs[1]->m_bDead = 1;
  cs[3]->m_bDead = 1;
  EXPECT_EQ(FindNearestChara(650, 100, m_List, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), cs[4]);
  EXPECT_EQ(FindNearestChara(650, 100, m_List, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), nullptr);
}

}  // namespace
}  // namespace t4::test
