#include "platform/system_info.h"

#include <sys/resource.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <time.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define T4_HAVE_X86 1
#endif

namespace t4::platform {

namespace {

// Value of "Key:   123 kB" lines of /proc files, in bytes; 0 when missing.
uint64_t ReadProcKb(const char* file, const char* key) {
  std::ifstream in(file);
  std::string line;
  size_t keyLen = std::strlen(key);
  while (std::getline(in, line)) {
    if (line.compare(0, keyLen, key) == 0 && line.size() > keyLen && line[keyLen] == ':') {
      unsigned long long kb = 0;
      if (std::sscanf(line.c_str() + keyLen + 1, "%llu", &kb) == 1) return kb * 1024ull;
    }
  }
  return 0;
}

std::string Unquote(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

MemoryInfo GetMemoryInfo() {
  MemoryInfo info;
  struct sysinfo si {};
  if (sysinfo(&si) == 0) {
    info.totalPhys = static_cast<uint64_t>(si.totalram) * si.mem_unit;
    info.availPhys = static_cast<uint64_t>(si.freeram) * si.mem_unit;
  }
  // MemAvailable counts reclaimable caches as free, which is what "available" means to a user.
  if (uint64_t avail = ReadProcKb("/proc/meminfo", "MemAvailable")) info.availPhys = avail;
  if (info.totalPhys > 0) {
    info.memoryLoad = static_cast<uint32_t>(100 - (info.availPhys * 100 / info.totalPhys));
  }

  constexpr uint64_t USER_SPACE = sizeof(void*) >= 8 ? (1ull << 47) : (3ull << 30);
  info.totalVirtual = USER_SPACE;
  struct rlimit limit {};
  if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < USER_SPACE) {
    info.totalVirtual = limit.rlim_cur;
  }
  uint64_t used = ReadProcKb("/proc/self/status", "VmSize");
  info.availVirtual = used < info.totalVirtual ? info.totalVirtual - used : 0;
  return info;
}

CpuIdInfo GetCpuIdInfo() {
  CpuIdInfo info;
#ifdef T4_HAVE_X86
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (__get_cpuid(0, &a, &b, &c, &d) == 0 || a == 0) return info;
  char vendor[13] = {};
  std::memcpy(vendor + 0, &b, 4);
  std::memcpy(vendor + 4, &d, 4);
  std::memcpy(vendor + 8, &c, 4);
  info.vendor = vendor;

  if (__get_cpuid(0x80000000u, &a, &b, &c, &d) == 0 || a < 0x80000004u) return info;
  char brand[49] = {};
  for (unsigned i = 0; i < 3; ++i) {
    __get_cpuid(0x80000002u + i, &a, &b, &c, &d);
    std::memcpy(brand + 16 * i + 0, &a, 4);
    std::memcpy(brand + 16 * i + 4, &b, 4);
    std::memcpy(brand + 16 * i + 8, &c, 4);
    std::memcpy(brand + 16 * i + 12, &d, 4);
  }
  info.brand = brand;
#endif
  return info;
}

uint64_t ReadTimeStampCounter() {
#ifdef T4_HAVE_X86
  return __rdtsc();
#else
  return 0;
#endif
}

int64_t QueryPerformanceCounter() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000000000ll + ts.tv_nsec;
}

int64_t QueryPerformanceFrequency() { return 1000000000ll; }

DWORD GetTickCount() { return static_cast<DWORD>(QueryPerformanceCounter() / 1000000ll); }

OsInfo GetOsInfo() {
  OsInfo info;
  struct utsname u {};
  if (uname(&u) == 0) {
    info.kernelName = u.sysname;
    info.kernelRelease = u.release;
    std::sscanf(u.release, "%d.%d.%d", &info.kernelMajor, &info.kernelMinor, &info.kernelPatch);
  }
  for (const char* file : {"/etc/os-release", "/usr/lib/os-release"}) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
      if (line.rfind("PRETTY_NAME=", 0) == 0) {
        info.distribution = Unquote(line.substr(12));
        return info;
      }
    }
  }
  return info;
}

namespace {

std::atomic<DeviceFacts*> g_deviceFacts{nullptr};

}  // namespace

void SetDeviceFacts(DeviceFacts* facts) { g_deviceFacts.store(facts); }

DisplaySize GetDisplaySize() {
  DeviceFacts* facts = g_deviceFacts.load();
  return facts ? facts->GetDisplaySize() : DisplaySize{};
}

SystemUiFont GetSystemUiFont() {
  DeviceFacts* facts = g_deviceFacts.load();
  return facts ? facts->GetSystemUiFont() : SystemUiFont{};
}

}  // namespace t4::platform
