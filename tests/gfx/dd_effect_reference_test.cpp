// The picture effects' software paths against plain per-pixel references written here from the
// formulas: random pictures, places and sizes in every mode must give exactly the same pixels.
#include <cmath>
#include <random>
#include <vector>

#include "effect_fixture.h"

namespace t4::test {
namespace {

// A picture's raw pixels, read through a lock, with the formulas' view of the mode.
struct Img {
  int w = 0, h = 0;
  std::vector<uint32_t> px;
  uint32_t& At(int64_t x, int64_t y) { return px[static_cast<size_t>(y * w + x)]; }
  bool In(int64_t x, int64_t y) const { return x >= 0 && y >= 0 && x < w && y < h; }
};

Img Read(DDSURFACEDATA* sd) {
  Img img{sd->nWidth, sd->nHeight, {}};
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) img.px.push_back(DDFixture::Pixel(sd, x, y));
  return img;
}

int To8(int v, int mask) { return mask ? v * 255 / mask : 0; }
int From8(int v, int mask) { return v * mask / 255; }
uint32_t Half32(uint32_t a, uint32_t b) {
  return ((a & 0xFEFEFEu) >> 1) + ((b & 0xFEFEFEu) >> 1) + (a & b & 0x010101u);
}

class EffectReferenceTest : public EffectTest {
 protected:
  int Bytes() const { return g_nBpp / 8; }
  bool Clear(uint32_t p) const {
    if (!Render()) return p == g_dwColorKey;
    if (Bytes() == 2) return ((p >> g_TexMask.nAShift) & g_TexMask.nAMask) == 0;
    return (p >> 24) == 0;
  }
  // Channels r, g, b of a 16-bit value in the texture layout.
  static void Split(uint32_t p, int c[3]) {
    const DDCOLORMASK& m = g_TexMask;
    c[0] = static_cast<int>(p >> m.nRShift & m.nRMask);
    c[1] = static_cast<int>(p >> m.nGShift & m.nGMask);
    c[2] = static_cast<int>(p >> m.nBShift & m.nBMask);
  }
  static uint32_t Join(const int c[3]) {
    const DDCOLORMASK& m = g_TexMask;
    return static_cast<uint32_t>(c[0] & m.nRMask) << m.nRShift | static_cast<uint32_t>(c[1] & m.nGMask) << m.nGShift |
           static_cast<uint32_t>(c[2] & m.nBMask) << m.nBShift;
  }
  static int Mask(int ch) { return ch == 0 ? g_TexMask.nRMask : ch == 1 ? g_TexMask.nGMask : g_TexMask.nBMask; }
  uint32_t PackRender(const int c[3]) const {
    if (Bytes() == 4) return 0xFF000000u | static_cast<uint32_t>(c[0] & 255) << 16 | (c[1] & 255) << 8 | (c[2] & 255);
    return Join(c) | static_cast<uint32_t>(g_TexMask.nAMask) << g_TexMask.nAShift;
  }
  uint32_t PackBlit(const int c[3], uint32_t old) const {
    if (Bytes() == 2) return Join(c);
    return (old & 0xFF000000u) | static_cast<uint32_t>(c[0] & 255) << 16 | (c[1] & 255) << 8 | (c[2] & 255);
  }
  void Channels(uint32_t p, int c[3]) const {
    if (Bytes() == 2) {
      Split(p, c);
    } else {
      c[0] = static_cast<int>(p >> 16 & 255);
      c[1] = static_cast<int>(p >> 8 & 255);
      c[2] = static_cast<int>(p & 255);
    }
  }

  // A picture of random pixels; about one in five is the transparent one.
  DDSURFACEDATA* RandomPicture(int w, int h) {
    return Make(w, h, [this](int, int) {
      if (m_Rnd() % 5 == 0) return Key();
      const uint32_t v = m_Rnd();
      if (Is8()) return v & 255;
      if (g_nBpp == 32) return (Render() ? 0xFF000000u : 0u) | (v & 0xFFFFFF);
      return Pack({static_cast<int>(v & 31), static_cast<int>(v >> 5) % (GMax() + 1), static_cast<int>(v >> 12 & 31)});
    });
  }
  int In(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_Rnd); }

  // Runs `draw` on random pictures and places and compares with `ref` applied to a copy.
  template <typename Draw, typename Ref>
  void Compare(int cases, Draw draw, Ref ref) {
    for (int n = 0; n < cases; ++n) {
      const int sw = In(1, 30), sh = In(1, 12), dw = In(1, 30), dh = In(1, 12);
      DDSURFACEDATA* src = RandomPicture(sw, sh);
      DDSURFACEDATA* dst = RandomPicture(dw, dh);
      const Img s = Read(src);
      Img want = Read(dst);
      // Mostly overlapping both pictures, sometimes sticking out of either on any side.
      const int g[6] = {In(-4, dw - 1), In(-2, dh - 1), In(0, sw + 6), In(0, sh + 3), In(-4, sw - 1), In(-2, sh - 1)};
      const bool keyed = In(0, 1) == 1;
      draw(dst, src, g, keyed);
      ref(want, s, g, keyed);
      const Img got = Read(dst);
      for (size_t i = 0; i < got.px.size(); ++i)
        ASSERT_EQ(got.px[i], want.px[i]) << "case " << n << " pixel " << i % got.w << "," << i / got.w << " geometry "
                                         << g[0] << " " << g[1] << " " << g[2] << " " << g[3] << " " << g[4] << " "
                                         << g[5] << " keyed " << keyed;
    }
  }
  // The pixels (x + j, y + i) <- (sx + j, sy + i) of a w x h walk inside both pictures.
  template <typename F>
  static void Walk(Img& d, const Img& s, const int g[6], F f) {
    for (int64_t i = 0; i < g[3]; ++i)
      for (int64_t j = 0; j < g[2]; ++j)
        if (d.In(g[0] + j, g[1] + i) && s.In(g[4] + j, g[5] + i))
          f(d.At(g[0] + j, g[1] + i), s.px[(g[5] + i) * s.w + g[4] + j]);
  }

  std::mt19937 m_Rnd{20261210};
};

TEST_P(EffectReferenceTest, TranslucentBlit) {
  Compare(
      60,
      [](DDSURFACEDATA* d, DDSURFACEDATA* s, const int* g, bool keyed) {
        DDBltHalfTrans(d, g[0], g[1], g[2], g[3], s, g[4], g[5], keyed ? BLT_TRANSPARENT : BLT_OPAQUE, g_HbtTable);
      },
      [this](Img& d, const Img& s, const int* g, bool keyed) {
        Walk(d, s, g, [&](uint32_t& q, uint32_t p) {
          if (Is8()) {
            if (!(keyed && p == 0)) q = q ? g_HbtTable[p + q * 256] : p;
            return;
          }
          if (keyed && Clear(p)) return;
          if (Bytes() == 4) {
            q = Render() ? 0xFF000000u | Half32(p, q)
                         : (q & 0xFF000000u) | (q == g_dwColorKey ? p & 0xFFFFFF : Half32(p, q));
            return;
          }
          int a[3], b[3], c[3];
          Split(p, a);
          Split(q, b);
          if (Render()) {
            for (int k = 0; k < 3; ++k) c[k] = (a[k] + b[k]) >> 1;
            q = PackRender(c);
          } else if (q == g_dwColorKey) {
            q = p;
          } else {
            for (int k = 0; k < 3; ++k) c[k] = From8((To8(a[k], Mask(k)) + To8(b[k], Mask(k))) >> 1, Mask(k));
            q = PackBlit(c, q);
          }
        });
      });
}

TEST_P(EffectReferenceTest, TintEveryStrength) {
  for (int strength = 1; strength <= 5; ++strength) {
    const int index = In(0, 255);
    g_Palette[index] = {static_cast<BYTE>(In(0, 255)), static_cast<BYTE>(In(0, 255)), static_cast<BYTE>(In(0, 255)), 0};
    Compare(
        12,
        [&](DDSURFACEDATA* d, DDSURFACEDATA* s, const int* g, bool keyed) {
          DDBltTint(d, g[0], g[1], g[2], g[3], s, g[4], g[5], keyed ? BLT_TRANSPARENT : BLT_OPAQUE, g_Palette,
                    g_HbtTable, index, strength, nullptr);
        },
        [&](Img& d, const Img& s, const int* g, bool keyed) {
          const PALETTEENTRY& t = g_Palette[index];
          const int tint8[3] = {t.peRed, t.peGreen, t.peBlue};
          const int k = strength <= 4 ? (256 >> strength) : 0;
          const double w = k / 255.0;
          Walk(d, s, g, [&](uint32_t& q, uint32_t p) {
            if (keyed && (Is8() ? p == g_dwColorKey : Clear(p))) return;
            if (Is8()) {
              for (int n = 0; n < strength; ++n) p = g_HbtTable[p * 256 + static_cast<uint32_t>(index)];
              q = p;
              return;
            }
            int c[3];
            Channels(p, c);
            for (int ch = 0; ch < 3; ++ch) {
              const int mask = Bytes() == 2 ? Mask(ch) : 255;
              if (Render()) {
                const int tc = Bytes() == 2 ? From8(tint8[ch], mask) : tint8[ch];
                c[ch] = strength == 1 ? (c[ch] + tc) >> 1 : static_cast<int>(c[ch] * w + tc * (1 - w));
              } else {
                // The blit mode's 16-bit palette holds field values: the tint is scaled up too.
                const int tc = Bytes() == 2 ? To8(tint8[ch], mask) : tint8[ch];
                int v = Bytes() == 2 ? To8(c[ch], mask) : c[ch];
                for (int n = 0; n < strength; ++n) v = (v + tc) >> 1;
                c[ch] = Bytes() == 2 ? From8(v, mask) : v;
              }
            }
            q = Render() ? PackRender(c) : PackBlit(c, q);
          });
        });
  }
}

// The fade draws a quad in the render mode and sets the palette at 8 bits: only the blit mode's
// 16 and 32 bits fade pixel by pixel.
class EffectReferenceBlitFadeTest : public EffectReferenceTest {};

TEST_P(EffectReferenceBlitFadeTest, FadeOfTheHiColourModes) {
  for (int factor : {0, 1, 100, 255, 256}) {
    const int colour[3] = {In(0, 255), In(0, 255), In(0, 255)};
    Compare(
        4,
        [&](DDSURFACEDATA* d, DDSURFACEDATA* s, const int*, bool) {
          DDFade_UnPal(d, factor, colour[0], colour[1], colour[2], s);
        },
        [&](Img& d, const Img& s, const int*, bool) {
          const auto f = static_cast<uint32_t>(factor), k = 256 - f;
          for (int y = 0; y < std::min(d.h, s.h); ++y)
            for (int x = 0; x < std::min(d.w, s.w); ++x) {
              int c[3];
              Channels(s.px[static_cast<size_t>(y * s.w + x)], c);
              for (int ch = 0; ch < 3; ++ch) {
                const int mask = Bytes() == 2 ? Mask(ch) : 255;
                const auto c8 = static_cast<uint32_t>(Bytes() == 2 ? To8(c[ch], mask) : c[ch]);
                const auto v = static_cast<int>((c8 * f + static_cast<uint32_t>(colour[ch]) * k) >> 8);
                c[ch] = Bytes() == 2 ? From8(v, mask) : v;
              }
              d.At(x, y) = Bytes() == 2 ? Join(c) : PackBlit(c, d.At(x, y));
            }
        });
  }
}

TEST_P(EffectReferenceTest, RotationAtAnyAngle) {
  for (int angle : {0, 17, 90, 135, 200, -45}) {
    Compare(
        10,
        [&](DDSURFACEDATA* d, DDSURFACEDATA* s, const int* g, bool keyed) {
          DDBltRotate(d, g[0], g[1], g[2], g[3], g[2] / 2, g[3] / 3, angle, s, g[4], g[5],
                      keyed ? BLT_TRANSPARENT : BLT_OPAQUE);
        },
        [&](Img& d, const Img& s, const int* g, bool keyed) {
          const double theta = angle * 3.14159265358979 / 180;
          const auto sn = static_cast<int64_t>(std::sin(theta) * 1024),
                     cs = static_cast<int64_t>(std::cos(theta) * 1024);
          const int64_t PX = g[2] / 2, PY = g[3] / 3;
          // Every destination pixel: its turned source, when inside the picture and the source.
          for (int64_t ty = 0; ty < d.h; ++ty)
            for (int64_t tx = 0; tx < d.w; ++tx) {
              const int64_t dx = tx - g[0], dy = ty - g[1];
              const int64_t u = PX + ((dx * cs + dy * sn) >> 10), v = PY + ((dy * cs - dx * sn) >> 10);
              if (u < 0 || u >= g[2] || v < 0 || v >= g[3] || !s.In(g[4] + u, g[5] + v)) continue;
              const uint32_t p = s.px[static_cast<size_t>((g[5] + v) * s.w + g[4] + u)];
              if (keyed && (Is8() ? p == g_dwColorKey : Clear(p))) continue;
              d.At(tx, ty) = p;
            }
        });
  }
}

// Neither the blur nor the mosaic draws at 8 bits.
class EffectReferenceHiColourTest : public EffectReferenceTest {};

TEST_P(EffectReferenceHiColourTest, BlurAndMosaic) {
  for (int radius : {1, 2, 5}) {
    Compare(
        10,
        [&](DDSURFACEDATA* d, DDSURFACEDATA* s, const int* g, bool keyed) {
          DDBltBlur(d, g[0], g[1], g[2], g[3], radius, radius + 1, s, g[4], g[5], keyed ? BLT_TRANSPARENT : BLT_OPAQUE,
                    nullptr);
        },
        [&](Img& d, const Img& s, const int* g, bool keyed) {
          for (int64_t i = 0; i < g[3]; ++i)
            for (int64_t j = 0; j < g[2]; ++j) {
              if (!d.In(g[0] + j, g[1] + i) || !s.In(g[4] + j, g[5] + i)) continue;
              if (keyed && Clear(s.px[static_cast<size_t>((g[5] + i) * s.w + g[4] + j)])) continue;
              // Columns j - r .. j + r - 1 and rows i - r' .. i + r' - 1 of the picture, counted
              // where inside the picture and the source.
              int64_t sum[3] = {}, n = 0;
              for (int64_t v = i - (radius + 1); v < i + radius + 1; ++v)
                for (int64_t u = j - radius; u < j + radius; ++u) {
                  if (u < 0 || v < 0 || u >= g[2] || v >= g[3] || !s.In(g[4] + u, g[5] + v)) continue;
                  const uint32_t p = s.px[static_cast<size_t>((g[5] + v) * s.w + g[4] + u)];
                  if (keyed && Clear(p)) continue;
                  int c[3];
                  Channels(p, c);
                  for (int k = 0; k < 3; ++k) sum[k] += c[k];
                  ++n;
                }
              if (n == 0) continue;
              const int c[3] = {static_cast<int>(sum[0] / n), static_cast<int>(sum[1] / n),
                                static_cast<int>(sum[2] / n)};
              uint32_t& q = d.At(g[0] + j, g[1] + i);
              q = Render() ? PackRender(c) : PackBlit(c, q);
            }
        });
    Compare(
        10,
        [&](DDSURFACEDATA* d, DDSURFACEDATA* s, const int* g, bool keyed) {
          DDBltMosaic(d, g[0], g[1], g[2], g[3], radius + 1, s, g[4], g[5], keyed ? BLT_TRANSPARENT : BLT_OPAQUE,
                      nullptr);
        },
        [&](Img& d, const Img& s, const int* g, bool keyed) {
          const int block = radius + 1;
          for (int64_t i = 0; i < g[3]; ++i)
            for (int64_t j = 0; j < g[2]; ++j) {
              const int64_t bx = j / block * block, by = i / block * block;
              if (!d.In(g[0] + j, g[1] + i) || !s.In(g[4] + bx, g[5] + by)) continue;
              uint32_t p = s.px[static_cast<size_t>((g[5] + by) * s.w + g[4] + bx)];
              if (keyed && Clear(p)) continue;
              if (Render() && Bytes() == 4) p |= 0xFF000000u;
              d.At(g[0] + j, g[1] + i) = p;
            }
        });
  }
}

TEST_P(EffectReferenceTest, LensWithAndWithoutClearing) {
  for (int depth : {1, 4, 9}) {
    const bool clearOutside = depth == 4;
    Compare(
        10,
        [&](DDSURFACEDATA* d, DDSURFACEDATA* s, const int* g, bool keyed) {
          DDBltLens(d, g[0], g[1], g[2] / 2, depth, s, g[4], g[5], keyed ? BLT_TRANSPARENT : BLT_OPAQUE, clearOutside,
                    nullptr);
        },
        [&](Img& d, const Img& s, const int* g, bool keyed) {
          const int64_t radius = g[2] / 2;
          const auto L = static_cast<int64_t>(std::sqrt(static_cast<double>(depth * depth + radius * radius)));
          if (depth >= L) return;
          const bool clear = clearOutside && Render() && Bytes() == 4;
          const bool skipClear = !Render() || Bytes() == 4 || keyed;
          for (int64_t i = -radius; i <= radius; ++i)
            for (int64_t j = -radius; j <= radius; ++j) {
              if (!d.In(g[0] + j, g[1] + i)) continue;
              bool drawn = false;
              if (i * i + j * j <= radius * radius) {
                const double root = std::sqrt(static_cast<double>(L * L - (i * i + j * j)));
                const int64_t di = root != 0 ? static_cast<int64_t>(static_cast<double>(i * depth) / root + 0.5) : i;
                const int64_t dj = root != 0 ? static_cast<int64_t>(static_cast<double>(j * depth) / root + 0.5) : j;
                if (s.In(g[4] + dj, g[5] + di)) {
                  const uint32_t p = s.px[static_cast<size_t>((g[5] + di) * s.w + g[4] + dj)];
                  if (!(skipClear && (Is8() ? p == g_dwColorKey : Clear(p)))) {
                    d.At(g[0] + j, g[1] + i) = p;
                    drawn = true;
                  }
                }
              }
              if (!drawn && clear) d.At(g[0] + j, g[1] + i) = 0;
            }
        });
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, EffectReferenceTest, ::testing::ValuesIn(kEffectModes), ModeName);
INSTANTIATE_TEST_SUITE_P(Modes, EffectReferenceBlitFadeTest, ::testing::Values(kDD16, kDD32), ModeName);
INSTANTIATE_TEST_SUITE_P(Modes, EffectReferenceHiColourTest, ::testing::ValuesIn(kDrawModes), ModeName);

}  // namespace
}  // namespace t4::test
