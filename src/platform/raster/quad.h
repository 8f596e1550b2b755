// Textured quads as the fixed-function pipeline draws them: pixel-centre point sampling with wrap
// addressing, one texture stage (colour and alpha operation over texture, diffuse and texture
// factor) and source-alpha blending on all four channels of the target.
#pragma once

#include <cstdint>

#include "platform/raster/surface.h"

namespace t4::platform::raster {

// Stage operations and arguments, numbered as the drawing layer's constants.
enum : int {
  TOP_DISABLE = 1,
  TOP_SELECTARG1 = 2,
  TOP_SELECTARG2 = 3,
  TOP_MODULATE = 4,
  TOP_ADD = 7,
  TOP_SUBTRACT = 10,
  TOP_BLENDFACTORALPHA = 14,
};
enum : int { TA_DIFFUSE = 0, TA_CURRENT = 1, TA_TEXTURE = 2, TA_TFACTOR = 3 };

struct StageState {
  int colorOp = TOP_MODULATE;
  int colorArg1 = TA_TEXTURE;
  int colorArg2 = TA_DIFFUSE;
  int alphaOp = TOP_SELECTARG1;
  int alphaArg1 = TA_TEXTURE;
  int alphaArg2 = TA_DIFFUSE;
  uint32_t textureFactor = 0xFFFFFFFF;
  bool alphaBlend = true;  // dst = src x srcA + dst x (1 - srcA)
};

// Pre-transformed vertex: position in pixels (pixel centres at integers), colour, texture coords.
struct Vertex {
  float x = 0, y = 0, z = 0, rhw = 1;
  uint32_t diffuse = 0xFFFFFFFF;
  float u = 0, v = 0;
};

// The colour a stage outputs for one pixel (0xAARRGGBB). A missing texture reads opaque white.
uint32_t CombineStage(const StageState& st, uint32_t texel, uint32_t diffuse);
// dst = (s x a + d x (255 - a) + 127) / 255 per channel, alpha included.
uint32_t BlendSourceAlpha(uint32_t src, uint32_t dst);

// Axis-aligned quad covering pixels [x, x + w) x [y, y + h) with texels (sx, sy, sw, sh) of the
// texture (negative sw / sh mirror). Destination pixel column i samples texel
// sx + floor((2i + 1) x sw / 2w), wrapped into the texture; rows likewise. This is the exact
// result of the quad drawn at x - 0.5 .. x + w - 0.5 with texture coordinates (sx .. sx + sw) /
// texture width. `clip` limits the pixels written (null: the whole target).
struct IntRect {
  int x = 0, y = 0, w = 0, h = 0;
};
void DrawRectQuad(Surface& target, int x, int y, int w, int h, const Surface* texture, int sx, int sy, int sw, int sh,
                  uint32_t diffuse, const StageState& st, const IntRect* clip = nullptr);

// General quad given as a four-vertex triangle strip (used for rotated pictures): two triangles,
// top-left fill rule, attributes interpolated at pixel centres in double precision.
void DrawTriangleStrip(Surface& target, const Vertex v[4], const Surface* texture, const StageState& st);

// Clear of a rectangle to a colour given as 0xAARRGGBB (converted to the target format).
void ClearRect(Surface& target, int x, int y, int w, int h, uint32_t argb);

}  // namespace t4::platform::raster
