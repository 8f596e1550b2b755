// The renderer's fast paths against a plain per-pixel reference written here from the formulas:
// random quads, copies, stretches and fills in every pair of formats and every stage mode must
// give exactly the same pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/raster/blit.h"
#include "platform/raster/pixel_traits.h"
#include "platform/raster/device.h"
#include "platform/raster/quad.h"

namespace t4::platform::raster {
namespace {

// ---- the reference: every pixel on its own, each formula as written ----

uint32_t RefWiden(uint32_t v, int bits) { return bits == 5 ? (v << 3 | v >> 2) : (v << 2 | v >> 4); }

uint32_t RefToArgb(PixelFormat f, uint32_t p) {
  switch (f) {
    case PixelFormat::P8: return p & 255;
    case PixelFormat::R5G6B5:
      return 0xFF000000u | RefWiden(p >> 11 & 31, 5) << 16 | RefWiden(p >> 5 & 63, 6) << 8 | RefWiden(p & 31, 5);
    case PixelFormat::X1R5G5B5:
    case PixelFormat::A1R5G5B5:
      return (p & 0x8000 ? 0xFF000000u : 0) | RefWiden(p >> 10 & 31, 5) << 16 | RefWiden(p >> 5 & 31, 5) << 8 |
             RefWiden(p & 31, 5);
    case PixelFormat::R8G8B8: return 0xFF000000u | (p & 0xFFFFFF);
    default: return p;
  }
}

uint32_t RefFromArgb(PixelFormat f, uint32_t c) {
  const uint32_t a = c >> 24, r = c >> 16 & 255, g = c >> 8 & 255, b = c & 255;
  switch (f) {
    case PixelFormat::P8: return c & 255;
    case PixelFormat::R5G6B5: return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
    case PixelFormat::X1R5G5B5:
    case PixelFormat::A1R5G5B5: return (a >> 7) << 15 | (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
    case PixelFormat::R8G8B8: return c & 0xFFFFFF;
    default: return c;
  }
}

uint32_t RefOp(int op, uint32_t a1, uint32_t a2, uint32_t diffuse, uint32_t factorAlpha) {
  switch (op) {
    case TOP_SELECTARG1: return a1;
    case TOP_SELECTARG2: return a2;
    case TOP_MODULATE: return (a1 * a2 + 127) / 255;
    case TOP_ADD: return std::min(a1 + a2, 255u);
    case TOP_SUBTRACT: return a1 > a2 ? a1 - a2 : 0;
    case TOP_BLENDFACTORALPHA: return (a1 * factorAlpha + a2 * (255 - factorAlpha) + 127) / 255;
    default: return diffuse;
  }
}

uint32_t RefStage(const StageState& st, uint32_t texel, uint32_t diffuse) {
  auto arg = [&](int a) {
    return (a & 0xF) == TA_TEXTURE ? texel : (a & 0xF) == TA_TFACTOR ? st.textureFactor : diffuse;
  };
  const uint32_t fa = st.textureFactor >> 24;
  uint32_t out = 0;
  for (int s = 0; s < 32; s += 8) {
    const bool alpha = s == 24;
    const uint32_t a1 = arg(alpha ? st.alphaArg1 : st.colorArg1) >> s & 255;
    const uint32_t a2 = arg(alpha ? st.alphaArg2 : st.colorArg2) >> s & 255;
    out |= RefOp(alpha ? st.alphaOp : st.colorOp, a1, a2, diffuse >> s & 255, fa) << s;
  }
  return out;
}

int64_t RefFloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
int RefWrap(int64_t v, int n) { return static_cast<int>(((v % n) + n) % n); }

void RefQuad(Surface& t, int x, int y, int w, int h, const Surface* tex, int sx, int sy, int sw, int sh,
             uint32_t diffuse, const StageState& st, const IntRect* clip) {
  for (int64_t py = 0; py < t.Height(); ++py)
    for (int64_t px = 0; px < t.Width(); ++px) {
      if (px < x || py < y || px >= int64_t{x} + w || py >= int64_t{y} + h) continue;
      if (clip &&
          (px < clip->x || py < clip->y || px >= int64_t{clip->x} + clip->w || py >= int64_t{clip->y} + clip->h))
        continue;
      uint32_t texel = 0xFFFFFFFF;
      if (tex && tex->Width() > 0 && tex->Height() > 0) {
        const int tx = RefWrap(sx + RefFloorDiv((2 * (px - x) + 1) * sw, 2 * int64_t{w}), tex->Width());
        const int ty = RefWrap(sy + RefFloorDiv((2 * (py - y) + 1) * sh, 2 * int64_t{h}), tex->Height());
        const uint32_t raw = tex->GetPixel(tx, ty);
        texel = tex->Format() == PixelFormat::P8 ? 0xFF000000u | raw : RefToArgb(tex->Format(), raw);
      }
      uint32_t c = RefStage(st, texel, diffuse);
      if (st.alphaBlend) {
        const uint32_t a = c >> 24;
        if (a == 0) continue;
        const uint32_t d = RefToArgb(t.Format(), t.GetPixel(static_cast<int>(px), static_cast<int>(py)));
        uint32_t out = 0;
        for (int s = 0; s < 32; s += 8) out |= ((c >> s & 255) * a + (d >> s & 255) * (255 - a) + 127) / 255 << s;
        c = out;
      }
      t.SetPixel(static_cast<int>(px), static_cast<int>(py), RefFromArgb(t.Format(), c));
    }
}

// ---- random cases ----

constexpr PixelFormat kFormats[] = {PixelFormat::A8R8G8B8, PixelFormat::X8R8G8B8, PixelFormat::R5G6B5,
                                    PixelFormat::A1R5G5B5, PixelFormat::X1R5G5B5, PixelFormat::P8,
                                    PixelFormat::R8G8B8};

class Random {
 public:
  explicit Random(uint32_t seed) : m_gen(seed) {}
  int In(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_gen); }
  uint32_t Bits() { return m_gen(); }
  template <typename T, size_t N>
  T Pick(const T (&list)[N]) {
    return list[static_cast<size_t>(In(0, static_cast<int>(N) - 1))];
  }
  // A colour whose alpha is mostly 0 or 255, like real pictures, sometimes anything.
  uint32_t Colour(int kind = -1) {
    if (kind < 0) kind = In(0, 3);
    const uint32_t a = kind == 0 ? 0 : kind == 3 ? Bits() >> 24 : 255;
    return a << 24 | (Bits() & 0xFFFFFF);
  }
  // Every other picture has its kinds of alpha in runs of up to 80 pixels, as sprites have, so
  // that whole vectors of clear, opaque and mixed pixels all occur.
  Surface Picture(int w, int h, PixelFormat f) {
    Surface s(w, h, f);
    const bool runs = In(0, 1) != 0;
    int left = 0, kind = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        if (left-- == 0) {
          left = In(0, 79);
          kind = In(0, 3);
        }
        s.SetPixel(x, y, RefFromArgb(f, Colour(runs ? kind : -1)));
      }
    return s;
  }

 private:
  std::mt19937 m_gen;
};

// Each case runs at every vector width the machine has, down to the plain loops.
class RasterReference : public ::testing::TestWithParam<px::Lanes> {
 protected:
  void SetUp() override { m_before = px::UseLanes(GetParam()); }
  void TearDown() override { px::UseLanes(m_before); }

 private:
  px::Lanes m_before = px::Lanes::Plain;
};

std::vector<px::Lanes> MachineWidths() {
  std::vector<px::Lanes> widths;
  for (int l = 0; l <= static_cast<int>(px::MachineLanes()); ++l) widths.push_back(static_cast<px::Lanes>(l));
  return widths;
}

::testing::AssertionResult Same(const Surface& a, const Surface& b) {
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y))
        return ::testing::AssertionFailure() << "differs at (" << x << ", " << y << "): " << std::hex
                                             << a.GetPixel(x, y) << " against reference " << b.GetPixel(x, y);
  return ::testing::AssertionSuccess();
}

TEST_P(RasterReference, RandomQuadsInEveryFormatAndStageMode) {
  const int ops[] = {TOP_DISABLE, TOP_SELECTARG1, TOP_SELECTARG2,      TOP_MODULATE,
                     TOP_ADD,     TOP_SUBTRACT,   TOP_BLENDFACTORALPHA};
  const int args[] = {TA_DIFFUSE, TA_CURRENT, TA_TEXTURE, TA_TFACTOR};
  Random rnd(20261210);
  for (int n = 0; n < 600; ++n) {
    const PixelFormat tf = rnd.Pick(kFormats), df = rnd.Pick(kFormats);
    // Some textures wide enough for one-to-one rows of several vectors.
    const int tw = rnd.In(1, n % 3 ? 40 : 200), th = rnd.In(1, 12), dw = rnd.In(1, 700), dh = rnd.In(1, 6);
    const Surface tex = rnd.Picture(tw, th, tf);
    Surface fast = rnd.Picture(dw, dh, df);
    Surface ref = fast;
    StageState st;
    // Half the cases are the stages the drawing layer really uses (modulate and pass-through).
    if (n % 2) {
      st.colorOp = rnd.Pick(ops);
      st.colorArg1 = rnd.Pick(args);
      st.colorArg2 = rnd.Pick(args);
      st.alphaOp = rnd.Pick(ops);
      st.alphaArg1 = rnd.Pick(args);
      st.alphaArg2 = rnd.Pick(args);
    } else if (n % 4 == 2) {
      st.alphaOp = TOP_MODULATE;
    }
    st.textureFactor = rnd.Colour();
    st.alphaBlend = rnd.In(0, 4) != 0;
    const uint32_t diffuse = rnd.In(0, 2) == 0 ? 0xFFFFFFFF : rnd.Colour();
    const int w = rnd.In(1, dw + 20), h = rnd.In(1, dh + 4), x = rnd.In(-20, dw), y = rnd.In(-4, dh);
    // One to one, scaled, mirrored and wrapping source rectangles.
    const int kind = rnd.In(0, 3);
    const int sw = kind == 0 ? w : kind == 1 ? rnd.In(1, 3 * tw) : -rnd.In(1, 3 * tw);
    const int sh = kind == 0 ? h : rnd.In(-2 * th, 2 * th) | 1;
    const int sx = rnd.In(-tw, 2 * tw), sy = rnd.In(-th, 2 * th);
    const bool textured = rnd.In(0, 5) != 0;
    const std::optional<IntRect> clip =
        rnd.In(0, 3) == 0
            ? std::optional<IntRect>(IntRect{rnd.In(-5, dw), rnd.In(-2, dh), rnd.In(0, dw), rnd.In(0, dh)})
            : std::nullopt;
    DrawRectQuad(fast, x, y, w, h, textured ? &tex : nullptr, sx, sy, sw, sh, diffuse, st, clip ? &*clip : nullptr);
    RefQuad(ref, x, y, w, h, textured ? &tex : nullptr, sx, sy, sw, sh, diffuse, st, clip ? &*clip : nullptr);
    ASSERT_TRUE(Same(fast, ref)) << "case " << n << ": texture " << static_cast<int>(tf) << " target "
                                 << static_cast<int>(df) << " quad " << x << "," << y << " " << w << "x" << h
                                 << " source " << sx << "," << sy << " " << sw << "x" << sh << " ops " << st.colorOp
                                 << "/" << st.alphaOp << " blend " << st.alphaBlend;
  }
}

void RefStretch(Surface& d, int dx, int dy, int dw, int dh, const Surface& s, int sx, int sy, int sw, int sh,
                std::optional<uint32_t> key) {
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  for (int64_t j = 0; j < dh; ++j)
    for (int64_t i = 0; i < dw; ++i) {
      const int64_t tx = dx + i, ty = dy + j, ux = sx + i * sw / dw, vy = sy + j * sh / dh;
      if (!d.Contains(static_cast<int>(tx), static_cast<int>(ty)) ||
          !s.Contains(static_cast<int>(ux), static_cast<int>(vy)))
        continue;
      const uint32_t p = s.GetPixel(static_cast<int>(ux), static_cast<int>(vy));
      if (key && p == *key) continue;
      d.SetPixel(static_cast<int>(tx), static_cast<int>(ty), p);
    }
}

TEST_P(RasterReference, RandomCopiesStretchesAndFillsAtEveryPixelSize) {
  const PixelFormat formats[] = {PixelFormat::P8, PixelFormat::R5G6B5, PixelFormat::R8G8B8, PixelFormat::X8R8G8B8};
  Random rnd(7);
  for (int n = 0; n < 400; ++n) {
    const PixelFormat f = rnd.Pick(formats);
    const int wide = n % 2 ? 1 : 4;
    const int sw0 = rnd.In(1, 60 * wide), sh0 = rnd.In(1, 10), dw0 = rnd.In(1, 80 * wide), dh0 = rnd.In(1, 10);
    // Few distinct values, so that the key matches often; in the wide cases the key comes in runs
    // between runs of other values, as around sprites.
    Surface src(sw0, sh0, f);
    for (int y = 0; y < sh0; ++y)
      for (int x = 0, left = 0, kind = 0; x < sw0; ++x) {
        if (left-- == 0) {
          left = rnd.In(0, 99);
          kind = rnd.In(0, 2);
        }
        const int v = n % 2 || kind == 2 ? rnd.In(0, 3) : kind == 0 ? 1 : 2 * rnd.In(0, 1);
        src.SetPixel(x, y, static_cast<uint32_t>(v) * 0x01010101u);
      }
    Surface fast = rnd.Picture(dw0, dh0, f), ref = fast;
    const std::optional<uint32_t> key =
        rnd.In(0, 1) ? std::optional<uint32_t>(0x01010101u & ((1ull << (8 * BytesPerPixel(f))) - 1)) : std::nullopt;
    const int dx = rnd.In(-10, dw0), dy = rnd.In(-3, dh0), sx = rnd.In(-10, sw0), sy = rnd.In(-3, sh0);
    const int w = rnd.In(-1, 90 * wide), h = rnd.In(-1, 12), sw = rnd.In(-1, 70 * wide), sh = rnd.In(-1, 12);
    switch (n % 3) {
      case 0:
        StretchRect(fast, dx, dy, w, h, src, sx, sy, sw, sh, key);
        RefStretch(ref, dx, dy, w, h, src, sx, sy, sw, sh, key);
        break;
      case 1:
        CopyRect(fast, dx, dy, src, sx, sy, w, h, key);
        RefStretch(ref, dx, dy, w, h, src, sx, sy, w, h, key);
        break;
      default: {
        const uint32_t raw = rnd.Bits();
        FillRect(fast, dx, dy, w, h, raw);
        for (int y = std::max(dy, 0); y < std::min<int64_t>(int64_t{dy} + h, dh0); ++y)
          for (int x = std::max(dx, 0); x < std::min<int64_t>(int64_t{dx} + w, dw0); ++x) ref.SetPixel(x, y, raw);
      }
    }
    ASSERT_TRUE(Same(fast, ref)) << "case " << n << " format " << static_cast<int>(f);
  }
}

TEST_P(RasterReference, FrameConversionOfEveryPixelValue) {
  HardwarePalette palette;
  for (int i = 0; i < 256; ++i)
    palette.entries[i] = {static_cast<uint8_t>(i * 7), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i ^ 0x5A),
                          0};
  // Widths that are and are not whole steps of the row loops.
  for (const PixelFormat f : kFormats)
    for (const int w : {256, 13}) {
      const int values = BytesPerPixel(f) == 1 ? 256 : 65536;
      const int h = (values + w - 1) / w;
      Surface screen(w, h, f);
      Random rnd(static_cast<uint32_t>(w));
      for (int i = 0; i < w * h; ++i)
        screen.SetPixel(i % w, i / w, BytesPerPixel(f) <= 2 ? static_cast<uint32_t>(i % values) : rnd.Bits());
      Frame frame;
      frame.pixels.assign(5, 0xDEAD);  // a used buffer of the wrong size
      ConvertFrame(screen, f == PixelFormat::P8 ? &palette : nullptr, frame);
      ASSERT_EQ(frame.width, w);
      ASSERT_EQ(frame.height, h);
      ASSERT_EQ(frame.pixels.size(), static_cast<size_t>(w) * h);
      for (int i = 0; i < w * h; ++i) {
        const uint32_t raw = screen.GetPixel(i % w, i / w);
        const PaletteColor& c = palette.entries[raw & 255];
        const uint32_t want = f == PixelFormat::P8 ? static_cast<uint32_t>(c.red << 16 | c.green << 8 | c.blue)
                                                   : RefToArgb(f, raw) & 0xFFFFFF;
        ASSERT_EQ(frame.pixels[static_cast<size_t>(i)], want) << "format " << static_cast<int>(f) << " raw " << raw;
      }
    }
}

TEST_P(RasterReference, TranslucentHalfMixOfRandomRowsInBothModesWithAndWithoutKey) {
  Random rnd(43);
  const uint32_t key = 0xFF00FF;
  for (int n = 0; n < 200; ++n) {
    const bool render = n % 2, keyed = n % 4 >= 2;
    const int len = rnd.In(0, 150);
    // Runs of the key and of clear alpha among random colours, on both sides.
    std::vector<uint32_t> s(static_cast<size_t>(len)), d(static_cast<size_t>(len));
    for (int i = 0; i < len; ++i) {
      const int kind = rnd.In(0, 5);
      s[static_cast<size_t>(i)] = kind == 0 ? key : kind == 1 ? rnd.Bits() & 0xFFFFFF : rnd.Bits();
      d[static_cast<size_t>(i)] = rnd.In(0, 4) == 0 ? key | (rnd.Bits() & 0xFF000000u) * (n % 3 == 0) : rnd.Bits();
    }
    std::vector<uint32_t> want = d;
    for (int i = 0; i < len; ++i) {
      const uint32_t p = s[static_cast<size_t>(i)], q = d[static_cast<size_t>(i)];
      if (keyed && (render ? p >> 24 == 0 : p == key)) continue;
      uint32_t mix = 0;
      for (int sh = 0; sh < 24; sh += 8) mix |= (((p >> sh & 255) + (q >> sh & 255)) >> 1) << sh;
      want[static_cast<size_t>(i)] = render ? 0xFF000000u | mix : (q & 0xFF000000u) | (q == key ? p & 0xFFFFFF : mix);
    }
    px::HalfRow(d.data(), s.data(), len, render, keyed, key);
    ASSERT_EQ(d, want) << "case " << n << " render " << render << " keyed " << keyed;
  }
}

TEST_P(RasterReference, SixteenBitHalfMixOfEveryFieldPairWithAndWithoutKey) {
  // Every pair of 6-bit fields (and so of 5-bit ones) in one long row, pixel p against pixel q.
  const uint16_t key = 0xF81F;
  std::vector<uint16_t> s, d;
  for (uint32_t a = 0; a < 64; ++a)
    for (uint32_t b = 0; b < 64; ++b) {
      s.push_back(static_cast<uint16_t>((a & 31) << 11 | a << 5 | (63 - a) / 2));
      d.push_back(static_cast<uint16_t>((b & 31) << 11 | b << 5 | (b * 7 & 31)));
    }
  // The key on either side.
  for (int i = 0; i < 40; ++i) {
    s.push_back(i % 3 ? key : static_cast<uint16_t>(i * 997));
    d.push_back(i % 2 ? key : static_cast<uint16_t>(i * 331));
  }
  for (const bool keyed : {false, true}) {
    std::vector<uint16_t> fast = d, want = d;
    const auto to8 = [](uint32_t f, uint32_t mask) { return static_cast<int>(f * 255 / mask); };
    const auto from8 = [](int v, uint32_t mask) { return static_cast<uint32_t>(v) * mask / 255; };
    for (size_t i = 0; i < s.size(); ++i) {
      const uint32_t p = s[i], q = d[i];
      if (keyed && p == key) continue;
      if (q == key) {
        want[i] = static_cast<uint16_t>(p);
        continue;
      }
      const uint32_t r = from8((to8(p >> 11, 31) + to8(q >> 11, 31)) >> 1, 31);
      const uint32_t g = from8((to8(p >> 5 & 63, 63) + to8(q >> 5 & 63, 63)) >> 1, 63);
      const uint32_t b = from8((to8(p & 31, 31) + to8(q & 31, 31)) >> 1, 31);
      want[i] = static_cast<uint16_t>(r << 11 | g << 5 | b);
    }
    px::HalfRow565(fast.data(), s.data(), static_cast<int>(s.size()), keyed, key);
    ASSERT_EQ(fast, want) << "keyed " << keyed;
  }
}

std::string WidthName(const ::testing::TestParamInfo<px::Lanes>& info) {
  switch (info.param) {
    case px::Lanes::Avx512: return "Avx512";
    case px::Lanes::Avx2: return "Avx2";
    default: return "Plain";
  }
}
INSTANTIATE_TEST_SUITE_P(Widths, RasterReference, ::testing::ValuesIn(MachineWidths()), WidthName);

}  // namespace
}  // namespace t4::platform::raster
