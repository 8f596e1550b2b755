// The pixel-by-pixel reads and writes of textured quads, for the triangles and for the quads whose
// formats have no specialised loop.
#pragma once

#include <cstdint>

#include "platform/raster/quad.h"

namespace t4::platform::raster {

// Texel to 0xAARRGGBB; a palette texture has no colour meaning and reads as its index, opaque.
inline uint32_t ReadTexel(const Surface& t, int x, int y) {
  const uint32_t raw = t.GetPixel(x, y);
  return t.Format() == PixelFormat::P8 ? 0xFF000000u | raw : ToArgb(t.Format(), raw);
}

// A texel coordinate repeated into [0, size), for wrapping textures.
inline int Wrap(int64_t v, int size) {
  int64_t m = v % size;
  if (m < 0) m += size;
  return static_cast<int>(m);
}

// A stage's colour into the target: skipped where clear and blended where translucent when the
// stage blends.
inline void WriteQuadPixel(Surface& target, int x, int y, uint32_t color, const StageState& st) {
  if (st.alphaBlend) {
    const uint32_t a = color >> 24;
    if (a == 0) return;
    if (a != 255) color = BlendSourceAlpha(color, ToArgb(target.Format(), target.GetPixel(x, y)));
  }
  target.SetPixel(x, y, FromArgb(target.Format(), color));
}

}  // namespace t4::platform::raster
