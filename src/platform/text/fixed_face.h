// A rasteriser with fixed metrics and no font file, for layout tests: the cell height is the
// requested height (its magnitude; 16 for 0), a single-byte character is half a cell wide (or the
// requested width), a double-byte one twice that. Every visible glyph is a solid box of its
// advance by the cell height at the pen position; blanks, control codes and lone lead bytes
// are empty.
#pragma once

#include <vector>

#include "platform/text/rasterizer.h"

namespace t4::platform::text {

class FixedMetricRasterizer : public Rasterizer {
 public:
  // The process-wide default does not record: it would grow without end and is shared by threads.
  explicit FixedMetricRasterizer(bool record = true) : m_bRecord(record) {}
  std::unique_ptr<Face> Open(std::string_view faceCp932, int width, int height) override;
  void Record(CharCode code) {
    if (m_bRecord) rendered.push_back(code);
  }
  // Every character rendered by the faces of this rasteriser, in order.
  std::vector<CharCode> rendered;

 private:
  bool m_bRecord;
};

}  // namespace t4::platform::text
