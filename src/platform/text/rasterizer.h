// The text rasteriser: a face name and a height (with the Windows meaning: a positive height is
// the cell height, a negative one the character height, 0 the default) turned into glyph bitmaps
// and extents of Shift-JIS text. The drawing layer's fonts stand on it in place of GDI and the
// Direct3D font objects.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/scoped_backend.h"

namespace t4::platform::text {

// Monochrome glyphs are what GDI text on a colour-keyed surface needs (no fringe that would not
// be transparent); coverage glyphs are blended like the sprite text of the render mode.
enum class GlyphMode { Mono, Coverage };

struct GlyphBitmap {
  int width = 0;
  int height = 0;
  int left = 0;                   // bitmap x relative to the pen position
  int top = 0;                    // bitmap y relative to the top of the text cell
  int advance = 0;                // pen advance in pixels
  std::vector<uint8_t> coverage;  // width x height, 0 (none) .. 255 (full); mono glyphs use 0/255
};

struct TextExtent {
  int width = 0;
  int height = 0;
};

// Code of one Shift-JIS character: a single byte, or lead << 8 | trail.
using CharCode = uint16_t;

// One opened face at one size.
class Face {
 public:
  virtual ~Face() = default;
  // Height of a text line (ascent + descent) in pixels.
  virtual int CellHeight() const = 0;
  virtual int Advance(CharCode code) = 0;
  virtual GlyphBitmap Render(CharCode code, GlyphMode mode) = 0;
  // The face that was matched for the requested name (for logs and tests).
  virtual std::string_view FamilyName() const = 0;

  // Width of one line of Shift-JIS text (a line feed ends it) and the cell height.
  TextExtent MeasureLine(std::string_view cp932);
};

class Rasterizer {
 public:
  virtual ~Rasterizer() = default;
  // faceCp932: the face name as the project stores it; width 0 = the face's own width.
  // Null when no usable face exists.
  virtual std::unique_ptr<Face> Open(std::string_view faceCp932, int width, int height) = 0;
};

// Steps through Shift-JIS text: the length (1 or 2) of the character at `p`. A lead byte counts
// as a double-byte character only when a trail byte follows, so a lone lead byte before the end
// of the text or a line feed is one single-byte character and the walk never passes the NUL.
int CharLengthAt(const char* p);
CharCode CharCodeAt(const char* p, int length);

// The rasteriser of this run: the fixed-metric one (fixed_face.h) until one is installed, so tests
// and tools draw text without any font file; the program installs FreeType at start-up.
Rasterizer& GetRasterizer();
// Installs a rasteriser (null: back to the fixed-metric one); the caller keeps ownership.
void SetRasterizer(Rasterizer* rasterizer);
using ScopedRasterizer = ScopedBackend<Rasterizer, SetRasterizer>;

// FreeType faces found through fontconfig (device library).
std::unique_ptr<Rasterizer> MakeFreeTypeRasterizer();

}  // namespace t4::platform::text
