#include "platform/text/rasterizer.h"

#include <algorithm>
#include <mutex>

#include "platform/text/fixed_face.h"
#include "platform/text_codec.h"

namespace t4::platform::text {

int CharLengthAt(const char* p) {
  if (!p || !*p) return 0;
  const auto lead = static_cast<unsigned char>(p[0]);
  const auto trail = static_cast<unsigned char>(p[1]);
  return IsSjisLeadByte(lead) && IsSjisTrailByte(trail) ? 2 : 1;
}

CharCode CharCodeAt(const char* p, int length) {
  const auto b0 = static_cast<unsigned char>(p[0]);
  if (length < 2) return b0;
  return static_cast<CharCode>(b0 << 8 | static_cast<unsigned char>(p[1]));
}

TextExtent Face::MeasureLine(std::string_view cp932) {
  TextExtent extent{0, CellHeight()};
  const std::string line(cp932.substr(0, std::min(cp932.find('\n'), cp932.size())));
  for (const char* p = line.c_str(); *p;) {
    const int n = CharLengthAt(p);
    extent.width += Advance(CharCodeAt(p, n));
    p += n;
  }
  return extent;
}

namespace {

std::mutex g_mutex;
Rasterizer* g_installed = nullptr;

}  // namespace

Rasterizer& GetRasterizer() {
  std::lock_guard lock(g_mutex);
  if (g_installed) return *g_installed;
  static FixedMetricRasterizer fixed(/*record=*/false);
  return fixed;
}

void SetRasterizer(Rasterizer* rasterizer) {
  std::lock_guard lock(g_mutex);
  g_installed = rasterizer;
}

}  // namespace t4::platform::text
