// The drawing layer's blits, fills and picture effects on a full screen in the blit mode at 8, 16
// and 32 bits, and the translucent blit in the render mode at 16 and 32. Each effect BM_Fx_<what> runs beside
// BM_Ref_<what>, a straightforward loop of the same formula over plain arrays, and the table gives the ratio of the two
// as well as to memcpy.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "gfx/dd.h"
#include "gfx/dd_effects.h"
#include "ratio_reporter.h"

namespace {

constexpr int W = 640;
constexpr int H = 480;
constexpr uint32_t KEY32 = 0xFF00FF, KEY16 = 31u << 11 | 31u;

struct Layer {
  t4::platform::HeadlessDisplay display;
  t4::platform::raster::GraphicsSystem system{display};
  DDSURFACEDATA table[72];
  IMAGESLOT slots[72];
  DDSURFACEDATA source;
  explicit Layer(int bpp, bool render = false) {
    t4::platform::raster::SetGraphicsSystem(&system);
    DDInit(render ? TRUE : FALSE, nullptr, W, H, bpp, FALSE, 0, 1, 60, FALSE, table, slots, 72);
    g_dwColorKey = bpp == 8 ? 0 : bpp == 16 ? KEY16 : KEY32;
    for (int a = 0; a < 256; ++a)
      for (int b = 0; b < 256; ++b) g_HbtTable[a + b * 256] = static_cast<BYTE>((a + b) / 2);
    for (int i = 0; i < 256; ++i) g_Palette[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 40, 0};
    DDCreateSurface(&source, W, H, TRUE, 1, 0, nullptr);
    // Every eighth pixel transparent, the rest a ramp.
    cSurfaceLock lock;
    lock.Lock(&source);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) lock.Set(x, y, x % 8 == 0 ? g_dwColorKey : Ramp(bpp, x, y));
    DDClear(&BackBuffer, 0);
  }
  ~Layer() {
    DDReleaseSurface(&source);
    DDRelease();
    t4::platform::raster::SetGraphicsSystem(nullptr);
  }
  static uint32_t Ramp(int bpp, int x, int y) {
    const uint32_t v = static_cast<uint32_t>(x * 7 + y * 3 + 1);
    return bpp == 8 ? 1 + v % 255 : bpp == 16 ? v % 0xF000 + 1 : (v * 0x010203u) & 0xFFFFFF;
  }
};

void Frame(benchmark::State& state, int bpp) {
  state.counters["frame_bytes"] = static_cast<double>(int64_t{W} * H * (bpp / 8));
}

template <typename F>
void Timed(benchmark::State& state, int bpp, F draw, bool render = false) {
  Layer layer(bpp, render);
  for (auto _ : state) {
    draw(layer);
    benchmark::ClobberMemory();
  }
  Frame(state, bpp);
}

// ---- the layer's own functions ----

void BM_OpaqueBlit(benchmark::State& s) {
  Timed(s, 32, [](Layer& l) { DDBlt(&BackBuffer, 0, 0, W, H, &l.source, 0, 0, BLT_OPAQUE); });
}
void BM_TransparentBlit(benchmark::State& s) {
  Timed(s, 32, [](Layer& l) { DDBlt(&BackBuffer, 0, 0, W, H, &l.source, 0, 0, BLT_TRANSPARENT); });
}
void BM_Fill(benchmark::State& s) {
  Timed(s, 32, [](Layer&) { DDFillRect(&BackBuffer, 0, 0, W, H, 0x123456); });
}
void BM_Fx_Trans(benchmark::State& s) {
  Timed(s, static_cast<int>(s.range(0)),
        [](Layer& l) { DDBltHalfTrans(&BackBuffer, 0, 0, W, H, &l.source, 0, 0, BLT_TRANSPARENT, g_HbtTable); });
}
void BM_RenderTrans(benchmark::State& s) {
  Timed(
      s, static_cast<int>(s.range(0)),
      [](Layer& l) { DDBltHalfTrans(&BackBuffer, 0, 0, W, H, &l.source, 0, 0, BLT_TRANSPARENT, g_HbtTable); }, true);
}
void BM_Fx_Tint(benchmark::State& s) {
  Timed(s, static_cast<int>(s.range(0)), [](Layer& l) {
    DDBltTint(&BackBuffer, 0, 0, W, H, &l.source, 0, 0, BLT_TRANSPARENT, g_Palette, g_HbtTable, 200, 2, nullptr);
  });
}
// The middle of a fade: every step rebuilds the frame from the copy of its first one.
void BM_Fx_Fade(benchmark::State& s) {
  Timed(s, static_cast<int>(s.range(0)), [](Layer& l) { DDFade_UnPal(&BackBuffer, 128, 0, 0, 0, &l.source); });
}
void BM_Fx_Rotate(benchmark::State& s) {
  Timed(s, 32,
        [](Layer& l) { DDBltRotate(&BackBuffer, 320, 240, W, H, 320, 240, 30, &l.source, 0, 0, BLT_TRANSPARENT); });
}
// The lens from the centre: radius sqrt(2) x 320 covers the whole screen.
void BM_Fx_Lens(benchmark::State& s) {
  Timed(s, 32, [](Layer& l) { DDBltLens(&BackBuffer, 320, 240, 452, 200, &l.source, 320, 240, 0, false, nullptr); });
}
void BM_Fx_Blur(benchmark::State& s) {
  Timed(s, 32, [](Layer& l) { DDBltBlur(&BackBuffer, 0, 0, W, H, 2, 2, &l.source, 0, 0, BLT_OPAQUE, nullptr); });
}
void BM_Fx_Mosaic(benchmark::State& s) {
  Timed(s, 32, [](Layer& l) { DDBltMosaic(&BackBuffer, 0, 0, W, H, 8, &l.source, 0, 0, BLT_OPAQUE, nullptr); });
}
// A quarter of the picture doubled onto the screen.
void BM_Fx_Stretch(benchmark::State& s) {
  Timed(s, static_cast<int>(s.range(0)),
        [](Layer& l) { DDBltStretch(&BackBuffer, 0, 0, W, H, &l.source, 0, 0, W / 2, H / 2, BLT_TRANSPARENT); });
}

// ---- straightforward loops of the same formulas ----

template <typename T>
struct Planes {
  std::vector<T> src, dst;
  explicit Planes(int bpp) : src(static_cast<size_t>(W) * H), dst(static_cast<size_t>(W) * H, 0) {
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        src[static_cast<size_t>(y) * W + x] = static_cast<T>(x % 8 == 0 ? (bpp == 8    ? 0
                                                                           : bpp == 16 ? KEY16
                                                                                       : KEY32)
                                                                        : Layer::Ramp(bpp, x, y));
  }
};

template <typename T, typename F>
void Loop(benchmark::State& state, int bpp, F body) {
  Planes<T> p(bpp);
  for (auto _ : state) {
    body(p.src.data(), p.dst.data());
    benchmark::DoNotOptimize(p.dst.data());
    benchmark::ClobberMemory();
  }
  Frame(state, bpp);
}

// The layouts, the fade's factor and colour reach the effects at run time; so they do here, so
// that the loops below cannot fold them into constants the effects never see.
int g_nMask565[3] = {31, 63, 31};
uint32_t g_nFadeFactor = 128, g_nFadeColour = 0;

int To8(int v, int mask) { return v * 255 / mask; }
int From8(int v, int mask) { return v * mask / 255; }
uint32_t Half32(uint32_t a, uint32_t b) {
  return ((a & 0xFEFEFEu) >> 1) + ((b & 0xFEFEFEu) >> 1) + (a & b & 0x010101u);
}
int HalfSteps(int c, int t, int n) {
  for (int k = 0; k < n; ++k) c = (c + t) >> 1;
  return c;
}
// A 5/6/5 pixel through a per-channel formula f(value, mask, channel).
template <typename F>
uint16_t Map565(uint32_t p, F f) {
  return static_cast<uint16_t>(f(static_cast<int>(p >> 11 & 31), g_nMask565[0], 0) << 11 |
                               f(static_cast<int>(p >> 5 & 63), g_nMask565[1], 1) << 5 |
                               f(static_cast<int>(p & 31), g_nMask565[2], 2));
}

void BM_Ref_Trans(benchmark::State& s) {
  const int bpp = static_cast<int>(s.range(0));
  if (bpp == 8) {
    Loop<uint8_t>(s, 8, [](const uint8_t* a, uint8_t* d) {
      for (int i = 0; i < W * H; ++i)
        if (a[i] != 0) d[i] = d[i] ? g_HbtTable[a[i] + d[i] * 256] : a[i];
    });
  } else if (bpp == 16) {
    Loop<uint16_t>(s, 16, [](const uint16_t* a, uint16_t* d) {
      for (int i = 0; i < W * H; ++i) {
        const uint32_t p = a[i], q = d[i];
        if (p == KEY16) continue;
        if (q == KEY16) {
          d[i] = static_cast<uint16_t>(p);
          continue;
        }
        const int ps[3] = {static_cast<int>(p >> 11 & 31), static_cast<int>(p >> 5 & 63), static_cast<int>(p & 31)};
        d[i] = Map565(q, [&](int v, int m, int ch) { return From8((To8(ps[ch], m) + To8(v, m)) >> 1, m); });
      }
    });
  } else {
    Loop<uint32_t>(s, 32, [](const uint32_t* a, uint32_t* d) {
      for (int i = 0; i < W * H; ++i) {
        const uint32_t p = a[i], q = d[i];
        if (p == KEY32) continue;
        d[i] = q == KEY32 ? (q & 0xFF000000u) | (p & 0xFFFFFF) : (q & 0xFF000000u) | Half32(p, q);
      }
    });
  }
}
void BM_Ref_Tint(benchmark::State& s) {
  const PALETTEENTRY t{200, 55, 40, 0};
  if (s.range(0) == 16) {
    Loop<uint16_t>(s, 16, [t](const uint16_t* a, uint16_t* d) {
      const int tc[3] = {t.peRed, t.peGreen, t.peBlue};
      for (int i = 0; i < W * H; ++i)
        if (a[i] != KEY16)
          d[i] = Map565(a[i], [&](int v, int m, int ch) { return From8(HalfSteps(To8(v, m), tc[ch], 2), m); });
    });
  } else {
    Loop<uint32_t>(s, 32, [t](const uint32_t* a, uint32_t* d) {
      for (int i = 0; i < W * H; ++i) {
        const uint32_t p = a[i];
        if (p == KEY32) continue;
        d[i] = (d[i] & 0xFF000000u) |
               static_cast<uint32_t>(HalfSteps(static_cast<int>(p >> 16 & 255), t.peRed, 2)) << 16 |
               static_cast<uint32_t>(HalfSteps(static_cast<int>(p >> 8 & 255), t.peGreen, 2)) << 8 |
               static_cast<uint32_t>(HalfSteps(static_cast<int>(p & 255), t.peBlue, 2));
      }
    });
  }
}
void BM_Ref_Fade(benchmark::State& s) {
  if (s.range(0) == 16) {
    Loop<uint16_t>(s, 16, [](const uint16_t* a, uint16_t* d) {
      const uint32_t f = g_nFadeFactor, k = 256 - f, c = g_nFadeColour;
      for (int i = 0; i < W * H; ++i)
        d[i] =
            Map565(a[i], [=](int v, int m, int) { return From8(static_cast<int>((To8(v, m) * f + c * k) >> 8), m); });
    });
  } else {
    Loop<uint32_t>(s, 32, [](const uint32_t* a, uint32_t* d) {
      const uint32_t f = g_nFadeFactor, k = 256 - f, ck = g_nFadeColour * k;
      for (int i = 0; i < W * H; ++i) {
        const uint32_t p = a[i];
        d[i] = (d[i] & 0xFF000000u) | ((p >> 16 & 255) * f + ck) >> 8 << 16 | ((p >> 8 & 255) * f + ck) >> 8 << 8 |
               ((p & 255) * f + ck) >> 8;
      }
    });
  }
}
void BM_Ref_Rotate(benchmark::State& s) {
  Loop<uint32_t>(s, 32, [](const uint32_t* a, uint32_t* d) {
    const double theta = 30 * 3.14159265358979 / 180;
    const int64_t sn = static_cast<int64_t>(std::sin(theta) * 1024), cs = static_cast<int64_t>(std::cos(theta) * 1024);
    for (int64_t y = 0; y < H; ++y)
      for (int64_t x = 0; x < W; ++x) {
        const int64_t dx = x - 320, dy = y - 240;
        const int64_t u = 320 + ((dx * cs + dy * sn) >> 10), v = 240 + ((dy * cs - dx * sn) >> 10);
        if (u < 0 || u >= W || v < 0 || v >= H) continue;
        const uint32_t p = a[v * W + u];
        if (p != KEY32) d[y * W + x] = p;
      }
  });
}
void BM_Ref_Lens(benchmark::State& s) {
  Loop<uint32_t>(s, 32, [](const uint32_t* a, uint32_t* d) {
    const int64_t radius = 452, depth = 200;
    const auto L = static_cast<int64_t>(std::sqrt(static_cast<double>(depth * depth + radius * radius)));
    for (int64_t i = -240; i < 240; ++i)
      for (int64_t j = -320; j < 320; ++j) {
        const int64_t d2 = i * i + j * j;
        if (d2 > radius * radius) continue;
        const double sq = std::sqrt(static_cast<double>(L * L - d2));
        const int64_t di = static_cast<int64_t>(static_cast<double>(i * depth) / sq + 0.5);
        const int64_t dj = static_cast<int64_t>(static_cast<double>(j * depth) / sq + 0.5);
        const int64_t u = 320 + dj, v = 240 + di;
        if (u < 0 || u >= W || v < 0 || v >= H) continue;
        const uint32_t p = a[v * W + u];
        if (p != KEY32) d[(i + 240) * W + j + 320] = p;
      }
  });
}
void BM_Ref_Blur(benchmark::State& s) {
  Loop<uint32_t>(s, 32, [](const uint32_t* a, uint32_t* d) {
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        int r = 0, g = 0, b = 0, n = 0;
        for (int v = std::max(y - 2, 0); v < std::min(y + 2, H); ++v)
          for (int u = std::max(x - 2, 0); u < std::min(x + 2, W); ++u) {
            const uint32_t p = a[v * W + u];
            r += p >> 16 & 255;
            g += p >> 8 & 255;
            b += p & 255;
            ++n;
          }
        d[y * W + x] = (d[y * W + x] & 0xFF000000u) | static_cast<uint32_t>(r / n) << 16 |
                       static_cast<uint32_t>(g / n) << 8 | static_cast<uint32_t>(b / n);
      }
  });
}
void BM_Ref_Mosaic(benchmark::State& s) {
  Loop<uint32_t>(s, 32, [](const uint32_t* a, uint32_t* d) {
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) d[y * W + x] = a[(y / 8 * 8) * W + x / 8 * 8];
  });
}
void BM_Ref_Stretch(benchmark::State& s) {
  const auto body = [](const auto* a, auto* d, uint32_t key) {
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        const auto p = a[(y * (H / 2) / H) * W + x * (W / 2) / W];
        if (p != key) d[y * W + x] = p;
      }
  };
  const int bpp = static_cast<int>(s.range(0));
  if (bpp == 8)
    Loop<uint8_t>(s, 8, [&](const uint8_t* a, uint8_t* d) { body(a, d, 0); });
  else if (bpp == 16)
    Loop<uint16_t>(s, 16, [&](const uint16_t* a, uint16_t* d) { body(a, d, KEY16); });
  else
    Loop<uint32_t>(s, 32, [&](const uint32_t* a, uint32_t* d) { body(a, d, KEY32); });
}

BENCHMARK(t4::bench::MemcpyCase)->Name("BM_Memcpy")->Arg(W* H)->Arg(W* H * 2)->Arg(W* H * 4);
BENCHMARK(BM_OpaqueBlit);
BENCHMARK(BM_TransparentBlit);
BENCHMARK(BM_Fill);
BENCHMARK(BM_Ref_Trans)->Arg(8)->Arg(16)->Arg(32);
BENCHMARK(BM_Fx_Trans)->Arg(8)->Arg(16)->Arg(32);
BENCHMARK(BM_RenderTrans)->Arg(16)->Arg(32);
BENCHMARK(BM_Ref_Tint)->Arg(16)->Arg(32);
BENCHMARK(BM_Fx_Tint)->Arg(16)->Arg(32);
BENCHMARK(BM_Ref_Fade)->Arg(16)->Arg(32);
BENCHMARK(BM_Fx_Fade)->Arg(16)->Arg(32);
BENCHMARK(BM_Ref_Rotate);
BENCHMARK(BM_Fx_Rotate);
BENCHMARK(BM_Ref_Lens);
BENCHMARK(BM_Fx_Lens);
BENCHMARK(BM_Ref_Blur);
BENCHMARK(BM_Fx_Blur);
BENCHMARK(BM_Ref_Mosaic);
BENCHMARK(BM_Fx_Mosaic);
BENCHMARK(BM_Ref_Stretch)->Arg(8)->Arg(16)->Arg(32);
BENCHMARK(BM_Fx_Stretch)->Arg(8)->Arg(16)->Arg(32);

}  // namespace

int main(int argc, char** argv) {
  return t4::bench::RunWithRatios(argc, argv,
                                  {
                                      {"BM_Fx_Trans/8", "blit mode 8-bit translucent blit", false, 5},
                                      {"BM_Fx_Trans/16", "blit mode 16-bit translucent blit", false, 5},
                                      {"BM_Fx_Trans/32", "blit mode 32-bit translucent blit", false, 5},
                                      {"BM_RenderTrans/16", "render mode 16-bit translucent blit", false, 5},
                                      {"BM_RenderTrans/32", "render mode 32-bit translucent blit", false, 5},
                                      {"BM_Fx_Trans/16", "16-bit translucent effect", true, 1.5},
                                  });
}
