// The operating system's name and version, a version test, and the display driver's DDI version.
//
// On Linux the name line keeps the shape "<name> <service pack> PID <platform> Build <build>":
//   name          "Linux " + the distribution's pretty name (just "Linux" without one)
//   service pack  the kernel release, e.g. "6.1.0-18-amd64"
//   platform id   OS_PLATFORM_LINUX (4, the usual id of Unix-like systems; 0-2 are the
//                 Windows families)
//   build         the kernel version code (major << 16) + (minor << 8) + min(patch, 255)
// The version reported to callers is 10.0, the newest system the game's callers know, so that
// every test for a modern system, IsOSVersionAtLeast (6, 0) above all, holds on any Linux.
#pragma once

constexpr int OS_PLATFORM_LINUX = 4;
constexpr int OS_REPORTED_MAJOR = 10;
constexpr int OS_REPORTED_MINOR = 0;

// `name` (at least 256 bytes, Shift-JIS) receives the extended name; any argument may be null.
void GetOSVersionName(char* name, int* pnMajor, int* pnMinor);
bool IsOSVersionAtLeast(int major, int minor);
// 9 on every modern system, which is all that runs this program.
int GetDriverDDIVersion();
