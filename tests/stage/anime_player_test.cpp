#include "stage/anime_player.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

ANIMEFRAMELIST List(std::initializer_list<ANIMEFRAME> entries) { return ANIMEFRAMELIST(entries); }

cAnime PlayerWith(std::initializer_list<ANIMEFRAMELIST> animations) {
  cAnime anime;
  cSafeVector<ANIMEFRAMELIST> table(animations);
  anime.SetTable(table);
  return anime;
}

std::vector<int> Updates(cAnime& anime, int updates) {
  std::vector<int> out;
  for (int i = 0; i < updates; ++i) out.push_back(anime.Update());
  return out;
}

std::vector<int> Repeat(std::initializer_list<std::pair<int, int>> runs) {
  std::vector<int> out;
  for (auto [value, count] : runs) out.insert(out.end(), static_cast<size_t>(count), value);
  return out;
}

struct SequenceCase {
  const char* name;
  std::vector<ANIMEFRAMELIST> table;
  int start;
  std::vector<int> expected;
};

TEST(AnimePlayer, UpdateSequencesAfterSet) {
  const SequenceCase cases[] = {
      // The start counts as the first tick of entry 0; later entries last their full frames.
      {"loop", {List({{0, 8, 0}, {1, 8, 0}, {-2, 0, 0}})}, 0, Repeat({{0, 7}, {1, 8}, {0, 8}, {1, 8}})},
      {"ends on the 21st update",
       {List({{0, 7, 0}, {1, 7, 0}, {2, 7, 0}, {-4, 0, 0}})},
       0,
       Repeat({{0, 6}, {1, 7}, {2, 7}, {-4, 1}})},
      {"step back holds the last picture", {List({{3, 5, 0}, {-1, 0, 0}})}, 0, Repeat({{3, 30}})},
      {"chain starts animation 2 in the same update",
       {List({{0, 0, 0}}), List({{4, 2, 0}, {-3, 2, 0}}), List({{9, 3, 0}, {8, 3, 0}, {-4, 0, 0}})},
       1,
       Repeat({{4, 1}, {9, 3}, {8, 3}, {-4, 1}})},
      // Entries of 0 and 1 frames pass on the update after the one that reached them; the
      // loop lands on entry 0 and shows it once.
      {"short entries",
       {List({{5, 0, 0}, {6, 1, 0}, {7, 3, 0}, {-2, 0, 0}})},
       0,
       Repeat({{6, 1}, {7, 3}, {5, 1}, {6, 1}, {7, 3}})},
  };
  for (const SequenceCase& c : cases) {
    SCOPED_TRACE(c.name);
    cAnime anime;
    anime.SetTable(cSafeVector<ANIMEFRAMELIST>(c.table.begin(), c.table.end()));
    ASSERT_EQ(anime.Set(c.start, 1), 1);
    EXPECT_EQ(Updates(anime, static_cast<int>(c.expected.size())), c.expected);
  }
}

TEST(AnimePlayer, HoldRefusesUnforcedStartsAndChangeKeepsARunningAnimation) {
  cAnime anime = PlayerWith({List({{1, 4, 1}, {2, 4, 0}, {-2, 0, 0}}), List({{7, 4, 0}, {-4, 0, 0}})});
  anime.Set(0, 1);
  anime.Update();
  anime.Update();
  EXPECT_EQ(anime.Set(1, 0), 0);
  EXPECT_EQ(anime.Change(1, 0), 0);
  EXPECT_EQ(anime.m_nAnime, 0);
  EXPECT_EQ(anime.m_nFrame, 0);
  EXPECT_EQ(anime.m_nTick, 2);
  // Already running: neither restarted nor refused, forced or not.
  EXPECT_EQ(anime.Change(0, 1), 1);
  EXPECT_EQ(anime.m_nTick, 2);
  EXPECT_EQ(anime.Set(1, 1), 1);
  EXPECT_EQ(anime.GetPattern(), 7);
  EXPECT_EQ(anime.m_nTick, 0);
  // Entry 0 of animation 1 does not hold.
  EXPECT_EQ(anime.Change(0, 0), 1);
  EXPECT_EQ(anime.GetPattern(), 1);
}

TEST(AnimePlayer, StaticSourceTablesEndAtTheirFirstNegativeEntryAfterTheFirst) {
  static const ANIMESRC walk[] = {{0, 6, 0}, {1, 6, 1}, {-2, 0, 0}, {99, 99, 0}};
  static const ANIMESRC none[] = {{-4, 0, 0}, {5, 5, 0}};
  static const ANIMESRC* const table[] = {walk, none, nullptr};
  cAnime anime;
  anime.SetTable(table);
  ASSERT_EQ(anime.m_Table.size(), 2u);
  ASSERT_EQ(anime.m_Table[0].size(), 3u);
  EXPECT_EQ(anime.m_Table[0][1].nHold, 1);
  EXPECT_EQ(anime.m_Table[0][2].nPattern, -2);
  EXPECT_EQ(anime.m_Table[1].size(), 1u);
  // A null source leaves what is installed.
  anime.SetTable(static_cast<const ANIMESRC* const*>(nullptr));
  EXPECT_EQ(anime.m_Table.size(), 2u);
}

TEST(AnimePlayer, EmptyTableReturnsZeroAndChangesNothing) {
  cAnime anime;
  EXPECT_EQ(anime.Update(), 0);
  EXPECT_EQ(anime.GetPattern(), 0);
  EXPECT_EQ(anime.m_nTick, 0);
  EXPECT_EQ(anime.Set(3, 0), 1);
}

// Lists that would make the player read outside its table stay inside it.
TEST(AnimePlayer, MalformedListsStayInsideTheTable) {
  struct Case {
    const char* name;
    std::vector<ANIMEFRAMELIST> table;
    std::vector<int> expected;
  } cases[] = {
      {"end entry is terminal", {List({{2, 1, 0}, {-4, 0, 0}})}, Repeat({{-4, 5}})},
      {"other negative end values", {List({{2, 2, 0}, {-9, 0, 0}})}, Repeat({{2, 1}, {-9, 4}})},
      {"lone loop entry", {List({{-2, 0, 0}})}, Repeat({{-2, 5}})},
      {"lone step-back entry", {List({{-1, 1, 0}})}, Repeat({{-1, 5}})},
      {"step back at entry 0", {List({{-1, 1, 0}, {3, 2, 0}, {-4, 0, 0}})}, Repeat({{3, 2}, {-4, 3}})},
      {"chain to a missing animation keeps the picture", {List({{4, 1, 0}, {-3, 7, 0}})}, Repeat({{4, 5}})},
      {"list without a closing entry holds its last picture", {List({{1, 1, 0}, {2, 2, 0}})}, Repeat({{2, 5}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cAnime anime;
    anime.SetTable(cSafeVector<ANIMEFRAMELIST>(c.table.begin(), c.table.end()));
    anime.Set(0, 1);
    EXPECT_EQ(Updates(anime, static_cast<int>(c.expected.size())), c.expected);
    EXPECT_GE(anime.m_nFrame, 0);
    EXPECT_LT(anime.m_nFrame, static_cast<int>(anime.m_Table[0].size()));
  }
}

}  // namespace
