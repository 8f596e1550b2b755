// Feeds arbitrary bytes to the System.dat reader as a data file of any version (upgrades, list
// completion and the music clamp included). A load that succeeds must save and load again to the
// same bytes.
#include <cstdint>

#include "persist/system_data.h"
#include "record_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  t4::fuzz::CheckRecordRoundTrip<cSystemData>(data, size);
  return 0;
}
