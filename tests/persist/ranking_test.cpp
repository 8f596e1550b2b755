#include "persist/ranking.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "persist/system_data.h"
#include "support/le_writer.h"
#include "support/temp_dir.h"

namespace t4::test {
namespace {

cRankingList ListOf(int32_t higherFirst, const std::vector<int32_t>& values) {
  cRankingList list;
  list.m_bHigherFirst = higherFirst;
  for (size_t i = 0; i < values.size(); ++i) {
    list.m_Rows.At(static_cast<int>(i)).m_bValid = 1;
    list.m_Rows.At(static_cast<int>(i)).m_nValue = values[i];
  }
  return list;
}

std::vector<int32_t> ValidValues(const cRankingList& list) {
  std::vector<int32_t> values;
  for (const cRankingItem& row : list.m_Rows) {
    if (row.m_bValid) values.push_back(row.m_nValue);
  }
  return values;
}

// A ranking file image: lists of (order, rows), each row valid with the value given.
std::string RankingFile(int32_t version, const std::vector<std::pair<int32_t, std::vector<int32_t>>>& lists) {
  LeWriter w;
  w.I32(version).I32(0).I32(0).I32(static_cast<int64_t>(lists.size()));
  for (const auto& [order, rows] : lists) {
    w.I32(1).I32(order).I32(0).I32(static_cast<int64_t>(rows.size()));
    for (int32_t value : rows) w.I32(2).I32(1).I32(value).I32(1).Str("abc");
  }
  return w.Bytes();
}

TEST(RankingTest, ANewRankingHasFiveEmptyTablesOfTwentyRows) {
  cRanking ranking;
  ASSERT_EQ(ranking.m_Lists.size(), 5u);
  const int32_t orders[] = {1, 1, 0, 1, 1};
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(ranking.m_Lists.At(k).m_bHigherFirst, orders[k]);
    ASSERT_EQ(ranking.m_Lists.At(k).m_Rows.size(), 20u);
    EXPECT_TRUE(ValidValues(ranking.m_Lists.At(k)).empty());
  }
}

TEST(RankingTest, RankAndInsert) {
  struct Case {
    int32_t higherFirst;
    std::vector<int32_t> rows;
    int value;
    int rank;
  };
  std::vector<int32_t> full(20, 500);
  full.back() = 100;
  const Case cases[] = {
      {1, {500, 300, 300}, 300, 3},  // an equal value ranks below the older entries
      {1, {500, 300, 300}, 301, 1}, {1, full, 100, -1},         {1, full, 101, 19},
      {0, {6000, 7000}, 6500, 1},   {0, {6000, 7000}, 6000, 1}, {1, {}, INT_MIN, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    cRankingList list = ListOf(c.higherFirst, c.rows);
    EXPECT_EQ(list.GetRank(c.value), c.rank);
    list.Insert("new", c.value);
    EXPECT_EQ(list.m_Rows.size(), 20u);
    std::vector<int32_t> expected = c.rows;
    if (c.rank >= 0) {
      expected.insert(expected.begin() + c.rank, c.value);
      if (expected.size() > 20) expected.pop_back();
      EXPECT_EQ(list.m_Rows.At(c.rank).m_strName, "new");
    }
    EXPECT_EQ(ValidValues(list), expected);
  }
}

class RankingFileTest : public ::testing::Test {
 protected:
  RankingFileTest() : m_cwd(m_dir.Path()) {
    for (const char* folder : {"story", "challenge", "free"}) {
      std::filesystem::create_directories(m_dir.Path() / "user_data" / folder);
    }
  }

  TempDir m_dir;
  ScopedCurrentDir m_cwd;
};

TEST_F(RankingFileTest, RankingsPersistPerStageAndMode) {
  std::string path;
  ASSERT_TRUE(GetRankingPath(path, GAME_MODE_STORY, "data\\stg4\\Castle.", 1, 5, 2));
  EXPECT_EQ(path, "user_data\\story\\Castle_c005_2.rkg");
  ASSERT_TRUE(GetRankingPath(path, GAME_MODE_FREE, "data\\stg4\\Castle.", 1, 5, 2));
  EXPECT_EQ(path, "user_data\\free\\Castle.rkg");  // only story names carry the variable
  EXPECT_FALSE(GetRankingPath(path, GAME_MODE_REPLAY, "Castle.", 0, 0, 0));

  cRanking ranking;
  ranking.m_Lists.At(0).Insert("abc", 1200);
  ranking.m_Lists.At(2).Insert("xyz", 4321);
  ASSERT_EQ(ranking.SaveFile(GAME_MODE_CHALLENGE, "data\\stg4\\c01.", 0, 0, 0), 1);
  EXPECT_EQ(ranking.SaveFile(GAME_MODE_REPLAY, "c01.", 0, 0, 0), 0);

  cRanking loaded;
  EXPECT_EQ(loaded.LoadFile(GAME_MODE_STORY, "c01.", 0, 0, 0), 0);  // another mode's file
  ASSERT_EQ(loaded.LoadFile(GAME_MODE_CHALLENGE, "c01.", 0, 0, 0), 1);
  EXPECT_EQ(ValidValues(loaded.m_Lists.At(0)), std::vector<int32_t>{1200});
  EXPECT_EQ(loaded.m_Lists.At(2).m_Rows.At(0).m_strName, "xyz");
  EXPECT_EQ(loaded.m_Lists.At(2).m_bHigherFirst, 0);

  // A missing file resets what was shown before.
  EXPECT_EQ(loaded.LoadFile(GAME_MODE_CHALLENGE, "c02.", 0, 0, 0), 0);
  EXPECT_TRUE(ValidValues(loaded.m_Lists.At(0)).empty());
}

TEST_F(RankingFileTest, OldAndMalformedFilesLoadAsFiveTablesOfTwentyRows) {
  struct Case {
    const char* what;
    std::string bytes;
    int load;
    std::vector<int32_t> orders;
  };
  const Case cases[] = {
      {"three lists of version 180", RankingFile(180, {{1, {50}}, {1, {}}, {0, {}}}), 1, {1, 1, 0, 1, 1}},
      {"two short lists of version 902", RankingFile(902, {{0, {7, 8}}, {0, {}}}), 1, {0, 0, 0, 1, 1}},
      {"no list at all", RankingFile(902, {}), 1, {1, 1, 0, 1, 1}},
      {"more lists and rows",
       RankingFile(902, std::vector<std::pair<int32_t, std::vector<int32_t>>>(7, {1, std::vector<int32_t>(25, 3)})),
       1,
       {1, 1, 1, 1, 1}},
      {"a huge list count", LeWriter().I32(902).I32(0).I32(0).I32(0x7FFFFFFF).Bytes(), 0, {1, 1, 0, 1, 1}},
      {"a negative row count",
       LeWriter().I32(902).I32(0).I32(0).I32(1).I32(1).I32(1).I32(0).I32(-1).Bytes(),
       0,
       {1, 1, 0, 1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    m_dir.WriteFile("user_data/free/S.rkg", c.bytes);
    cRanking ranking;
    EXPECT_EQ(ranking.LoadFile(GAME_MODE_FREE, "S.", 0, 0, 0), c.load);
    ASSERT_EQ(ranking.m_Lists.size(), 5u);
    for (int k = 0; k < 5; ++k) {
      EXPECT_EQ(ranking.m_Lists.At(k).m_bHigherFirst, c.orders[static_cast<size_t>(k)]) << k;
      EXPECT_EQ(ranking.m_Lists.At(k).m_Rows.size(), 20u);
      // The screens and the stage end may read and enter rows at once.
      ranking.m_Lists.At(k).GetRank(1);
      ranking.m_Lists.At(k).Insert("n", 1);
    }
  }
}

TEST(NumberTextTest, ClearTimesAndDigitCounts) {
  struct TimeCase {
    int t;
    const char* text;
  };
  for (const TimeCase& c : {TimeCase{12345, "02:03.45"}, TimeCase{599999, "99:59.99"}, TimeCase{600000, "100:00.00"},
                            TimeCase{0, "00:00.00"}, TimeCase{-1, "00:00.00"}, TimeCase{INT_MIN, "00:00.00"}}) {
    std::string out;
    FormatTime(out, c.t);
    EXPECT_EQ(out, c.text) << c.t;
  }
  EXPECT_EQ(GetDigitCount(0), 1);
  EXPECT_EQ(GetDigitCount(9), 1);
  EXPECT_EQ(GetDigitCount(10), 2);
  EXPECT_EQ(GetDigitCount(1234567890), 10);
  EXPECT_EQ(GetDigitCount(INT_MIN), 10);
}

}  // namespace
}  // namespace t4::test
