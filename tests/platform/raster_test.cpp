#include <gtest/gtest.h>

#include "platform/raster/blit.h"
#include "platform/raster/quad.h"

namespace t4::platform::raster {
namespace {

// A w x 1 texture whose texel i holds opaque grey level i.
Surface Ramp(int w) {
  Surface s(w, 1, PixelFormat::A8R8G8B8);
  for (int i = 0; i < w; ++i) s.SetPixel(i, 0, 0xFF000000u | static_cast<uint32_t>(i) * 0x010101u);
  return s;
}

int Level(const Surface& s, int x, int y) { return static_cast<int>(s.GetPixel(x, y) & 0xFF); }

TEST(RasterCombine, OperationsAndBlend) {
  struct Case {
    int colorOp, colorArg2, alphaOp;
    uint32_t texel, diffuse, factor, expected;
  };
  const Case cases[] = {
      {TOP_MODULATE, TA_DIFFUSE, TOP_SELECTARG1, 0xFF80FF40, 0x80FF8000, 0, 0xFF808000},
      {TOP_ADD, TA_DIFFUSE, TOP_SELECTARG1, 0xFFC01020, 0x00604000, 0, 0xFFFF5020},
      {TOP_SUBTRACT, TA_DIFFUSE, TOP_SELECTARG1, 0xFF801020, 0x00904010, 0, 0xFF000010},
      {TOP_SELECTARG2, TA_TFACTOR, TOP_DISABLE, 0xFFFFFFFF, 0x40000000, 0x12345678, 0x40345678},
      {TOP_BLENDFACTORALPHA, TA_TFACTOR, TOP_SELECTARG1, 0xFFFF0000, 0xFFFFFFFF, 0x800000FF, 0xFF80007F},
  };
  for (const Case& c : cases) {
    StageState st;
    st.colorOp = c.colorOp;
    st.colorArg2 = c.colorArg2;
    st.alphaOp = c.alphaOp;
    st.textureFactor = c.factor;
    EXPECT_EQ(CombineStage(st, c.texel, c.diffuse), c.expected) << c.colorOp;
  }
  // (s x a + d x (255 - a) + 127) / 255 on all four channels.
  EXPECT_EQ(BlendSourceAlpha(0x80FF0000, 0x000000FF), 0x4080007F);
}

TEST(RasterQuad, PixelCentreSamplingStretchesAndMirrors) {
  const Surface tex = Ramp(8);
  struct Case {
    int w, sx, sw;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {4, 2, 4, {2, 3, 4, 5}},              // one to one
      {8, 0, 4, {0, 0, 1, 1, 2, 2, 3, 3}},  // doubled
      {2, 0, 8, {2, 6}},                    // halved: centres fall on 2 and 6
      {4, 4, -4, {3, 2, 1, 0}},             // mirrored cell read from its right edge
      {3, 6, 3, {6, 7, 0}},                 // wrap addressing past the texture edge
  };
  for (const Case& c : cases) {
    Surface target(10, 1, PixelFormat::X8R8G8B8);
    DrawRectQuad(target, 1, 0, c.w, 1, &tex, c.sx, 0, c.sw, 1, 0xFFFFFFFF, StageState{});
    for (int i = 0; i < c.w; ++i) EXPECT_EQ(Level(target, 1 + i, 0), c.expected[i]) << "w " << c.w << " i " << i;
    EXPECT_EQ(target.GetPixel(0, 0), 0u);
  }
}

TEST(RasterQuad, TransparentTexelsLeaveTheTargetAndSixteenBitTruncates) {
  Surface tex(2, 1, PixelFormat::A1R5G5B5);
  tex.SetPixel(0, 0, 0x0000);             // transparent
  tex.SetPixel(1, 0, 0x8000 | 31 << 10);  // opaque red
  Surface target(2, 1, PixelFormat::R5G6B5);
  target.Fill(0x07E0);
  DrawRectQuad(target, 0, 0, 2, 1, &tex, 0, 0, 2, 1, 0xFFFFFFFF, StageState{});
  EXPECT_EQ(target.GetPixel(0, 0), 0x07E0u);
  EXPECT_EQ(target.GetPixel(1, 0), 0xF800u);
  EXPECT_EQ(FromArgb(PixelFormat::R5G6B5, 0xFF0F0F0F), static_cast<uint32_t>(1 << 11 | 3 << 5 | 1));
}

TEST(RasterQuad, StripMatchesRectAndRotates) {
  Surface tex(4, 2, PixelFormat::A8R8G8B8);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) tex.SetPixel(x, y, 0xFF000000u | static_cast<uint32_t>(y * 4 + x + 1));
  auto strip = [&](float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3) {
    Surface target(8, 8, PixelFormat::X8R8G8B8);
    Vertex v[4] = {{x0, y0, 0, 1, 0xFFFFFFFF, 0, 0},
                   {x1, y1, 0, 1, 0xFFFFFFFF, 0, 1},
                   {x2, y2, 0, 1, 0xFFFFFFFF, 1, 0},
                   {x3, y3, 0, 1, 0xFFFFFFFF, 1, 1}};
    DrawTriangleStrip(target, v, &tex, StageState{});
    return target;
  };
  Surface rect(8, 8, PixelFormat::X8R8G8B8);
  DrawRectQuad(rect, 2, 3, 4, 2, &tex, 0, 0, 4, 2, 0xFFFFFFFF, StageState{});
  const Surface same = strip(1.5f, 2.5f, 1.5f, 4.5f, 5.5f, 2.5f, 5.5f, 4.5f);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(same.GetPixel(x, y), rect.GetPixel(x, y)) << x << "," << y;
  // Turned a quarter clockwise: the top row becomes the right column.
  const Surface turned = strip(3.5f, -0.5f, 1.5f, -0.5f, 3.5f, 3.5f, 1.5f, 3.5f);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(turned.GetPixel(3, i) & 0xFF, static_cast<uint32_t>(i + 1));
    EXPECT_EQ(turned.GetPixel(2, i) & 0xFF, static_cast<uint32_t>(i + 5));
  }
  EXPECT_EQ(turned.GetPixel(4, 0), 0u);
}

TEST(RasterBlit, CopiesClipToBothSurfacesAndSkipTheKey) {
  Surface src(4, 4, PixelFormat::P8);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src.SetPixel(x, y, static_cast<uint32_t>(1 + x + 4 * y));
  struct Case {
    int dx, dy, sx, sy, w, h;
    int probeX, probeY, expected;
  };
  const Case cases[] = {
      {-2, 0, 0, 0, 4, 4, 0, 0, 3},    // left edge: the source moves with the cut
      {0, -3, 0, 0, 4, 4, 0, 0, 13},   // top edge
      {3, 3, 0, 0, 4, 4, 4, 4, 6},     // right and bottom edges
      {0, 0, -1, -1, 3, 3, 1, 1, 1},   // source cut: destination moves with it
      {6, 0, 0, 0, 4, 4, 5, 0, 0},     // fully outside: nothing
      {0, 0, 2, 2, 10, 10, 1, 1, 16},  // larger than the source
  };
  for (const Case& c : cases) {
    Surface dst(5, 5, PixelFormat::P8);
    ASSERT_TRUE(CopyRect(dst, c.dx, c.dy, src, c.sx, c.sy, c.w, c.h, std::nullopt));
    EXPECT_EQ(dst.GetPixel(c.probeX, c.probeY), static_cast<uint32_t>(c.expected)) << c.dx << "," << c.dy;
  }
  Surface dst(4, 1, PixelFormat::P8);
  dst.Fill(9);
  CopyRect(dst, 0, 0, src, 0, 0, 4, 1, 2u);
  EXPECT_EQ(dst.GetPixel(1, 0), 9u);
  EXPECT_EQ(dst.GetPixel(2, 0), 3u);
  EXPECT_FALSE(CopyRect(dst, 0, 0, Surface(2, 2, PixelFormat::R5G6B5), 0, 0, 2, 2, std::nullopt));
}

TEST(RasterBlit, NearestStretchAndFillRule) {
  Surface src(4, 1, PixelFormat::P8);
  for (int x = 0; x < 4; ++x) src.SetPixel(x, 0, static_cast<uint32_t>(10 + x));
  Surface dst(8, 1, PixelFormat::P8);
  StretchRect(dst, 0, 0, 6, 1, src, 0, 0, 4, 1, std::nullopt);  // source = i * 4 / 6
  const int expected[] = {10, 10, 11, 12, 12, 13, 0, 0};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(dst.GetPixel(i, 0), static_cast<uint32_t>(expected[i])) << i;
  Surface other(8, 1, PixelFormat::P8);
  StretchRect(other, 0, 0, -4, 1, src, 0, 0, 4, 1, std::nullopt);
  StretchRect(other, 0, 0, 4, 1, src, 0, 0, -4, 1, std::nullopt);
  EXPECT_EQ(other.GetPixel(0, 0), 0u);
  Surface fill(4, 4, PixelFormat::R5G6B5);
  FillRect(fill, -100, 1, 1000, 2, 0xABCD);
  EXPECT_EQ(fill.GetPixel(0, 1), 0xABCDu);
  EXPECT_EQ(fill.GetPixel(3, 2), 0xABCDu);
  EXPECT_EQ(fill.GetPixel(0, 0), 0u);
  EXPECT_EQ(fill.GetPixel(0, 3), 0u);
}

TEST(RasterSurface, NewSurfacesAreZeroedAndCopiesOwnTheirPixels) {
  // A surface the size of the largest stage sheets, filled and freed, leaves memory the next one
  // may be given: that one must still start as zeros, whatever the allocator hands back.
  constexpr int kSide = 1024;
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    Surface s(kSide, kSide, PixelFormat::A8R8G8B8);
    ASSERT_EQ(s.Pitch(), kSide * 4);
    size_t nonZero = 0;
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < s.Pitch(); ++x) nonZero += s.Row(y)[x] != 0;
    EXPECT_EQ(nonZero, 0u);
    s.Fill(0xFFFFFFFFu);
  }

  Surface a(3, 2, PixelFormat::R5G6B5);
  a.SetPixel(2, 1, 0xF800);
  Surface b = a;
  b.SetPixel(2, 1, 0x001F);
  EXPECT_EQ(a.GetPixel(2, 1), 0xF800u);
  EXPECT_EQ(b.GetPixel(2, 1), 0x001Fu);
  a = b;
  EXPECT_EQ(a.GetPixel(2, 1), 0x001Fu);
  EXPECT_NE(a.Bits(), b.Bits());
  Surface c = std::move(a);
  EXPECT_EQ(c.GetPixel(2, 1), 0x001Fu);
}

}  // namespace
}  // namespace t4::platform::raster
