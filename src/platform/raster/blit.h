// Rectangle operations on raw pixels: clipped fills, colour-key copies and nearest stretches.
// Every operation clips to both surfaces; no pixel outside a surface is read or written.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/raster/surface.h"

namespace t4::platform::raster {

// Fills [x, x + w) x [y, y + h) intersected with the surface.
void FillRect(Surface& dst, int x, int y, int w, int h, uint32_t raw);

// Copies a w x h block from (sx, sy) to (dx, dy); pixels equal to `key` are skipped. Both
// rectangles are cut together so that source and destination pixels stay paired. Surfaces of
// different pixel sizes are refused (false).
bool CopyRect(Surface& dst, int dx, int dy, const Surface& src, int sx, int sy, int w, int h,
              std::optional<uint32_t> key);

// Nearest stretch of (sx, sy, sw, sh) into (dx, dy, dw, dh): destination column i reads source
// column sx + i * sw / dw (truncated), rows likewise. Non-positive extents draw nothing; pixels
// whose destination or source falls outside its surface are skipped.
bool StretchRect(Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy, int sw, int sh,
                 std::optional<uint32_t> key);

}  // namespace t4::platform::raster
