// A count that the file cannot back costs no more memory than the records actually read.
#include <gtest/gtest.h>

#include "data/anime.h"
#include "data/ed_shot.h"
#include "data_test_util.h"

using namespace t4::test;

namespace {

TEST(FalseCount, ListsGrowOnlyAsRecordsAreRead) {
  // A count as large as the bytes could hold at the smallest record size, then one empty record
  // and a record whose member count no layout has: the load fails at the second record.
  LeWriter filler;
  for (int i = 0; i < 20000; ++i) filler.I32(0);
  const std::string tail = LeWriter().I32(0).I32(0).I32(0x7FFFFFF0).Raw(filler.Bytes()).Bytes();
  const int32_t count = static_cast<int32_t>(tail.size() / MIN_RECORD_BODY_BYTES);
  const std::string body = LeWriter().I32(count).Raw(tail).Bytes();

  cSafeVector<cEdShot> shots;
  EXPECT_EQ(LoadStream(DATA_VERSION, body, [&](FILE* fp) { return LoadRecordVector(shots, fp, cEdShot()); }), 0);
  EXPECT_LE(shots.size(), 2u);
  EXPECT_LE(shots.capacity(), 4u) << "room was made for the count, not for what was read";

  cSafeVector<cAnimeData> animes;
  EXPECT_EQ(LoadStream(DATA_VERSION, body, [&](FILE* fp) { return LoadAnimeVector(animes, fp); }), 0);
  EXPECT_LE(animes.capacity(), 4u);
}

}  // namespace
