#include "platform/raster/bmp_reader.h"

#include <bit>

#include "platform/raster/bmp_rle.h"

namespace t4::platform::raster {

namespace {

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_BITFIELDS = 3;

uint32_t Le(std::span<const uint8_t> b, size_t at, int size) {
  uint32_t v = 0;
  for (int i = 0; i < size; ++i) v |= static_cast<uint32_t>(b[at + i]) << (8 * i);
  return v;
}

// Scales a masked field to 8 bits.
uint8_t Field(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const uint32_t max = mask >> shift;
  const uint32_t value = (pixel & mask) >> shift;
  return static_cast<uint8_t>(max == 0 ? 0 : (value * 255 + max / 2) / max);
}

std::optional<Bitmap> Fail(std::string* error, const char* why) {
  if (error) *error = why;
  return std::nullopt;
}

}  // namespace

std::optional<Bitmap> ReadBmp(std::span<const uint8_t> file, std::string* error) {
  if (file.size() < 14 + 12) return Fail(error, "file too short");
  if (file[0] != 'B' || file[1] != 'M') return Fail(error, "not a bitmap");
  const uint32_t dataOffset = Le(file, 10, 4);
  const uint32_t headerSize = Le(file, 14, 4);
  if (headerSize < 12 || headerSize > file.size() - 14) return Fail(error, "bad header size");
  int64_t width = 0, height = 0;
  int bitCount = 0;
  uint32_t compression = BI_RGB, colorsUsed = 0;
  uint32_t masks[3] = {0, 0, 0};
  size_t tableEntrySize = 4;
  if (headerSize == 12) {
    width = static_cast<int16_t>(Le(file, 18, 2));
    height = static_cast<int16_t>(Le(file, 20, 2));
    bitCount = static_cast<int>(Le(file, 24, 2));
    tableEntrySize = 3;
  } else {
    if (headerSize < 40) return Fail(error, "bad header size");
    width = static_cast<int32_t>(Le(file, 18, 4));
    height = static_cast<int32_t>(Le(file, 22, 4));
    bitCount = static_cast<int>(Le(file, 28, 2));
    compression = Le(file, 30, 4);
    colorsUsed = Le(file, 46, 4);
  }
  const size_t tableStart = 14 + headerSize;
  if (compression == BI_BITFIELDS) {
    if (bitCount != 16 && bitCount != 32) return Fail(error, "bit fields need 16 or 32 bits");
    // The masks follow a 40-byte header; larger headers hold them inside.
    const size_t at = headerSize >= 52 ? 14 + 40 : tableStart;
    if (at + 12 > file.size()) return Fail(error, "masks past the end");
    for (int i = 0; i < 3; ++i) masks[i] = Le(file, at + 4 * i, 4);
  } else if (compression == BI_RLE8 || compression == BI_RLE4) {
    if (bitCount != (compression == BI_RLE8 ? 8 : 4)) return Fail(error, "RLE with a wrong bit count");
    if (height < 0) return Fail(error, "a top-down bitmap cannot be RLE");
  } else if (compression != BI_RGB) {
    return Fail(error, "unknown compression");
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width > BMP_MAX_SIDE || height > BMP_MAX_SIDE) return Fail(error, "bad size");
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    return Fail(error, "bad bit count");
  if (compression == BI_RGB && bitCount == 16) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
  if (compression == BI_RGB && bitCount == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;

  Bitmap bmp;
  bmp.width = static_cast<int>(width);
  bmp.height = static_cast<int>(height);
  bmp.bitCount = bitCount;
  if (bitCount <= 8) {
    const uint32_t maxColors = 1u << bitCount;
    uint32_t count = colorsUsed == 0 ? maxColors : colorsUsed;
    if (count > maxColors) count = maxColors;
    const size_t at = tableStart + (compression == BI_BITFIELDS ? 12 : 0);
    if (at > file.size() || (file.size() - at) / tableEntrySize < count)
      return Fail(error, "colour table past the end");
    bmp.colorTable.resize(maxColors);
    for (uint32_t i = 0; i < count; ++i) {
      const size_t e = at + i * tableEntrySize;
      bmp.colorTable[i] = {file[e], file[e + 1], file[e + 2], 0};
    }
  }
  const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
  if (rle) {
    if (dataOffset > file.size()) return Fail(error, "pixel data past the end");
    std::string why;
    if (!DecodeBmpRle(file.subspan(dataOffset), bitCount, bmp.width, bmp.height, bmp.indexes, &why))
      return Fail(error, why.c_str());
    bmp.rgb.resize(bmp.indexes.size());
    for (size_t i = 0; i < bmp.indexes.size(); ++i) {
      const BmpColor& c = bmp.colorTable[bmp.indexes[i]];
      bmp.rgb[i] = static_cast<uint32_t>(c.red) << 16 | c.green << 8 | c.blue;
    }
    return bmp;
  }
  const size_t stride = ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4;
  if (dataOffset > file.size() || (file.size() - dataOffset) / stride < static_cast<size_t>(height))
    return Fail(error, "pixel data past the end");
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  bmp.rgb.resize(pixels);
  if (bitCount <= 8) bmp.indexes.resize(pixels);
  for (int y = 0; y < bmp.height; ++y) {
    const size_t row = dataOffset + stride * static_cast<size_t>(topDown ? y : bmp.height - 1 - y);
    const size_t out = static_cast<size_t>(y) * bmp.width;
    for (int x = 0; x < bmp.width; ++x) {
      uint32_t rgb = 0;
      if (bitCount <= 8) {
        const size_t bit = static_cast<size_t>(x) * bitCount;
        const uint8_t byte = file[row + bit / 8];
        const int shift = 8 - bitCount - static_cast<int>(bit % 8);
        const uint8_t index = static_cast<uint8_t>((byte >> shift) & ((1u << bitCount) - 1));
        bmp.indexes[out + x] = index;
        const BmpColor& c = bmp.colorTable[index];
        rgb = static_cast<uint32_t>(c.red) << 16 | c.green << 8 | c.blue;
      } else if (bitCount == 24) {
        const size_t p = row + static_cast<size_t>(x) * 3;
        rgb = static_cast<uint32_t>(file[p + 2]) << 16 | file[p + 1] << 8 | file[p];
      } else {
        const int bytes = bitCount / 8;
        const uint32_t v = Le(file, row + static_cast<size_t>(x) * bytes, bytes);
        rgb = static_cast<uint32_t>(Field(v, masks[0])) << 16 | Field(v, masks[1]) << 8 | Field(v, masks[2]);
      }
      bmp.rgb[out + x] = rgb;
    }
  }
  return bmp;
}

}  // namespace t4::platform::raster
