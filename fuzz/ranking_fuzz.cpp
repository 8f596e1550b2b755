// Feeds arbitrary bytes to the ranking-file reader. Whatever loads must come out as five tables of
// twenty rows that the ranking screens can rank and enter into, and must save and load again to the
// same bytes.
#include <cstdint>
#include <cstdlib>

#include "persist/ranking.h"
#include "record_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  cRanking ranking;
  t4::fuzz::LoadRecordImage(ranking, std::string(reinterpret_cast<const char*>(data), size));
  if (ranking.m_Lists.size() != RANKING_KIND_COUNT) std::abort();
  for (cRankingList& list : ranking.m_Lists) {
    if (list.m_Rows.size() != RANKING_ROW_COUNT) std::abort();
    list.Insert("abc", list.m_Rows.At(0).m_nValue);
  }
  t4::fuzz::CheckRecordRoundTrip<cRanking>(data, size);
  return 0;
}
