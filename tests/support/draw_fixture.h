// A drawing layer in one of four modes with magenta as the transparent colour (palette entry 0),
// a black back buffer, palette colours set in the mode's own form and pixels read back as RGB.
#pragma once

#include <cstdlib>
#include <string>

#include "support/dd_fixture.h"
#include "platform/raster/surface.h"

namespace t4::test {

class DrawTest : public ::testing::TestWithParam<DDMode> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(f.Init(GetParam()));
    DDSetTransmit(255, 0, 255);
    if (g_lpDDCon) g_lpDDCon->rgbTransmit_16 = {255, 0, 255};
    if (lpDTCon) lpDTCon->rgbKey_16 = {255, 0, 255};
    SetPal(0, 0xFF00FF);
    if (!lpDTCon) {
      ASSERT_EQ(PalNumToRGB(0), g_dwColorKey);
    }
    DDClear(&BackBuffer, lpDTCon ? 0xFF000000 : 0);
  }

  // Palette entry in the form the mode keeps (field values at 16 bits in the blit mode).
  static void SetPal(int index, uint32_t rgb) {
    BYTE r = rgb >> 16 & 255, g = rgb >> 8 & 255, b = rgb & 255;
    if (!lpDTCon && g_nBpp == 16) {
      r >>= 3;
      g >>= 2;
      b >>= 3;
    }
    g_Palette[index] = {r, g, b, 0};
  }
  // The pixel as 0xRRGGBB (narrow fields widened).
  static uint32_t RgbAt(DDSURFACEDATA* sd, int x, int y) {
    cSurfaceLock lock;
    if (!lock.Lock(sd)) return 0xDEADBEEF;
    return t4::platform::raster::ToArgb(lock.Pixels()->Format(), lock.Get(x, y)) & 0xFFFFFF;
  }
  // Equal up to the precision of 5-bit fields.
  static bool Near(uint32_t a, uint32_t b) {
    for (int s : {16, 8, 0})
      if (std::abs(static_cast<int>(a >> s & 255) - static_cast<int>(b >> s & 255)) > 8) return false;
    return true;
  }
  uint32_t At(int x, int y) { return RgbAt(&BackBuffer, x, y); }
  // A colour-keyed picture loaded from a 24-bit bitmap filled by rgb(x, y).
  template <typename F>
  void LoadPicture(DDSURFACEDATA* sd, const std::string& name, int w, int h, F rgb) {
    ASSERT_TRUE(f.Load(sd, f.Bmp(name, MakeRgbImage(w, h, 24, rgb))));
  }

  DDFixture f;
};

}  // namespace t4::test
