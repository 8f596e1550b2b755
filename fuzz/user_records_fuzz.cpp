// Feeds arbitrary bytes to the readers of Option.dat, Boot.dat and Window.dat. A load that
// succeeds must save and load again to the same bytes (the range corrections included).
#include <cstdint>
#include <string>

#include "persist/user_records.h"
#include "record_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  t4::fuzz::CheckRecordRoundTrip<cOptionData>(input);
  t4::fuzz::CheckRecordRoundTrip<cBootData>(input);
  t4::fuzz::CheckRecordRoundTrip<cWindowData>(input);
  return 0;
}
