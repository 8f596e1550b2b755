#include <gtest/gtest.h>

#include "platform/raster/bmp_reader.h"
#include "support/bmp_writer.h"

namespace t4::platform::raster {
namespace {

std::span<const uint8_t> Bytes(const std::string& s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

TEST(BmpReader, ReadsEveryDepthBothRowOrders) {
  struct Case {
    int bitCount;
    bool topDown, bitfields;
  };
  const Case cases[] = {{1, false, false}, {4, true, false},   {8, false, false}, {16, false, false},
                        {16, true, true},  {24, false, false}, {24, true, false}, {32, false, false}};
  for (const Case& c : cases) {
    t4::test::BmpImage img{5, 3, c.bitCount, c.topDown, c.bitfields, {}, {}};
    const bool indexed = c.bitCount <= 8;
    if (indexed) img.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x)
        img.pixels.push_back(indexed ? static_cast<uint32_t>((x + y) % (c.bitCount == 1 ? 2 : 5))
                                     : (x % 2 ? 0xFF0000u : 0u) | (y % 2 ? 0xFFu : 0u) | (x == 2 ? 0xFF00u : 0u));
    std::string error;
    auto bmp = ReadBmp(Bytes(t4::test::EncodeBmp(img)), &error);
    ASSERT_TRUE(bmp) << c.bitCount << " " << error;
    EXPECT_EQ(bmp->width, 5);
    EXPECT_EQ(bmp->height, 3);
    EXPECT_EQ(bmp->bitCount, c.bitCount);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) {
        const uint32_t p = img.pixels[static_cast<size_t>(y) * 5 + x];
        if (indexed) {
          EXPECT_EQ(bmp->indexes[static_cast<size_t>(y) * 5 + x], p);
          EXPECT_EQ(bmp->Rgb(x, y), img.palette[p]);
        } else {
          EXPECT_EQ(bmp->Rgb(x, y), p) << c.bitCount << " at " << x << "," << y;
        }
      }
  }
}

TEST(BmpReader, RefusesDamagedFiles) {
  t4::test::BmpImage img{4, 4, 8, false, false, {0x123456}, std::vector<uint32_t>(16, 0)};
  const std::string good = t4::test::EncodeBmp(img);
  auto patched = [&](size_t at, std::initializer_list<uint8_t> bytes) {
    std::string s = good;
    for (uint8_t b : bytes) s[at++] = static_cast<char>(b);
    return s;
  };
  const std::string cases[] = {
      good.substr(0, 20),                     // header cut
      good.substr(0, good.size() - 1),        // pixel rows cut
      patched(0, {'X'}),                      // not a bitmap
      patched(18, {0xFF, 0xFF, 0xFF, 0x7F}),  // enormous width
      patched(18, {0, 0, 0, 0}),              // zero width
      patched(28, {7, 0}),                    // bad bit count
      patched(30, {1, 0, 0, 0}),              // run-length coded
      patched(10, {0xFF, 0xFF, 0xFF, 0xFF}),  // pixel offset past the end
      patched(46, {0, 2, 0, 0}),              // more colours than the depth holds: cut to 256
  };
  for (size_t i = 0; i + 1 < std::size(cases); ++i) EXPECT_FALSE(ReadBmp(Bytes(cases[i]))) << i;
  EXPECT_TRUE(ReadBmp(Bytes(cases[std::size(cases) - 1])));
}

}  // namespace
}  // namespace t4::platform::raster
