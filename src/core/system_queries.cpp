#include "core/system_queries.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/report_log.h"
#include "platform/system_info.h"
#include "platform/text_codec.h"

void GetOSVersionName(char* name, int* pnMajor, int* pnMinor) {
  if (pnMajor) *pnMajor = OS_REPORTED_MAJOR;
  if (pnMinor) *pnMinor = OS_REPORTED_MINOR;
  if (!name) return;

  t4::platform::OsInfo os = t4::platform::GetOsInfo();
  std::string base = os.kernelName.empty() ? "Linux" : os.kernelName;
  if (!os.distribution.empty()) {
    base += ' ';
    base += t4::platform::Utf8ToCp932Lossy(os.distribution);
  }
  int build = (std::clamp(os.kernelMajor, 0, 255) << 16) + (std::clamp(os.kernelMinor, 0, 255) << 8) +
              std::clamp(os.kernelPatch, 0, 255);
  std::string line;
  FormatString(line, "%s %s PID %d Build %d", base.c_str(), os.kernelRelease.c_str(), OS_PLATFORM_LINUX, build);
  line.resize(t4::platform::SjisCutLength(line, 255));
  std::memcpy(name, line.c_str(), line.size() + 1);
}

bool IsOSVersionAtLeast(int major, int minor) {
  return OS_REPORTED_MAJOR > major || (OS_REPORTED_MAJOR == major && OS_REPORTED_MINOR >= minor);
}

int GetDriverDDIVersion() { return IsOSVersionAtLeast(6, 0) ? 9 : 99999; }
