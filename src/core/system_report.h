// The description of the machine written to the report log at start-up, the display report
// written once the drawing layer is up, and the memory, processor and disk facts behind them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/win_types.h"

// Memory figures in bytes (full 64-bit sizes: nothing here is capped at 4 GB).
struct MEMORYSTATUS {
  DWORD dwLength = 0;
  DWORD dwMemoryLoad = 0;
  uint64_t dwTotalPhys = 0;
  uint64_t dwAvailPhys = 0;
  uint64_t dwTotalPageFile = 0;
  uint64_t dwAvailPageFile = 0;
  uint64_t dwTotalVirtual = 0;
  uint64_t dwAvailVirtual = 0;
};

struct CPUINFO {
  char brand[256] = {};   // empty when the processor has no brand text
  char vendor[256] = {};  // empty when the processor has no CPUID
  double clock = 0;       // Hz
};

// Everything the machine lines show, gathered first so that the lines can be checked alone.
struct SYSTEMFACTS {
  std::string strOs;  // GetOSVersionName
  CPUINFO cpu;
  MEMORYSTATUS mem;
  int32_t nDiskFree = 0;  // bytes, capped as GetDiskFreeBytes does
  int32_t nDisplayWidth = 0;
  int32_t nDisplayHeight = 0;
  std::string strFontFace;  // Shift-JIS
  int32_t nFontWidth = 0;
  int32_t nFontHeight = 0;  // negative: a character height in pixels, as font heights are given
  uint32_t nFontPitchAndFamily = 0;
};

// What the drawing layer tells the display report. Without its hook: a window, 0 bpp, no
// DirectDraw lines.
struct DISPLAYREPORTINFO {
  int32_t nWindowMode = 1;  // 0 full screen
  int32_t nBpp = 0;
  int32_t bDirectDraw = 0;  // VRAM and RR lines, and GetVideoMemoryMB, need the DirectDraw object
  double dVramTotal = 0;    // bytes
  double dVramFree = 0;
  uint32_t nRefreshRate = 0;
};
using DisplayInfoHook = void (*)(DISPLAYREPORTINFO* pInfo);
// WriteDirect3DReport of the drawing layer: the Direct3D lines into the open report log (with
// WriteTextMode); 0 without a Direct3D context.
using Direct3DReportHook = int (*)(FILE* f, bool bFormatChecks);
// Installed by the drawing layer once it exists.
void SetDisplayReportHooks(DisplayInfoHook infoHook, Direct3DReportHook direct3DHook);

SYSTEMFACTS GatherSystemFacts();
// The machine lines of `facts`; 0 when the log cannot be opened.
int WriteSystemFacts(const SYSTEMFACTS& facts);
int WriteSystemReport();
int WriteDisplayReport(bool bFormatChecks);

void GetMemoryStatus(MEMORYSTATUS* pStatus);
void GetCPUInfo(CPUINFO* pInfo);
// Busy-waits one second of real time; 0 on processors without a time-stamp counter.
double MeasureCPUClock();
// Free bytes for the user on the file system of `root` (null: the current folder), capped at
// 2147483647; 0 when the query fails.
int GetDiskFreeBytes(const char* root);
void GetVideoMemoryMB(int* pnFreeMB, int* pnTotalMB);
