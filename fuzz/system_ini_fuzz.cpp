// Feeds arbitrary bytes to the System.ini reader over the key table of a new project. The
// FreeStage setting must stay a terminated text that fits its buffer.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "persist/system_data.h"
#include "persist/system_ini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const cSystemData s_defaults;
  if (size == 0) return 0;
  std::string input(reinterpret_cast<const char*>(data), size);
  FILE* fp = fmemopen(input.data(), input.size(), "rb");
  if (!fp) return 0;
  cSystemIni ini;
  ApplyIniDefaults(ini, s_defaults.m_IniKeys);
  ReadSystemIniStream(fp, ini, s_defaults.m_IniKeys);
  std::fclose(fp);
  if (strnlen(ini.m_szFreeStage, sizeof(ini.m_szFreeStage)) >= sizeof(ini.m_szFreeStage)) std::abort();
  return 0;
}
