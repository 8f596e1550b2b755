#include "data/data_refs.h"

#include <atomic>

namespace {
std::atomic<const cDataRefs*> g_pDataRefs{nullptr};
}

int32_t g_bTestPlay = 0;

void SetDataRefs(const cDataRefs* refs) { g_pDataRefs = refs; }
const cDataRefs* GetDataRefs() { return g_pDataRefs; }

bool KeepTestPlayFlows() {
  if (g_bTestPlay) return true;
  const cDataRefs* refs = GetDataRefs();
  return refs && refs->KeepTestFlows();
}

bool IsOutsideDatabase(int nList, int32_t index) {
  const cDataRefs* refs = GetDataRefs();
  if (!refs) return false;
  int count = refs->GetDatabaseCount(nList);
  return static_cast<uint32_t>(index) >= static_cast<uint32_t>(count < 0 ? 0 : count);
}
