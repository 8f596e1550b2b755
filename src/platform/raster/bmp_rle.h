// Run-length decoding of 8-bit and 4-bit bitmaps (compression 1 and 2 of the bitmap header).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace t4::platform::raster {

constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;

// Pixels an RLE bitmap may describe: a few bytes of codes can stand for a huge empty picture, so
// beyond this floor the picture must be backed by its data (at most 128 pixels per byte, what a
// plain run encoder reaches).
constexpr uint64_t RLE_FREE_PIXELS = 4u << 20;
constexpr uint64_t RLE_PIXELS_PER_BYTE = 128;

// Decodes `data` (the pixel data of a bottom-up bitmap) into `indexes`, top row first, one byte
// per pixel; pixels the codes skip stay index 0. `bitCount` is 8 (RLE8) or 4 (RLE4). A run, an
// absolute block or a delta that leaves the picture, codes that run past the data or a missing
// end-of-bitmap refuse the file (false with `error` set); nothing is written outside the picture.
bool DecodeBmpRle(std::span<const uint8_t> data, int bitCount, int width, int height, std::vector<uint8_t>& indexes,
                  std::string* error);

}  // namespace t4::platform::raster
