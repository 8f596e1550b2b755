// Feeds arbitrary bytes to the character definition reader (with its conditions and flows) as a
// data file of any version.
#include "data/chara_def.h"
#include "record_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  t4::fuzz::CheckRecordRoundTrip<cCharaDef>(data, size);
  return 0;
}
