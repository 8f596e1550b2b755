#include "platform/raster/pixel_memory.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace t4::platform::raster {

PixelMemory::PixelMemory(size_t bytes) {
  if (bytes == 0) return;
  m_bytes = static_cast<uint8_t*>(std::calloc(bytes, 1));
  if (!m_bytes) throw std::bad_alloc();
  m_size = bytes;
}

PixelMemory::~PixelMemory() { std::free(m_bytes); }

PixelMemory::PixelMemory(const PixelMemory& other) {
  if (other.m_size == 0) return;
  m_bytes = static_cast<uint8_t*>(std::malloc(other.m_size));
  if (!m_bytes) throw std::bad_alloc();
  std::memcpy(m_bytes, other.m_bytes, other.m_size);
  m_size = other.m_size;
}

PixelMemory& PixelMemory::operator=(const PixelMemory& other) {
  if (this != &other) *this = PixelMemory(other);
  return *this;
}

PixelMemory::PixelMemory(PixelMemory&& other) noexcept
    : m_bytes(std::exchange(other.m_bytes, nullptr)), m_size(std::exchange(other.m_size, 0)) {}

PixelMemory& PixelMemory::operator=(PixelMemory&& other) noexcept {
  if (this != &other) {
    std::free(m_bytes);
    m_bytes = std::exchange(other.m_bytes, nullptr);
    m_size = std::exchange(other.m_size, 0);
  }
  return *this;
}

}  // namespace t4::platform::raster
