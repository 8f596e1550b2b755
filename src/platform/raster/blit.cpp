#include "platform/raster/blit.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/raster/pixel_traits.h"

namespace t4::platform::raster {

namespace {

// Cuts the span [start, start + len) to [0, limit); returns the amount cut at the front.
inline int64_t CutSpan(int64_t& start, int64_t& len, int64_t limit) {
  int64_t front = 0;
  if (start < 0) {
    front = -start;
    len -= front;
    start = 0;
  }
  if (start + len > limit) len = limit - start;
  return front;
}

void KeyedRow24(uint8_t* d, const uint8_t* s, int n, uint32_t key) {
  for (int i = 0; i < n; ++i, d += 3, s += 3) {
    const uint32_t v = static_cast<uint32_t>(s[0] | s[1] << 8 | s[2] << 16);
    if (v != key) {
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
    }
  }
}

}  // namespace

void FillRect(Surface& dst, int x, int y, int w, int h, uint32_t raw) {
  int64_t x0 = x, y0 = y, cw = w, ch = h;
  if (cw <= 0 || ch <= 0) return;
  CutSpan(x0, cw, dst.Width());
  CutSpan(y0, ch, dst.Height());
  if (cw <= 0 || ch <= 0) return;
  const int bpp = dst.BytesPerPixel();
  for (int64_t row = y0; row < y0 + ch; ++row) {
    uint8_t* p = dst.Row(static_cast<int>(row)) + x0 * bpp;
    switch (bpp) {
      case 1: std::memset(p, static_cast<int>(raw & 0xFF), static_cast<size_t>(cw)); break;
      case 2: px::FillRow(reinterpret_cast<uint16_t*>(p), static_cast<int>(cw), static_cast<uint16_t>(raw)); break;
      case 4: px::FillRow(reinterpret_cast<uint32_t*>(p), static_cast<int>(cw), raw); break;
      default:
        for (int64_t i = 0; i < cw; ++i) dst.SetPixel(static_cast<int>(x0 + i), static_cast<int>(row), raw);
        break;
    }
  }
}

bool CopyRect(Surface& dst, int dx, int dy, const Surface& src, int sx, int sy, int w, int h,
              std::optional<uint32_t> key) {
  if (dst.BytesPerPixel() != src.BytesPerPixel() || dst.BytesPerPixel() == 0) return false;
  if (w <= 0 || h <= 0) return true;
  int64_t x = dx, y = dy, u = sx, v = sy, cw = w, ch = h;
  // Cut by the source, then by the destination, moving the partner start by the same amount.
  int64_t f = CutSpan(u, cw, src.Width());
  x += f;
  f = CutSpan(x, cw, dst.Width());
  u += f;
  f = CutSpan(v, ch, src.Height());
  y += f;
  f = CutSpan(y, ch, dst.Height());
  v += f;
  if (cw <= 0 || ch <= 0) return true;
  const int bpp = dst.BytesPerPixel();
  const bool sameSurface = &dst == &src;
  std::vector<uint8_t> rowCopy;
  for (int64_t r = 0; r < ch; ++r) {
    // A copy within one surface walks bottom-up when moving down, so rows read before written.
    const int64_t row = (sameSurface && y > v) ? ch - 1 - r : r;
    uint8_t* d = dst.Row(static_cast<int>(y + row)) + x * bpp;
    const uint8_t* s = src.Row(static_cast<int>(v + row)) + u * bpp;
    const int n = static_cast<int>(cw);
    if (!key) {
      std::memmove(d, s, static_cast<size_t>(n) * bpp);
      continue;
    }
    if (sameSurface) {
      // The keyed row loops assume separate rows.
      rowCopy.assign(s, s + static_cast<size_t>(n) * bpp);
      s = rowCopy.data();
    }
    switch (bpp) {
      case 1: px::KeyedRow(d, s, n, static_cast<uint8_t>(*key)); break;
      case 2:
        px::KeyedRow(reinterpret_cast<uint16_t*>(d), reinterpret_cast<const uint16_t*>(s), n,
                     static_cast<uint16_t>(*key));
        break;
      case 3: KeyedRow24(d, s, n, *key & 0xFFFFFF); break;
      case 4: px::KeyedRow(reinterpret_cast<uint32_t*>(d), reinterpret_cast<const uint32_t*>(s), n, *key); break;
      default: break;
    }
  }
  return true;
}

namespace {

// Rows of a stretch: destination column i of the visible range reads source column cols[i]
// (-1: outside the source, skipped).
template <typename T>
void StretchRows(Surface& dst, const Surface& src, int64_t dx, int64_t i0, int64_t i1, const int32_t* cols, int64_t dy,
                 int64_t dh, int64_t sy, int64_t sh, std::optional<uint32_t> key) {
  const T k = static_cast<T>(key.value_or(0));
  for (int64_t j = 0; j < dh; ++j) {
    const int64_t ty = dy + j;
    if (ty < 0 || ty >= dst.Height()) continue;
    const int64_t vy = sy + j * sh / dh;
    if (vy < 0 || vy >= src.Height()) continue;
    T* d = reinterpret_cast<T*>(dst.Row(static_cast<int>(ty))) + dx;
    const T* s = reinterpret_cast<const T*>(src.Row(static_cast<int>(vy)));
    for (int64_t i = i0; i < i1; ++i) {
      const int32_t u = cols[i - i0];
      if (u < 0) continue;
      const T p = s[u];
      if (key && p == k) continue;
      d[i] = p;
    }
  }
}

}  // namespace

bool StretchRect(Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy, int sw, int sh,
                 std::optional<uint32_t> key) {
  if (dst.BytesPerPixel() != src.BytesPerPixel() || dst.BytesPerPixel() == 0) return false;
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return true;
  // Only the columns that land inside the destination; source column sx + i x sw / dw of each,
  // found by stepping the quotient and remainder instead of dividing.
  const int64_t i0 = std::max<int64_t>(0, -int64_t{dx}), i1 = std::min<int64_t>(dw, int64_t{dst.Width()} - dx);
  if (i0 >= i1) return true;
  thread_local std::vector<int32_t> cols;
  cols.resize(static_cast<size_t>(i1 - i0));
  int64_t q = i0 * sw / dw, r = i0 * sw % dw;
  const int64_t qStep = sw / dw, rStep = sw % dw;
  for (int64_t i = i0; i < i1; ++i) {
    const int64_t u = sx + q;
    cols[static_cast<size_t>(i - i0)] = u >= 0 && u < src.Width() ? static_cast<int32_t>(u) : -1;
    q += qStep;
    r += rStep;
    if (r >= dw) {
      r -= dw;
      ++q;
    }
  }
  switch (dst.BytesPerPixel()) {
    case 1: StretchRows<uint8_t>(dst, src, dx, i0, i1, cols.data(), dy, dh, sy, sh, key); break;
    case 2: StretchRows<uint16_t>(dst, src, dx, i0, i1, cols.data(), dy, dh, sy, sh, key); break;
    case 4: StretchRows<uint32_t>(dst, src, dx, i0, i1, cols.data(), dy, dh, sy, sh, key); break;
    default:
      for (int64_t j = 0; j < dh; ++j) {
        const int64_t ty = int64_t{dy} + j, vy = int64_t{sy} + j * sh / dh;
        if (ty < 0 || ty >= dst.Height() || vy < 0 || vy >= src.Height()) continue;
        for (int64_t i = i0; i < i1; ++i) {
          const int32_t u = cols[static_cast<size_t>(i - i0)];
          if (u < 0) continue;
          const uint32_t p = src.GetPixel(u, static_cast<int>(vy));
          if (key && p == *key) continue;
          dst.SetPixel(static_cast<int>(dx + i), static_cast<int>(ty), p);
        }
      }
      break;
  }
  return true;
}

}  // namespace t4::platform::raster
