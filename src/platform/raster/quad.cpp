#include "platform/raster/quad.h"

#include <algorithm>
#include <cmath>

#include "platform/raster/blit.h"
#include "platform/raster/quad_pixels.h"

namespace t4::platform::raster {

namespace {

inline uint32_t Ch(uint32_t c, int shift) { return (c >> shift) & 255; }
inline uint32_t Mul(uint32_t a, uint32_t b) { return (a * b + 127) / 255; }

inline uint32_t Arg(int arg, uint32_t texel, uint32_t diffuse, uint32_t factor) {
  switch (arg & 0xF) {
    case TA_TEXTURE: return texel;
    case TA_TFACTOR: return factor;
    default: return diffuse;  // diffuse and current are the same in stage 0
  }
}

inline uint32_t CombineOp(int op, uint32_t a1, uint32_t a2, uint32_t diffuseCh, uint32_t factorAlpha) {
  switch (op) {
    case TOP_SELECTARG1: return a1;
    case TOP_SELECTARG2: return a2;
    case TOP_MODULATE: return Mul(a1, a2);
    case TOP_ADD: return std::min<uint32_t>(a1 + a2, 255);
    case TOP_SUBTRACT: return a1 > a2 ? a1 - a2 : 0;
    case TOP_BLENDFACTORALPHA: return (a1 * factorAlpha + a2 * (255 - factorAlpha) + 127) / 255;
    default: return diffuseCh;  // disable: the stage passes the diffuse value on
  }
}

}  // namespace

uint32_t CombineStage(const StageState& st, uint32_t texel, uint32_t diffuse) {
  const uint32_t fa = st.textureFactor >> 24;
  const uint32_t c1 = Arg(st.colorArg1, texel, diffuse, st.textureFactor);
  const uint32_t c2 = Arg(st.colorArg2, texel, diffuse, st.textureFactor);
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8)
    out |= CombineOp(st.colorOp, Ch(c1, shift), Ch(c2, shift), Ch(diffuse, shift), fa) << shift;
  const uint32_t a1 = Arg(st.alphaArg1, texel, diffuse, st.textureFactor);
  const uint32_t a2 = Arg(st.alphaArg2, texel, diffuse, st.textureFactor);
  out |= CombineOp(st.alphaOp, Ch(a1, 24), Ch(a2, 24), Ch(diffuse, 24), fa) << 24;
  return out;
}

uint32_t BlendSourceAlpha(uint32_t src, uint32_t dst) {
  const uint32_t a = src >> 24;
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8)
    out |= ((Ch(src, shift) * a + Ch(dst, shift) * (255 - a) + 127) / 255) << shift;
  return out;
}

namespace {

// Edge function of a -> b: positive on the inside of a triangle of positive area.
struct EdgeFn {
  double ax, ay, dx, dy;
  bool topLeft;
  double At(double px, double py) const { return dx * (py - ay) - dy * (px - ax); }
  bool Inside(double value) const { return value > 0 || (value == 0 && topLeft); }
};

EdgeFn MakeEdge(const Vertex& a, const Vertex& b) {
  EdgeFn e{a.x, a.y, static_cast<double>(b.x) - a.x, static_cast<double>(b.y) - a.y, false};
  // With y growing downward and this winding, a top edge runs right and a left edge runs up.
  e.topLeft = (e.dy == 0 && e.dx > 0) || e.dy < 0;
  return e;
}

uint32_t LerpColor(const Vertex& v0, const Vertex& v1, const Vertex& v2, double l0, double l1, double l2) {
  if (v0.diffuse == v1.diffuse && v1.diffuse == v2.diffuse) return v0.diffuse;
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const double c = Ch(v0.diffuse, shift) * l0 + Ch(v1.diffuse, shift) * l1 + Ch(v2.diffuse, shift) * l2;
    out |= static_cast<uint32_t>(std::clamp(std::floor(c + 0.5), 0.0, 255.0)) << shift;
  }
  return out;
}

void DrawTriangle(Surface& target, Vertex v0, Vertex v1, Vertex v2, const Surface* texture, const StageState& st) {
  double area = (static_cast<double>(v1.x) - v0.x) * (static_cast<double>(v2.y) - v0.y) -
                (static_cast<double>(v2.x) - v0.x) * (static_cast<double>(v1.y) - v0.y);
  if (!(area != 0) || !std::isfinite(area)) return;
  if (area < 0) {
    std::swap(v1, v2);
    area = -area;
  }
  const EdgeFn e12 = MakeEdge(v1, v2), e20 = MakeEdge(v2, v0), e01 = MakeEdge(v0, v1);
  const double minX = std::min({v0.x, v1.x, v2.x}), maxX = std::max({v0.x, v1.x, v2.x});
  const double minY = std::min({v0.y, v1.y, v2.y}), maxY = std::max({v0.y, v1.y, v2.y});
  const double lastX = target.Width() - 1.0, lastY = target.Height() - 1.0;
  const int x0 = static_cast<int>(std::clamp(std::ceil(minX), 0.0, lastX + 1));
  const int y0 = static_cast<int>(std::clamp(std::ceil(minY), 0.0, lastY + 1));
  const int x1 = static_cast<int>(std::clamp(std::floor(maxX), -1.0, lastX));
  const int y1 = static_cast<int>(std::clamp(std::floor(maxY), -1.0, lastY));
  const bool hasTex = texture && texture->Width() > 0 && texture->Height() > 0;
  for (int py = y0; py <= y1; ++py) {
    for (int px = x0; px <= x1; ++px) {
      const double w0 = e12.At(px, py), w1 = e20.At(px, py), w2 = e01.At(px, py);
      if (!e12.Inside(w0) || !e20.Inside(w1) || !e01.Inside(w2)) continue;
      const double l0 = w0 / area, l1 = w1 / area, l2 = w2 / area;
      uint32_t texel = 0xFFFFFFFF;
      if (hasTex) {
        const double u = (v0.u * l0 + v1.u * l1 + v2.u * l2) * texture->Width();
        const double v = (v0.v * l0 + v1.v * l1 + v2.v * l2) * texture->Height();
        if (!(std::abs(u) < 1e15) || !(std::abs(v) < 1e15)) continue;
        texel = ReadTexel(*texture, Wrap(static_cast<int64_t>(std::floor(u)), texture->Width()),
                          Wrap(static_cast<int64_t>(std::floor(v)), texture->Height()));
      }
      WriteQuadPixel(target, px, py, CombineStage(st, texel, LerpColor(v0, v1, v2, l0, l1, l2)), st);
    }
  }
}

}  // namespace

void DrawTriangleStrip(Surface& target, const Vertex v[4], const Surface* texture, const StageState& st) {
  DrawTriangle(target, v[0], v[1], v[2], texture, st);
  DrawTriangle(target, v[1], v[3], v[2], texture, st);
}

void ClearRect(Surface& target, int x, int y, int w, int h, uint32_t argb) {
  FillRect(target, x, y, w, h, FromArgb(target.Format(), argb));
}

}  // namespace t4::platform::raster
