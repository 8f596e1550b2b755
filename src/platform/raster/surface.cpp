#include "platform/raster/surface.h"

#include <algorithm>
#include <cstring>

namespace t4::platform::raster {

int BytesPerPixel(PixelFormat format) {
  switch (format) {
    case PixelFormat::P8: return 1;
    case PixelFormat::R5G6B5:
    case PixelFormat::X1R5G5B5:
    case PixelFormat::A1R5G5B5: return 2;
    case PixelFormat::R8G8B8: return 3;
    case PixelFormat::X8R8G8B8:
    case PixelFormat::A8R8G8B8: return 4;
    case PixelFormat::Unknown: break;
  }
  return 0;
}

int BitsPerPixel(PixelFormat format) { return BytesPerPixel(format) * 8; }

ChannelLayout LayoutOf(PixelFormat format) {
  ChannelLayout l;
  switch (format) {
    case PixelFormat::R5G6B5: l = {11, 5, 0, 16, 31, 63, 31, 0}; break;
    case PixelFormat::X1R5G5B5:
    case PixelFormat::A1R5G5B5: l = {10, 5, 0, 15, 31, 31, 31, 1}; break;
    case PixelFormat::R8G8B8: l = {16, 8, 0, 24, 255, 255, 255, 0}; break;
    case PixelFormat::X8R8G8B8:
    case PixelFormat::A8R8G8B8: l = {16, 8, 0, 24, 255, 255, 255, 255}; break;
    default: break;
  }
  return l;
}

namespace {
inline uint32_t Widen5(uint32_t c) { return (c << 3) | (c >> 2); }
inline uint32_t Widen6(uint32_t c) { return (c << 2) | (c >> 4); }
}  // namespace

uint32_t ToArgb(PixelFormat format, uint32_t raw) {
  switch (format) {
    case PixelFormat::P8: return raw & 0xFF;
    case PixelFormat::R5G6B5:
      return 0xFF000000u | Widen5((raw >> 11) & 31) << 16 | Widen6((raw >> 5) & 63) << 8 | Widen5(raw & 31);
    case PixelFormat::X1R5G5B5:
    case PixelFormat::A1R5G5B5:
      return ((raw & 0x8000) ? 0xFF000000u : 0u) | Widen5((raw >> 10) & 31) << 16 | Widen5((raw >> 5) & 31) << 8 |
             Widen5(raw & 31);
    case PixelFormat::R8G8B8: return 0xFF000000u | (raw & 0xFFFFFF);
    case PixelFormat::X8R8G8B8:
    case PixelFormat::A8R8G8B8: return raw;
    case PixelFormat::Unknown: break;
  }
  return 0;
}

uint32_t FromArgb(PixelFormat format, uint32_t argb) {
  const uint32_t a = argb >> 24, r = (argb >> 16) & 255, g = (argb >> 8) & 255, b = argb & 255;
  switch (format) {
    case PixelFormat::P8: return argb & 0xFF;
    case PixelFormat::R5G6B5: return (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
    case PixelFormat::X1R5G5B5:
    case PixelFormat::A1R5G5B5: return (a >> 7) << 15 | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
    case PixelFormat::R8G8B8: return argb & 0xFFFFFF;
    case PixelFormat::X8R8G8B8:
    case PixelFormat::A8R8G8B8: return argb;
    case PixelFormat::Unknown: break;
  }
  return 0;
}

Surface::Surface(int width, int height, PixelFormat format)
    : m_width(std::max(width, 0)),
      m_height(std::max(height, 0)),
      m_format(format),
      m_bytesPerPixel(raster::BytesPerPixel(format)),
      m_pitch(m_width * m_bytesPerPixel),
      m_pixels(static_cast<size_t>(m_pitch) * static_cast<size_t>(m_height)) {}

uint32_t Surface::GetPixel(int x, int y) const {
  const uint8_t* p = Row(y) + static_cast<size_t>(x) * m_bytesPerPixel;
  switch (m_bytesPerPixel) {
    case 1: return p[0];
    case 2: return static_cast<uint32_t>(p[0] | p[1] << 8);
    case 3: return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16);
    case 4: {
      uint32_t v;
      std::memcpy(&v, p, 4);
      return v;
    }
    default: return 0;
  }
}

void Surface::SetPixel(int x, int y, uint32_t raw) {
  uint8_t* p = Row(y) + static_cast<size_t>(x) * m_bytesPerPixel;
  switch (m_bytesPerPixel) {
    case 1: p[0] = static_cast<uint8_t>(raw); break;
    case 2:
      p[0] = static_cast<uint8_t>(raw);
      p[1] = static_cast<uint8_t>(raw >> 8);
      break;
    case 3:
      p[0] = static_cast<uint8_t>(raw);
      p[1] = static_cast<uint8_t>(raw >> 8);
      p[2] = static_cast<uint8_t>(raw >> 16);
      break;
    case 4: std::memcpy(p, &raw, 4); break;
    default: break;
  }
}

void Surface::Fill(uint32_t raw) {
  for (int y = 0; y < m_height; ++y)
    for (int x = 0; x < m_width; ++x) SetPixel(x, y, raw);
}

}  // namespace t4::platform::raster
