#include "platform/text/fixed_face.h"

#include <algorithm>
#include <cstdlib>

#include "platform/text_codec.h"

namespace t4::platform::text {
namespace {

class FixedFace : public Face {
 public:
  FixedFace(FixedMetricRasterizer& owner, int width, int height) : m_owner(owner) {
    m_cell = height == 0 ? 16 : std::min(std::abs(height), 512);
    m_half = width > 0 ? std::min(width, 512) : std::max(1, m_cell / 2);
  }
  int CellHeight() const override { return m_cell; }
  int Advance(CharCode code) override { return code > 0xFF ? 2 * m_half : m_half; }
  GlyphBitmap Render(CharCode code, GlyphMode) override {
    m_owner.Record(code);
    GlyphBitmap g;
    g.advance = Advance(code);
    const bool blank = code <= 0x20 || code == 0x8140 || (code <= 0xFF && IsSjisLeadByte(static_cast<uint8_t>(code)));
    if (blank) return g;
    g.width = g.advance;
    g.height = m_cell;
    g.coverage.assign(static_cast<size_t>(g.width) * g.height, 255);
    return g;
  }
  std::string_view FamilyName() const override { return "FixedMetric"; }

 private:
  FixedMetricRasterizer& m_owner;
  int m_cell = 16;
  int m_half = 8;
};

}  // namespace

std::unique_ptr<Face> FixedMetricRasterizer::Open(std::string_view, int width, int height) {
  return std::make_unique<FixedFace>(*this, width, height);
}

}  // namespace t4::platform::text
