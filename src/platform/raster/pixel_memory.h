// The pixel block of a surface: zeroed memory taken from the allocator already zeroed.
//
// A stage entry creates some fifty surfaces of up to 4 MB each (sheets, render targets and their
// system copies), and many of them are drawn to in only a part, or never. Large blocks come from
// calloc as fresh pages that the system zeroes on first touch, so the pages a surface never uses
// cost nothing; writing zeros over the whole block by hand would touch every page at creation.
#pragma once

#include <cstddef>
#include <cstdint>

namespace t4::platform::raster {

class PixelMemory {
 public:
  PixelMemory() = default;
  // `bytes` zeroed bytes; throws std::bad_alloc when the memory cannot be had.
  explicit PixelMemory(size_t bytes);
  ~PixelMemory();
  PixelMemory(const PixelMemory& other);
  PixelMemory& operator=(const PixelMemory& other);
  PixelMemory(PixelMemory&& other) noexcept;
  PixelMemory& operator=(PixelMemory&& other) noexcept;

  uint8_t* data() { return m_bytes; }
  const uint8_t* data() const { return m_bytes; }
  size_t size() const { return m_size; }

 private:
  uint8_t* m_bytes = nullptr;
  size_t m_size = 0;
};

}  // namespace t4::platform::raster
