// Puts a rendered glyph onto a software surface, as text output does on its target.
#pragma once

#include <cstdint>

#include "platform/raster/surface.h"
#include "platform/text/rasterizer.h"

namespace t4::platform::text {

struct GlyphInk {
  // Blit-mode text: this raw pixel value wherever the glyph covers at least half a pixel.
  bool useRaw = false;
  uint32_t raw = 0;
  // Render-mode text: this colour (0xAARRGGBB) weighted by coverage. On an opaque target it is
  // mixed with the pixel below; on a colour-keyed target the glyph is laid over the pixel with
  // both alphas, so the edges over a transparent pixel stay the text colour at partial alpha
  // instead of taking on the key colour (a 1-bit alpha takes the pixel at half coverage).
  uint32_t argb = 0xFFFFFFFF;
  bool opaqueTarget = true;
};

// Draws `glyph` with its bitmap's top-left at (x, y); pixels outside [0, clipW) x [0, clipH) and
// outside the surface are left alone.
void PlotGlyph(raster::Surface& target, int x, int y, int clipW, int clipH, const GlyphBitmap& glyph,
               const GlyphInk& ink);

}  // namespace t4::platform::text
