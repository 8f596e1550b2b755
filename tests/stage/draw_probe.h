// Pixels of the drawn stage for the drawing tests: surfaces painted with known colours put into
// image slots, colours read back as 0xRRGGBB, the frame's hash, and a PNG of it for a look by eye
// (written when T4_DUMP_FRAMES names a folder).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/stage_file.h"
#include "gfx/dd.h"
#include "gfx/image_slots.h"
#include "platform/present/display.h"
#include "platform/raster/surface.h"
#include "stage/graphic_source.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"

namespace t4::test {

constexpr uint32_t RED = 0xFF0000, GREEN = 0x00FF00, BLUE = 0x0000FF, YELLOW = 0xFFFF00, GREY = 0x808080;
// Palette 16, the stage's "empty" colour, is set to this in the tests.
constexpr uint32_t EMPTY = 0x102030;

inline void SetPaletteRgb(int index, uint32_t rgb) {
  g_Palette[index] = PALETTEENTRY{static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb), 0};
}

// A fresh colour-keyed surface in `sd`, transparent all over.
inline void NewSurface(DDSURFACEDATA* sd, int w, int h) {
  DDReleaseSurface(sd);
  ASSERT_TRUE(DDCreateSurface(sd, w, h, TRUE, 0, DTMEMORYTYPE_VIDEO_RT, nullptr));
  DDFillRect(sd, 0, 0, w, h, TransparentFillColor(sd));
}

inline void Paint(DDSURFACEDATA* sd, int x, int y, int w, int h, uint32_t rgb) {
  DDFillRect(sd, x, y, w, h, 0xFF000000u | rgb);
}

inline uint32_t RgbAt(DDSURFACEDATA* sd, int x, int y) {
  cSurfaceLock lock;
  if (!lock.Lock(sd)) return 0xDEADBEEF;
  return t4::platform::raster::ToArgb(lock.Pixels()->Format(), lock.Get(x, y)) & 0xFFFFFF;
}

inline uint32_t At(int x, int y) { return RgbAt(&BackBuffer, x, y); }

inline platform::Frame GrabFrame() {
  platform::Frame f;
  f.width = 640;
  f.height = 480;
  f.pixels.resize(640 * 480);
  cSurfaceLock lock;
  if (!lock.Lock(&BackBuffer)) return f;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      f.pixels[static_cast<size_t>(y) * 640 + x] =
          t4::platform::raster::ToArgb(lock.Pixels()->Format(), lock.Get(x, y)) & 0xFFFFFF;
  return f;
}

// A small stage in play in `h` that shows nothing but the empty colour: no blocks, no background
// layer, no status line, and the hero not drawn.
inline void StartEmptyStage(StageHarness& h) {
  h.Start(StageFromRows({"..H.", "####"}));
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  for (cMapCell& cell : g_MapGrid) cell.m_sGraphicNo = 0;
  for (cBackground& bg : g_Stage.m_Backgrounds) bg.m_nVisible = 0;
  g_Stage.m_nShowStatus = 0;
  h.Hero().m_Def.m_cTransparent = 1;
}

// The hash of the back buffer; with T4_DUMP_FRAMES set the frame is also written as name.png.
inline uint64_t FrameHash(const std::string& name) {
  const platform::Frame f = GrabFrame();
  if (const char* dir = std::getenv("T4_DUMP_FRAMES")) platform::WritePng(f, std::string(dir) + "/" + name + ".png");
  return platform::HashFrame(f);
}

}  // namespace t4::test
