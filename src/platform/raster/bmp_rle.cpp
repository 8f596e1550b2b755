#include "platform/raster/bmp_rle.h"

namespace t4::platform::raster {

namespace {

bool Refuse(std::string* error, const char* why) {
  if (error) *error = why;
  return false;
}

}  // namespace

bool DecodeBmpRle(std::span<const uint8_t> data, int bitCount, int width, int height, std::vector<uint8_t>& indexes,
                  std::string* error) {
  if ((bitCount != 8 && bitCount != 4) || width <= 0 || height <= 0) return Refuse(error, "bad RLE bitmap");
  const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  if (pixels > RLE_FREE_PIXELS && pixels / RLE_PIXELS_PER_BYTE > data.size())
    return Refuse(error, "RLE bitmap larger than its data can describe");
  indexes.assign(static_cast<size_t>(pixels), 0);
  // Rows are stored bottom-up: file row r is picture row height - 1 - r.
  int64_t x = 0, row = 0;
  size_t at = 0;
  auto put = [&](uint8_t index) {
    indexes[static_cast<size_t>(height - 1 - row) * static_cast<size_t>(width) + static_cast<size_t>(x)] = index;
    ++x;
  };
  while (at + 2 <= data.size()) {
    const uint8_t count = data[at];
    const uint8_t value = data[at + 1];
    at += 2;
    if (count > 0) {
      // An encoded run: one index (RLE8) or two alternating nibbles (RLE4).
      if (row >= height || x + count > width) return Refuse(error, "RLE run leaves the picture");
      for (int i = 0; i < count; ++i)
        put(bitCount == 8 ? value : static_cast<uint8_t>(i % 2 == 0 ? value >> 4 : value & 0x0F));
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++row;
        break;
      case 1:  // end of bitmap
        return true;
      case 2: {  // delta: move right and up (down the picture) without drawing
        if (at + 2 > data.size()) return Refuse(error, "RLE data past the end");
        x += data[at];
        row += data[at + 1];
        at += 2;
        if (x > width || row > height || (row == height && x > 0)) return Refuse(error, "RLE delta leaves the picture");
        break;
      }
      default: {  // absolute block of `value` pixels, padded to a 16-bit boundary
        const size_t bytes = bitCount == 8 ? value : (static_cast<size_t>(value) + 1) / 2;
        const size_t padded = (bytes + 1) & ~static_cast<size_t>(1);
        if (padded > data.size() - at) return Refuse(error, "RLE data past the end");
        if (row >= height || x + value > width) return Refuse(error, "RLE block leaves the picture");
        for (int i = 0; i < value; ++i) {
          const uint8_t b = data[at + static_cast<size_t>(bitCount == 8 ? i : i / 2)];
          put(bitCount == 8 ? b : static_cast<uint8_t>(i % 2 == 0 ? b >> 4 : b & 0x0F));
        }
        at += padded;
        break;
      }
    }
  }
  return Refuse(error, "RLE data past the end");
}

}  // namespace t4::platform::raster
