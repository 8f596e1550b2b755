// The finished screen to the display's 0x00RRGGBB frame, a row at a time in a loop per format.
#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/raster/device.h"
#include "platform/raster/pixel_traits.h"

namespace t4::platform::raster {

namespace {

template <typename F>
void ConvertRows(const Surface& screen, uint32_t* out) {
  const int w = screen.Width();
  for (int y = 0; y < screen.Height(); ++y, out += w) {
    const typename F::T* s = px::RowOf<F>(screen, y);
    for (int x = 0; x < w; ++x) out[x] = F::ToArgb(s[x]) & 0xFFFFFFu;
  }
}

// R5G6B5 eight pixels at a time: each field widened by repeating its top bits, as ToArgb does.
void ConvertRows565(const Surface& screen, uint32_t* out) {
  const int w = screen.Width();
  for (int y = 0; y < screen.Height(); ++y, out += w) {
    const uint16_t* s = px::RowOf<px::Rgb565>(screen, y);
    int x = 0;
#if defined(__SSE2__)
    const __m128i f8 = _mm_set1_epi16(0xF8), fc = _mm_set1_epi16(0xFC), k3 = _mm_set1_epi16(3), k7 = _mm_set1_epi16(7);
    for (; x + 8 <= w; x += 8) {
      const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x));
      const __m128i r = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(p, 8), f8), _mm_srli_epi16(p, 13));
      const __m128i g = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(p, 3), fc), _mm_and_si128(_mm_srli_epi16(p, 9), k3));
      const __m128i b = _mm_or_si128(_mm_and_si128(_mm_slli_epi16(p, 3), f8), _mm_and_si128(_mm_srli_epi16(p, 2), k7));
      const __m128i gb = _mm_or_si128(b, _mm_slli_epi16(g, 8));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_unpacklo_epi16(gb, r));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 4), _mm_unpackhi_epi16(gb, r));
    }
#endif
    for (; x < w; ++x) out[x] = px::Rgb565::ToArgb(s[x]) & 0xFFFFFFu;
  }
}

}  // namespace

void ConvertFrame(const Surface& screen, const HardwarePalette* palette, Frame& out) {
  out.width = screen.Width();
  out.height = screen.Height();
  // Same size as the last frame: the buffer is reused as it is.
  out.pixels.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
  uint32_t* o = out.pixels.data();
  switch (screen.Format()) {
    case PixelFormat::X8R8G8B8:
    case PixelFormat::A8R8G8B8: {
      const int w = screen.Width();
      for (int y = 0; y < screen.Height(); ++y, o += w) px::MaskRow(o, px::RowOf<px::Argb32>(screen, y), w, 0xFFFFFFu);
      return;
    }
    case PixelFormat::R5G6B5: ConvertRows565(screen, o); return;
    case PixelFormat::X1R5G5B5:
    case PixelFormat::A1R5G5B5: ConvertRows<px::Argb1555>(screen, o); return;
    case PixelFormat::P8: {
      // Without a palette every index shows black.
      std::array<uint32_t, 256> rgb{};
      if (palette)
        for (size_t i = 0; i < rgb.size(); ++i) {
          const PaletteColor& c = palette->entries[i];
          rgb[i] = static_cast<uint32_t>(c.red) << 16 | static_cast<uint32_t>(c.green) << 8 | c.blue;
        }
      const int w = screen.Width();
      for (int y = 0; y < screen.Height(); ++y, o += w) px::LookupRow(o, screen.Row(y), w, rgb.data());
      return;
    }
    default:
      for (int y = 0; y < screen.Height(); ++y)
        for (int x = 0; x < screen.Width(); ++x, ++o) *o = ToArgb(screen.Format(), screen.GetPixel(x, y)) & 0xFFFFFFu;
      return;
  }
}

}  // namespace t4::platform::raster
