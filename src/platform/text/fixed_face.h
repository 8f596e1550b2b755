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
  std::unique_ptr<Face> Open(std::string_view faceCp932, int width, int height) override;
  // Every character rendered by the faces of this rasteriser, in order.
  std::vector<CharCode> rendered;
};

}  // namespace t4::platform::text
