// Feeds arbitrary bytes to the readers of Option.dat, Boot.dat and Window.dat. A load that
// succeeds must save and load again to the same bytes (the range corrections included).
#include <cstdint>

#include "persist/user_records.h"
#include "record_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  t4::fuzz::CheckRecordRoundTrip<cOptionData>(data, size);
  t4::fuzz::CheckRecordRoundTrip<cBootData>(data, size);
  t4::fuzz::CheckRecordRoundTrip<cWindowData>(data, size);
  return 0;
}
