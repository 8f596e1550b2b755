// A drawing layer on the headless display, set up in one mode, with bitmap files in a temp folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "gfx/dd.h"
#include "platform/message_box.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"

namespace t4::test {

struct DDMode {
  const char* name;
  bool d3d;
  int bpp;
  int windowMode;
};

// The modes the drawing layer runs in: the render mode at 32 bits (window) and 16 bits (full
// screen, so the back buffer has its own layout), the blit mode at 8, 16 and 32 bits. A suite
// instantiates the modes its tests apply to.
inline constexpr DDMode kD3D32{"d3d32", true, 32, 1};
inline constexpr DDMode kD3D16{"d3d16", true, 16, 0};
inline constexpr DDMode kDD8{"dd8", false, 8, 0};
inline constexpr DDMode kDD16{"dd16", false, 16, 0};
inline constexpr DDMode kDD32{"dd32", false, 32, 0};
// The modes of a game at 16 or 32 bits.
inline constexpr DDMode kDrawModes[] = {kD3D32, kD3D16, kDD16, kDD32};
// ... and the 8-bit blit mode.
inline constexpr DDMode kEffectModes[] = {kD3D32, kD3D16, kDD8, kDD16, kDD32};

// Test names and failure messages show the mode by its name.
inline void PrintTo(const DDMode& mode, std::ostream* os) { *os << mode.name; }
inline std::string ModeName(const ::testing::TestParamInfo<DDMode>& info) { return info.param.name; }

class DDFixture {
 public:
  DDFixture() : system(display) {}
  ~DDFixture() {
    DDRelease();
    g_SurfaceList.clear();
    for (int i = 0; i < 256; ++i) g_Palette[i] = {};
    g_dwColorKey = 0;
    g_bDDInitDone = 0;
  }

  bool Init(const DDMode& mode) {
    return DDInit(mode.d3d, nullptr, 640, 480, mode.bpp, FALSE, mode.windowMode, 1, 60, FALSE, table, slots, 72);
  }
  std::string Bmp(const std::string& name, const BmpImage& image) {
    return dir.WriteFile(name, EncodeBmp(image)).string();
  }
  // A file texture / surface loaded from a picture (colour key on).
  bool Load(DDSURFACEDATA* sd, const std::string& file, int memoryType = DTMEMORYTYPE_VIDEO_RT, BOOL colorKey = TRUE) {
    return DDCreateSurfaceFromFile(sd, file.c_str(), colorKey, g_nBpp, 0, memoryType, nullptr, FALSE, 0, 0, FALSE) == 0;
  }
  // The record's own pixel (raw) through a lock.
  static uint32_t Pixel(DDSURFACEDATA* sd, int x, int y) {
    cSurfaceLock lock;
    if (!lock.Lock(sd)) return 0xDEADBEEF;
    return lock.Get(x, y);
  }

  t4::platform::HeadlessDisplay display;
  t4::platform::raster::GraphicsSystem system;
  t4::platform::ScriptedMessageBoxBackend boxes;
  t4::platform::raster::ScopedGraphicsSystem installedSystem{system};
  t4::platform::ScopedMessageBoxBackend installedBoxes{boxes};
  TempDir dir;
  DDSURFACEDATA table[72];
  IMAGESLOT slots[72];
};

}  // namespace t4::test
