// Feeds arbitrary bytes to the stage file reader: settings, area records, the stage palette,
// placements, layers and variable names, with the upgrades of older versions. A stage that loads
// must save and load again; from the second save on the saved form must not change (the first
// load may still move values, e.g. definitions that took groups from a palette entry 0 that the
// load then resets).
#include "data/stage.h"
#include "record_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  cStage first;
  if (!t4::fuzz::LoadRecordImage(first, std::string(reinterpret_cast<const char*>(data), size))) return 0;
  std::string saved = t4::fuzz::SaveRecordImage(first);
  cStage second;
  if (!t4::fuzz::LoadRecordImage(second, saved)) std::abort();
  std::string again = t4::fuzz::SaveRecordImage(second);
  cStage third;
  if (!t4::fuzz::LoadRecordImage(third, again)) std::abort();
  if (t4::fuzz::SaveRecordImage(third) != again) std::abort();
  return 0;
}
