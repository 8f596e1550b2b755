// Facts about the machine for the system report and the system queries.
#pragma once

#include <cstdint>
#include <string>

#include "platform/scoped_backend.h"
#include "platform/win_types.h"

namespace t4::platform {

struct MemoryInfo {
  uint64_t totalPhys = 0;
  uint64_t availPhys = 0;
  // The process's address space: its limit (RLIMIT_AS) or the 47-bit user space of a 64-bit
  // system, and what of it is not mapped yet.
  uint64_t totalVirtual = 0;
  uint64_t availVirtual = 0;
  uint32_t memoryLoad = 0;  // percent of physical memory in use
};
MemoryInfo GetMemoryInfo();

// CPUID vendor (12 characters) and brand (48 characters, trailing NULs removed); empty where the
// processor has no CPUID or no extended brand functions.
struct CpuIdInfo {
  std::string vendor;
  std::string brand;
};
CpuIdInfo GetCpuIdInfo();

// The processor's time-stamp counter; 0 on processors without one.
uint64_t ReadTimeStampCounter();
// A monotonic high-resolution counter and its ticks per second.
int64_t QueryPerformanceCounter();
int64_t QueryPerformanceFrequency();
// Real milliseconds since an arbitrary start (wrapping), whatever game clock is installed.
DWORD GetTickCount();

struct OsInfo {
  std::string kernelName;     // "Linux"
  std::string kernelRelease;  // e.g. "6.1.0-18-amd64"
  std::string distribution;   // PRETTY_NAME of /etc/os-release, e.g. "Debian GNU/Linux 12 (bookworm)"
  int kernelMajor = 0;
  int kernelMinor = 0;
  int kernelPatch = 0;
};
OsInfo GetOsInfo();

// The desktop size of the first display when the SDL video subsystem is running; zeros when it is
// not (the report must not start a video subsystem in headless runs).
struct DisplaySize {
  int width = 0;
  int height = 0;
};

// The system's user-interface font for Japanese text (fontconfig "sans-serif:lang=ja").
struct SystemUiFont {
  std::string family;  // UTF-8; empty when fontconfig finds nothing
  int pixelSize = 0;
  bool fixedPitch = false;
};

// The facts only the display and the font configuration know. Tests and tools run without them;
// the program installs the device ones at start-up.
class DeviceFacts {
 public:
  virtual ~DeviceFacts() = default;
  virtual DisplaySize GetDisplaySize() = 0;
  virtual SystemUiFont GetSystemUiFont() = 0;
};

// SDL's desktop size and fontconfig's match (device library).
class SdlDeviceFacts final : public DeviceFacts {
 public:
  DisplaySize GetDisplaySize() override;
  SystemUiFont GetSystemUiFont() override;
};

// Installs the facts for the whole process; null goes back to none (zeros and an empty font).
void SetDeviceFacts(DeviceFacts* facts);
using ScopedDeviceFacts = ScopedBackend<DeviceFacts, SetDeviceFacts>;
DisplaySize GetDisplaySize();
SystemUiFont GetSystemUiFont();

}  // namespace t4::platform
