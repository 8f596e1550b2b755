#include "core/system_report.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdarg>
#include <cstring>

#include "core/report_log.h"
#include "core/system_queries.h"
#include "platform/files.h"
#include "platform/system_info.h"
#include "platform/text_codec.h"

namespace {

std::atomic<DisplayInfoHook> g_displayInfoHook{nullptr};
std::atomic<Direct3DReportHook> g_direct3DReportHook{nullptr};

constexpr double BYTES_PER_MB = 1048576.0;

void CopyText(char (&dst)[256], const std::string& src) {
  size_t n = std::min(src.size(), sizeof dst - 1);
  std::memcpy(dst, src.data(), n);
  dst[n] = '\0';
}

DISPLAYREPORTINFO GetDisplayReportInfo() {
  DISPLAYREPORTINFO info;
  if (DisplayInfoHook hook = g_displayInfoHook.load()) hook(&info);
  return info;
}

// Windows LOGFONT pitch and family bits: fixed or variable pitch, sans-serif (swiss) family.
constexpr uint32_t FIXED_PITCH = 1;
constexpr uint32_t VARIABLE_PITCH = 2;
constexpr uint32_t FF_SWISS = 0x20;

// One printf-style line into the open log, with its line end.
void WriteLine(FILE* f, const char* format, ...) T4_PRINTF(2, 3);
void WriteLine(FILE* f, const char* format, ...) {
  char buffer[FORMAT_BUFFER_SIZE];
  va_list args;
  va_start(args, format);
  int n = vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (n < 0) buffer[0] = '\0';
  WriteTextMode(f, buffer);
  WriteTextMode(f, "\n");
}

}  // namespace

void SetDisplayReportHooks(DisplayInfoHook infoHook, Direct3DReportHook direct3DHook) {
  g_displayInfoHook.store(infoHook);
  g_direct3DReportHook.store(direct3DHook);
}

void GetMemoryStatus(MEMORYSTATUS* pStatus) {
  t4::platform::MemoryInfo m = t4::platform::GetMemoryInfo();
  *pStatus = MEMORYSTATUS{};
  pStatus->dwLength = sizeof(MEMORYSTATUS);
  pStatus->dwMemoryLoad = m.memoryLoad;
  pStatus->dwTotalPhys = m.totalPhys;
  pStatus->dwAvailPhys = m.availPhys;
  pStatus->dwTotalVirtual = m.totalVirtual;
  pStatus->dwAvailVirtual = m.availVirtual;
}

double MeasureCPUClock() {
  using namespace t4::platform;
  if (ReadTimeStampCounter() == 0) return 0;
  int64_t q0 = QueryPerformanceCounter();
  int64_t q1 = QueryPerformanceCounter();
  uint64_t t0 = ReadTimeStampCounter();
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 1000) {
  }
  int64_t q2 = QueryPerformanceCounter();
  uint64_t t1 = ReadTimeStampCounter();
  // Subtracting one counter read's cost from the measured interval.
  double elapsed = static_cast<double>((q2 - q1) - (q1 - q0));
  if (elapsed <= 0) return 0;
  return static_cast<double>(t1 - t0) / (elapsed / static_cast<double>(QueryPerformanceFrequency()));
}

void GetCPUInfo(CPUINFO* pInfo) {
  t4::platform::CpuIdInfo id = t4::platform::GetCpuIdInfo();
  CopyText(pInfo->vendor, id.vendor);
  CopyText(pInfo->brand, id.brand);
  pInfo->clock = MeasureCPUClock();
}

int GetDiskFreeBytes(const char* root) {
  std::optional<uint64_t> free = t4::platform::DiskFreeBytes(root ? root : "");
  if (!free) return 0;
  return static_cast<int>(std::min<uint64_t>(*free, INT_MAX));
}

void GetVideoMemoryMB(int* pnFreeMB, int* pnTotalMB) {
  DISPLAYREPORTINFO info = GetDisplayReportInfo();
  int freeMB = info.bDirectDraw ? static_cast<int>(info.dVramFree / BYTES_PER_MB) : 0;
  int totalMB = info.bDirectDraw ? static_cast<int>(info.dVramTotal / BYTES_PER_MB) : 0;
  if (pnFreeMB) *pnFreeMB = freeMB;
  if (pnTotalMB) *pnTotalMB = totalMB;
}

SYSTEMFACTS GatherSystemFacts() {
  SYSTEMFACTS facts;
  char name[256] = {};
  GetOSVersionName(name, nullptr, nullptr);
  facts.strOs = name;
  GetCPUInfo(&facts.cpu);
  GetMemoryStatus(&facts.mem);
  facts.nDiskFree = GetDiskFreeBytes(nullptr);
  t4::platform::DisplaySize display = t4::platform::GetDisplaySize();
  facts.nDisplayWidth = display.width;
  facts.nDisplayHeight = display.height;
  t4::platform::SystemUiFont font = t4::platform::GetSystemUiFont();
  facts.strFontFace = t4::platform::Utf8ToCp932Lossy(font.family);
  facts.nFontWidth = 0;
  facts.nFontHeight = -font.pixelSize;
  facts.nFontPitchAndFamily = (font.fixedPitch ? FIXED_PITCH : VARIABLE_PITCH) | FF_SWISS;
  return facts;
}

int WriteSystemFacts(const SYSTEMFACTS& facts) {
  FILE* f = OpenReportLog();
  if (!f) return 0;
  WriteLine(f, "OS : %s", facts.strOs.c_str());
  WriteLine(f, "CPU : %s %s %d", facts.cpu.vendor, facts.cpu.brand, static_cast<int>(facts.cpu.clock * 0.000001));
  WriteLine(f, "Mem Total : %.3fMB", static_cast<double>(facts.mem.dwTotalPhys) / BYTES_PER_MB);
  WriteLine(f, "Mem Free : %3.fMB", static_cast<double>(facts.mem.dwAvailPhys) / BYTES_PER_MB);
  WriteLine(f, "Vir Total : %.3fMB", static_cast<double>(facts.mem.dwTotalVirtual) / BYTES_PER_MB);
  WriteLine(f, "Vir Free : %3.fMB", static_cast<double>(facts.mem.dwAvailVirtual) / BYTES_PER_MB);
  WriteLine(f, "HD Free : %3.fMB", static_cast<double>(facts.nDiskFree) / BYTES_PER_MB);
  WriteLine(f, "Display : (%d,%d)", facts.nDisplayWidth, facts.nDisplayHeight);
  // Built first and written unchanged: the face name may hold a percent sign.
  std::string font;
  FormatString(font, "System Font : %s (%d,%d) %u", facts.strFontFace.c_str(), facts.nFontWidth, facts.nFontHeight,
               facts.nFontPitchAndFamily);
  WriteLine(f, "%s", font.c_str());
  CloseReportLog(f);
  return 1;
}

int WriteSystemReport() { return WriteSystemFacts(GatherSystemFacts()); }

int WriteDisplayReport(bool bFormatChecks) {
  DISPLAYREPORTINFO info = GetDisplayReportInfo();
  FILE* f = OpenReportLog();
  if (!f) return 0;
  WriteLine(f, "%s", info.nWindowMode ? "Mode : Window" : "Mode : Fullscreen");
  WriteLine(f, "Bpp : %d", info.nBpp);
  if (info.bDirectDraw) {
    WriteLine(f, "VRAM Total : %.3fMB", info.dVramTotal / BYTES_PER_MB);
    WriteLine(f, "VRAM Free : %.3fMB", info.dVramFree / BYTES_PER_MB);
    WriteLine(f, "RR : %u", info.nRefreshRate);
  }
  if (Direct3DReportHook hook = g_direct3DReportHook.load()) hook(f, bFormatChecks);
  CloseReportLog(f);
  return 1;
}
