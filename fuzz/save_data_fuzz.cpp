// Feeds arbitrary bytes to the save-data reader (story slots, the challenge record) as a data file
// of any version, upgrades and list completion included. A load that succeeds must save and load
// again to the same bytes.
#include <cstdint>

#include "persist/save_data.h"
#include "record_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  t4::fuzz::CheckRecordRoundTrip<cSaveData>(data, size);
  return 0;
}
