// Feeds arbitrary bytes to the world map reader: chips, the cell grid with its stored pitch,
// points and their entries, with the fix-ups of older files and the checks after loading.
#include "data/world_map.h"
#include "record_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  t4::fuzz::CheckRecordRoundTrip<cWorldMap>(data, size);
  return 0;
}
