// Reader of Windows bitmap files: 1, 4, 8, 16, 24 and 32 bits per pixel, BI_RGB and BI_BITFIELDS,
// RLE8 and RLE4, bottom-up and top-down. Every count and offset is checked against the file's bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace t4::platform::raster {

struct BmpColor {
  uint8_t blue = 0, green = 0, red = 0, reserved = 0;
};

struct Bitmap {
  int width = 0;
  int height = 0;
  int bitCount = 0;
  // Colour table of an indexed bitmap (1, 4 or 8 bits); empty otherwise.
  std::vector<BmpColor> colorTable;
  // Indexes of an indexed bitmap, top row first, one byte per pixel; empty otherwise.
  std::vector<uint8_t> indexes;
  // Every pixel as 0x00RRGGBB, top row first (indexed pixels through the colour table).
  std::vector<uint32_t> rgb;

  uint32_t Rgb(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};

// Largest width or height accepted; larger pictures are refused instead of allocating without bound.
constexpr int BMP_MAX_SIDE = 16384;

std::optional<Bitmap> ReadBmp(std::span<const uint8_t> file, std::string* error = nullptr);

}  // namespace t4::platform::raster
