// A drawing layer on the headless display, set up in one mode, with bitmap files in a temp folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>
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

class DDFixture {
 public:
  DDFixture() : system(display) {
    t4::platform::raster::SetGraphicsSystem(&system);
    t4::platform::SetMessageBoxBackend(&boxes);
  }
  ~DDFixture() {
    DDRelease();
    g_SurfaceList.clear();
    for (int i = 0; i < 256; ++i) g_Palette[i] = {};
    g_dwColorKey = 0;
    g_bDDInitDone = 0;
    t4::platform::SetMessageBoxBackend(nullptr);
    t4::platform::raster::SetGraphicsSystem(nullptr);
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
  TempDir dir;
  DDSURFACEDATA table[72];
  IMAGESLOT slots[72];
};

}  // namespace t4::test
