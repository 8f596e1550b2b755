#include "platform/text/glyph_plot.h"

#include <algorithm>

namespace t4::platform::text {
namespace {

uint32_t Channel(uint32_t argb, int shift) { return argb >> shift & 255; }

uint32_t Mix(uint32_t src, uint32_t dst, uint32_t a) {
  uint32_t out = 0xFF000000u;
  for (int shift : {16, 8, 0})
    out |= ((Channel(src, shift) * a + Channel(dst, shift) * (255 - a) + 127) / 255) << shift;
  return out;
}

// src with alpha a over dst with its own alpha.
uint32_t Over(uint32_t src, uint32_t dst, uint32_t a) {
  const uint32_t da = dst >> 24;
  const uint32_t outA = a + (da * (255 - a) + 127) / 255;
  if (outA == 0) return dst;
  uint32_t out = outA << 24;
  for (int shift : {16, 8, 0}) {
    const uint32_t c =
        (Channel(src, shift) * a * 255 + Channel(dst, shift) * da * (255 - a) + outA * 255 / 2) / (outA * 255);
    out |= std::min<uint32_t>(c, 255) << shift;
  }
  return out;
}

}  // namespace

void PlotGlyph(raster::Surface& target, int x, int y, int clipW, int clipH, const GlyphBitmap& glyph,
               const GlyphInk& ink) {
  const int64_t w = std::min(clipW, target.Width()), h = std::min(clipH, target.Height());
  const raster::PixelFormat format = target.Format();
  const bool oneBitAlpha = raster::LayoutOf(format).aMask == 1;
  for (int gy = 0; gy < glyph.height; ++gy) {
    const int64_t ty = int64_t{y} + gy;
    if (ty < 0 || ty >= h) continue;
    for (int gx = 0; gx < glyph.width; ++gx) {
      const int64_t tx = int64_t{x} + gx;
      if (tx < 0 || tx >= w) continue;
      const uint32_t a = glyph.coverage[static_cast<size_t>(gy) * glyph.width + gx];
      if (a == 0) continue;
      const int px = static_cast<int>(tx), py = static_cast<int>(ty);
      if (ink.useRaw) {
        if (a >= 128) target.SetPixel(px, py, ink.raw);
        continue;
      }
      const uint32_t dst = raster::ToArgb(format, target.GetPixel(px, py));
      const uint32_t src = ink.argb & 0xFFFFFF;
      uint32_t out;
      if (ink.opaqueTarget)
        out = Mix(src, dst, a);
      else if (oneBitAlpha)
        out = a >= 128 ? 0xFF000000u | src : dst;
      else
        out = Over(src, dst, a);
      target.SetPixel(px, py, raster::FromArgb(format, out));
    }
  }
}

}  // namespace t4::platform::text
