// Helpers for the record tests: records to bytes and back through real streams, and body images
// of older layouts described member by member.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "data/data_refs.h"
#include "data/record.h"
#include "support/le_writer.h"

namespace t4::test {

// The body bytes a record's Save writes (no header).
std::string SaveBody(cRecord& record);

// Runs `load` on a data stream made of a header with `version` and `body`. Returns the load's
// result; `consumed` (when given) tells whether the whole body was read.
template <class LoadFn>
int LoadStream(int32_t version, const std::string& body, LoadFn load, bool* consumed = nullptr);

int LoadBody(cRecord& record, int32_t version, const std::string& body, bool* consumed = nullptr);

// One registered member of a layout: element size, element count, first version storing it.
struct MemberSpec {
  int nSize;
  int nCount;
  int nSince;
};

// A record body of `layout` as stored by version `v`: the member count and the members present
// at v (values by 1-based member number, others 0), then the given strings.
LeWriter LayoutBody(const std::vector<MemberSpec>& layout, int v, const std::map<int, int64_t>& values,
                    const std::vector<std::string>& strings = {});

// Lookups with fixed counts for validation tests; installed for the object's lifetime.
class FakeDataRefs : public cDataRefs {
 public:
  FakeDataRefs();
  ~FakeDataRefs() override;
  int GetDatabaseCount(int nList) const override { return m_Counts[nList]; }
  int GetSwordEntryCount(int nType) const override;
  int32_t GetSwordEntryDuration(int nType, int nEntry) const override;
  int GetPaletteCount(int nPalette, int nList) const override { return m_PaletteCounts[nPalette][nList]; }
  int KeepTestFlows() const override { return m_bKeepTestFlows; }

  int m_Counts[DBLIST_COUNT];
  int m_PaletteCounts[2][3];
  std::vector<std::vector<int32_t>> m_SwordDurations;
  int m_bKeepTestFlows = 0;
};

template <class LoadFn>
int LoadStream(int32_t version, const std::string& body, LoadFn load, bool* consumed) {
  std::string image = LeWriter().I32(version).Raw(body).Bytes();
  FILE* fp = fmemopen(image.data(), image.size(), "rb");
  if (!fp) return -1;
  int ok = 0;
  if (BeginDataFileRead(fp, "test")) {
    ok = load(fp);
    if (IsDataReadFailed(fp)) ok = 0;
    if (consumed) *consumed = RemainingBytes(fp) == 0;
  }
  CloseDataFile(fp);
  return ok;
}

}  // namespace t4::test
