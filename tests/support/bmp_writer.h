// Writes Windows bitmap files for tests: any depth the reader takes, bottom-up or top-down.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace t4::test {

struct BmpImage {
  int width = 0;
  int height = 0;
  int bitCount = 24;  // 1, 4, 8, 16, 24, 32
  bool topDown = false;
  bool bitfields565 = false;      // 16 bits: BI_BITFIELDS with 5-6-5 masks (else 5-5-5)
  std::vector<uint32_t> palette;  // 0x00RRGGBB, indexed depths
  std::vector<uint32_t> pixels;   // top row first: an index, or 0x00RRGGBB
};

std::string EncodeBmp(const BmpImage& image);

// A picture filled by `rgb(x, y)` at the given depth (24 or 32 bits).
template <typename F>
BmpImage MakeRgbImage(int width, int height, int bitCount, F rgb) {
  BmpImage img{width, height, bitCount, false, false, {}, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) img.pixels.push_back(rgb(x, y));
  return img;
}

}  // namespace t4::test
