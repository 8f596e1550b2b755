// Feeds arbitrary bytes to the key configuration reader: the counts it keeps must stay within what
// the input state can serve, and a poll over the result must stay inside its tables.
#include <cstdint>
#include <cstdlib>

#include "stage/input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  cKeyConfig config;
  SetDefaultKeyConfig(&config);
  ReadKeyConfig(data, size, &config);
  if (config.m_nEntryCount < KEYCONFIG_MIN_ENTRIES || config.m_nEntryCount > KEYCONFIG_ENTRY_COUNT) std::abort();
  if (config.m_nJoyCount < 0 || config.m_nJoyCount > KEYCONFIG_MAX_JOYSTICKS) std::abort();
  g_KeyConfig = config;
  cInput input;
  input.SetJoyButtons();
  input.PollConfig(1, 60);
  input.Poll(0, 3, 60);
  return 0;
}
