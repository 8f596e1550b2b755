// Feeds arbitrary bytes to the palette file reader: blocks, character and item definitions, with
// templates looked up in the lists while they load.
#include "data/palette.h"
#include "record_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  t4::fuzz::CheckRecordRoundTrip<cPalette>(data, size);
  return 0;
}
