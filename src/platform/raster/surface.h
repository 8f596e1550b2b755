// Software surfaces: a block of pixels in one of the formats the drawing layer uses, with raw
// pixel access and conversion of pixel values to and from 8-bit ARGB.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/raster/pixel_memory.h"

namespace t4::platform::raster {

enum class PixelFormat : int {
  Unknown = 0,
  P8,  // palette index
  R5G6B5,
  X1R5G5B5,  // stored like A1R5G5B5: the top bit is kept as written
  A1R5G5B5,
  R8G8B8,    // three bytes, blue first
  X8R8G8B8,  // stored like A8R8G8B8: the top byte is kept as written
  A8R8G8B8,
};

int BytesPerPixel(PixelFormat format);
int BitsPerPixel(PixelFormat format);

// Channel layout of a format: shifts and right-aligned masks (alpha mask 0 when absent).
struct ChannelLayout {
  int rShift = 0, gShift = 0, bShift = 0, aShift = 0;
  uint32_t rMask = 0, gMask = 0, bMask = 0, aMask = 0;
};
ChannelLayout LayoutOf(PixelFormat format);

// Raw pixel value -> 0xAARRGGBB. Narrow fields widen by bit replication (31 -> 255), a missing
// alpha reads as 255; P8 gives the index in the low byte.
uint32_t ToArgb(PixelFormat format, uint32_t raw);
// 0xAARRGGBB -> raw pixel value; narrow fields truncate (c >> 3, c >> 2, alpha bit = a >> 7).
uint32_t FromArgb(PixelFormat format, uint32_t argb);

class Surface {
 public:
  Surface() = default;
  Surface(int width, int height, PixelFormat format);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  PixelFormat Format() const { return m_format; }
  int BytesPerPixel() const { return m_bytesPerPixel; }
  // Row pitch in bytes.
  int Pitch() const { return m_pitch; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }

  uint8_t* Bits() { return m_pixels.data(); }
  const uint8_t* Bits() const { return m_pixels.data(); }
  uint8_t* Row(int y) { return m_pixels.data() + static_cast<size_t>(y) * m_pitch; }
  const uint8_t* Row(int y) const { return m_pixels.data() + static_cast<size_t>(y) * m_pitch; }

  // Raw access; the caller keeps (x, y) inside the surface.
  uint32_t GetPixel(int x, int y) const;
  void SetPixel(int x, int y, uint32_t raw);
  void Fill(uint32_t raw);

 private:
  int m_width = 0;
  int m_height = 0;
  PixelFormat m_format = PixelFormat::Unknown;
  int m_bytesPerPixel = 0;
  int m_pitch = 0;
  PixelMemory m_pixels;
};

}  // namespace t4::platform::raster
