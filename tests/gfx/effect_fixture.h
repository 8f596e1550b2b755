// The drawing layer in one mode with pictures made from raw pixels, for the effect tests.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "support/dd_fixture.h"
#include "gfx/dd_effects.h"

namespace t4::test {

// Channels in the field widths of the mode's picture layout (bytes; 5/5/5 render textures, 5/6/5
// blit surfaces; the index in r at 8 bits).
struct Fields {
  int r = 0, g = 0, b = 0;
};

class EffectTest : public ::testing::TestWithParam<DDMode> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(f.Init(GetParam()));
    if (!lpDTCon) g_dwColorKey = g_nBpp == 8 ? 0 : Pack({31, 0, 31});
    // The test's own mixing table, lopsided so that a swapped lookup shows: entry [a + b * 256]
    // is three quarters of the way from b to a.
    for (int a = 0; a < 256; ++a)
      for (int b = 0; b < 256; ++b) g_HbtTable[a + b * 256] = static_cast<BYTE>((3 * a + b) / 4);
  }
  void TearDown() override {
    for (DDSURFACEDATA& sd : m_Made) DDReleaseSurface(&sd);
  }

  bool Render() const { return lpDTCon != nullptr; }
  bool Is8() const { return g_nBpp == 8; }
  bool Is16() const { return g_nBpp == 16; }
  int GMax() const { return g_nBpp == 32 ? 255 : Render() ? 31 : 63; }
  int RMax() const { return g_nBpp == 32 ? 255 : 31; }

  // A w x h picture filled from raw pixel values. In the render mode it is a system-memory texture
  // (software paths) unless bTarget asks for a render-target texture.
  DDSURFACEDATA* Make(int w, int h, const std::function<uint32_t(int, int)>& pixel, bool bTarget = false) {
    DDSURFACEDATA* sd = &m_Made.emplace_back();
    EXPECT_TRUE(DDCreateSurface(sd, w, h, TRUE, 1, bTarget ? DTMEMORYTYPE_VIDEO_RT : DTMEMORYTYPE_SYSTEM, nullptr));
    cSurfaceLock lock;
    EXPECT_TRUE(lock.Lock(sd));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) lock.Set(x, y, pixel(x, y));
    return sd;
  }
  DDSURFACEDATA* Plain(int w, int h, uint32_t raw, bool bTarget = false) {
    return Make(
        w, h, [raw](int, int) { return raw; }, bTarget);
  }
  static uint32_t Px(DDSURFACEDATA* sd, int x, int y) { return DDFixture::Pixel(sd, x, y); }
  // Every pixel, row by row: to show that a call changed nothing.
  static std::vector<uint32_t> AllPixels(DDSURFACEDATA* sd) {
    std::vector<uint32_t> out;
    cSurfaceLock lock;
    if (!lock.Lock(sd)) return out;
    for (int y = 0; y < sd->nHeight; ++y)
      for (int x = 0; x < sd->nWidth; ++x) out.push_back(lock.Get(x, y));
    return out;
  }

  // An opaque picture pixel of the mode.
  uint32_t Pack(Fields c) const {
    if (g_nBpp == 8) return static_cast<uint32_t>(c.r);
    if (g_nBpp == 32) return (Render() ? 0xFF000000u : 0u) | c.r << 16 | c.g << 8 | c.b;
    if (Render()) return 0x8000u | c.r << 10 | c.g << 5 | c.b;
    return static_cast<uint32_t>(c.r << 11 | c.g << 5 | c.b);
  }
  Fields Unpack(uint32_t p) const {
    if (g_nBpp == 8) return {static_cast<int>(p), 0, 0};
    if (g_nBpp == 32)
      return {static_cast<int>(p >> 16 & 255), static_cast<int>(p >> 8 & 255), static_cast<int>(p & 255)};
    if (Render()) return {static_cast<int>(p >> 10 & 31), static_cast<int>(p >> 5 & 31), static_cast<int>(p & 31)};
    return {static_cast<int>(p >> 11 & 31), static_cast<int>(p >> 5 & 63), static_cast<int>(p & 31)};
  }
  // The transparent pixel of a picture: the colour key, or alpha 0 in the render mode.
  uint32_t Key() const { return Render() ? 0 : g_dwColorKey; }

  DDFixture f;

 private:
  std::deque<DDSURFACEDATA> m_Made;
};

}  // namespace t4::test
