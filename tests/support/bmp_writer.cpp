#include "support/bmp_writer.h"

namespace t4::test {

namespace {
void Put(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
}  // namespace

std::string EncodeBmp(const BmpImage& img) {
  const bool fields = img.bitCount == 16 && img.bitfields565;
  const int colors = img.bitCount <= 8 ? (1 << img.bitCount) : 0;
  const size_t stride = ((static_cast<size_t>(img.width) * img.bitCount + 31) / 32) * 4;
  const uint32_t offset = 14 + 40 + (fields ? 12 : 0) + colors * 4;
  std::string out = "BM";
  Put(out, static_cast<uint32_t>(offset + stride * img.height), 4);
  Put(out, 0, 4);
  Put(out, offset, 4);
  Put(out, 40, 4);
  Put(out, static_cast<uint32_t>(img.width), 4);
  Put(out, static_cast<uint32_t>(img.topDown ? -img.height : img.height), 4);
  Put(out, 1, 2);
  Put(out, static_cast<uint32_t>(img.bitCount), 2);
  Put(out, fields ? 3 : 0, 4);
  Put(out, static_cast<uint32_t>(stride * img.height), 4);
  Put(out, 2835, 4);
  Put(out, 2835, 4);
  Put(out, 0, 4);
  Put(out, 0, 4);
  if (fields) {
    Put(out, 0xF800, 4);
    Put(out, 0x07E0, 4);
    Put(out, 0x001F, 4);
  }
  for (int i = 0; i < colors; ++i) Put(out, i < static_cast<int>(img.palette.size()) ? img.palette[i] : 0, 4);
  for (int r = 0; r < img.height; ++r) {
    const int y = img.topDown ? r : img.height - 1 - r;
    std::string row(stride, '\0');
    for (int x = 0; x < img.width; ++x) {
      const uint32_t p = img.pixels[static_cast<size_t>(y) * img.width + x];
      const uint32_t R = p >> 16 & 255, G = p >> 8 & 255, B = p & 255;
      if (img.bitCount <= 8) {
        const size_t bit = static_cast<size_t>(x) * img.bitCount;
        row[bit / 8] = static_cast<char>(static_cast<uint8_t>(row[bit / 8]) | (p << (8 - img.bitCount - bit % 8)));
      } else if (img.bitCount == 16) {
        const uint32_t v =
            fields ? (R >> 3) << 11 | (G >> 2) << 5 | (B >> 3) : (R >> 3) << 10 | (G >> 3) << 5 | (B >> 3);
        row[2 * x] = static_cast<char>(v);
        row[2 * x + 1] = static_cast<char>(v >> 8);
      } else {
        const int n = img.bitCount / 8;
        for (int i = 0; i < n; ++i) row[n * x + i] = static_cast<char>(i < 3 ? (p >> (8 * i)) : 0);
      }
    }
    out += row;
  }
  return out;
}

}  // namespace t4::test
