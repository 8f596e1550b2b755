// Run-length coded 8-bit and 4-bit bitmaps, written byte by byte here: decoded pixels, and
// refusal of codes that would leave the picture or run past the file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/raster/bmp_reader.h"
#include "support/le_writer.h"

namespace t4::platform::raster {
namespace {

// A bitmap file with a 40-byte header, a 16-entry palette (entry i = 0x00i0i0i0 as R, G, B) and
// the given pixel codes.
std::string RleFile(int width, int height, int bitCount, uint32_t compression, const std::vector<uint8_t>& codes) {
  const uint32_t offset = 14 + 40 + 16 * 4;
  t4::test::LeWriter w;
  w.Raw("BM").I32(static_cast<uint32_t>(offset + codes.size())).I32(0).I32(offset);
  w.I32(40).I32(width).I32(height).I16(1).I16(bitCount).I32(compression);
  w.I32(static_cast<uint32_t>(codes.size())).I32(0).I32(0).I32(16).I32(0);
  for (int i = 0; i < 16; ++i)
    w.U8(static_cast<uint8_t>(i * 16)).U8(static_cast<uint8_t>(i * 16)).U8(static_cast<uint8_t>(i * 16)).U8(0);
  w.Raw(std::string(codes.begin(), codes.end()));
  return w.Bytes();
}

std::optional<Bitmap> Read(const std::string& file, std::string* error = nullptr) {
  return ReadBmp({reinterpret_cast<const uint8_t*>(file.data()), file.size()}, error);
}

TEST(BmpRle, DecodesRunsAbsoluteBlocksDeltasAndLineEnds) {
  struct Case {
    const char* name;
    int width, height, bitCount;
    uint32_t compression;
    std::vector<uint8_t> codes;
    std::vector<uint8_t> expected;  // top row first
  };
  const Case cases[] = {
      {"RLE8",
       4,
       3,
       8,
       1,
       {3, 5, 1, 7, 0, 0,         // bottom row: run of three 5s, one 7, end of line
        0, 3, 1, 2, 3, 0, 0, 0,   // middle row: absolute 1 2 3 (padded), end of line
        0, 2, 2, 0, 2, 9, 0, 1},  // top row: skip two, two 9s, end of bitmap
       {0, 0, 9, 9, 1, 2, 3, 0, 5, 5, 5, 7}},
      {"RLE4",
       4,
       2,
       4,
       2,
       {4, 0xAB, 0, 0,            // bottom row: A B A B
        0, 3, 0x12, 0x30, 0, 1},  // top row: absolute nibbles 1 2 3, end of bitmap
       {1, 2, 3, 0, 10, 11, 10, 11}},
      {"delta across rows, early end",
       3,
       3,
       8,
       1,
       {0, 2, 1, 1, 1, 4, 0, 1},  // move to x 1 of the middle row, one 4, end
       {0, 0, 0, 0, 4, 0, 0, 0, 0}},
      {"odd run in RLE4", 3, 1, 4, 2, {3, 0x5C, 0, 1}, {5, 12, 5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    auto bmp = Read(RleFile(c.width, c.height, c.bitCount, c.compression, c.codes), &error);
    ASSERT_TRUE(bmp) << error;
    EXPECT_EQ(bmp->width, c.width);
    EXPECT_EQ(bmp->height, c.height);
    EXPECT_EQ(bmp->indexes, c.expected);
    ASSERT_EQ(bmp->rgb.size(), c.expected.size());
    for (size_t i = 0; i < c.expected.size(); ++i) EXPECT_EQ(bmp->rgb[i], c.expected[i] * 0x101010u) << i;
  }
}

TEST(BmpRle, CodesLeavingThePictureOrTheFileAreRefused) {
  struct Case {
    const char* name;
    int width, height, bitCount;
    uint32_t compression;
    std::vector<uint8_t> codes;
  };
  const Case cases[] = {
      {"run past the row end", 4, 2, 8, 1, {5, 1, 0, 1}},
      {"run after the last row", 4, 1, 8, 1, {0, 0, 2, 1, 0, 1}},
      {"absolute block past the row end", 2, 2, 8, 1, {0, 3, 1, 2, 3, 0, 0, 1}},
      {"absolute block past the data", 8, 1, 8, 1, {0, 6, 1, 2}},
      {"delta below the picture", 4, 2, 8, 1, {0, 2, 0, 3, 0, 1}},
      {"delta right of the picture", 4, 2, 8, 1, {0, 2, 5, 0, 0, 1}},
      {"delta cut short", 4, 2, 8, 1, {0, 2, 1}},
      {"no end of bitmap", 4, 1, 8, 1, {4, 1, 0, 0}},
      {"RLE4 run past the row end", 3, 1, 4, 2, {4, 0x11, 0, 1}},
      {"RLE8 on a 4-bit bitmap", 4, 1, 4, 1, {4, 1, 0, 1}},
      {"RLE4 on an 8-bit bitmap", 4, 1, 8, 2, {4, 1, 0, 1}},
      {"top-down RLE", 4, -1, 8, 1, {4, 1, 0, 1}},
      {"huge picture from two bytes", 16384, 16384, 8, 1, {0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    EXPECT_FALSE(Read(RleFile(c.width, c.height, c.bitCount, c.compression, c.codes), &error));
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace t4::platform::raster
