// The finished screen to the display's 0x00RRGGBB frame, a row at a time in a loop per format.
#include <array>

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

}  // namespace

void ConvertFrame(const Surface& screen, const HardwarePalette* palette, Frame& out) {
  out.width = screen.Width();
  out.height = screen.Height();
  // Same size as the last frame: the buffer is reused as it is.
  out.pixels.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
  uint32_t* o = out.pixels.data();
  switch (screen.Format()) {
    case PixelFormat::X8R8G8B8:
    case PixelFormat::A8R8G8B8: ConvertRows<px::Argb32>(screen, o); return;
    case PixelFormat::R5G6B5: ConvertRows<px::Rgb565>(screen, o); return;
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
      for (int y = 0; y < screen.Height(); ++y, o += w) {
        const uint8_t* s = screen.Row(y);
        for (int x = 0; x < w; ++x) o[x] = rgb[s[x]];
      }
      return;
    }
    default:
      for (int y = 0; y < screen.Height(); ++y)
        for (int x = 0; x < screen.Width(); ++x, ++o) *o = ToArgb(screen.Format(), screen.GetPixel(x, y)) & 0xFFFFFFu;
      return;
  }
}

}  // namespace t4::platform::raster
