// Drawing the demo's 8-bit pictures: the colour ramps of the shared palette, a canvas that
// writes itself as a bitmap, and sprites drawn as text (one character per 2 x 2 dots).
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "demo_project.h"
#include "support/bmp_writer.h"

namespace demo {

// Colour index of shade `s` (0 dark .. 15 full) of ramp `r`.
constexpr int C(int r, int s) { return r * 16 + s; }

enum Ramp : int {
  GREY = 0,
  BROWN,
  GREEN,
  BLUE,
  RED,
  YELLOW,
  PURPLE,
  CYAN,
  SKIN,
  ORANGE,
  FOREST,
  SKY,
  PINK,
  STONE,
  NAVY,
  CREAM
};

constexpr int TRANSPARENT = 0;
constexpr int OUTLINE = C(GREY, 1);

class Canvas {
 public:
  Canvas(int w, int h, int fill = TRANSPARENT) : m_w(w), m_h(h), m_px(static_cast<size_t>(w) * h, fill) {}

  void Set(int x, int y, int c) {
    if (x >= 0 && y >= 0 && x < m_w && y < m_h) m_px[static_cast<size_t>(y) * m_w + x] = c;
  }
  void Rect(int x, int y, int w, int h, int c) {
    for (int j = y; j < y + h; ++j)
      for (int i = x; i < x + w; ++i) Set(i, j, c);
  }
  void Disc(int cx, int cy, int r, int c) {
    for (int j = -r; j <= r; ++j)
      for (int i = -r; i <= r; ++i)
        if (i * i + j * j <= r * r) Set(cx + i, cy + j, c);
  }
  // A text drawing: each character one colour (see SpriteColour), each cell 2 x 2 dots.
  void Sprite(int x, int y, const std::vector<std::string>& rows) {
    for (size_t j = 0; j < rows.size(); ++j)
      for (size_t i = 0; i < rows[j].size(); ++i) {
        const int c = SpriteColour(rows[j][i]);
        if (c != TRANSPARENT) Rect(x + static_cast<int>(i) * 2, y + static_cast<int>(j) * 2, 2, 2, c);
      }
  }
  std::string Encode() const {
    t4::test::BmpImage img;
    img.width = m_w;
    img.height = m_h;
    img.bitCount = 8;
    img.palette = Colours();
    img.pixels.assign(m_px.begin(), m_px.end());
    return t4::test::EncodeBmp(img);
  }

 private:
  static int SpriteColour(char ch) {
    switch (ch) {
      case 'k': return OUTLINE;
      case 'w': return C(GREY, 15);
      case 'r': return C(RED, 13);
      case 'R': return C(RED, 9);
      case 's': return C(SKIN, 15);
      case 'b': return C(BLUE, 13);
      case 'B': return C(BLUE, 8);
      case 'g': return C(GREEN, 13);
      case 'G': return C(GREEN, 8);
      case 'y': return C(YELLOW, 15);
      case 'Y': return C(ORANGE, 13);
      case 'p': return C(PURPLE, 13);
      case 'P': return C(PURPLE, 8);
      case 'o': return C(ORANGE, 15);
      case 'n': return C(BROWN, 10);
      case 'a': return C(GREY, 10);
      default: return TRANSPARENT;
    }
  }

  int m_w;
  int m_h;
  std::vector<uint32_t> m_px;
};

using Drawing = std::vector<std::string>;

// Every second dot of a drawing: the 16 x 16 twin of a sprite.
inline Drawing Half(const Drawing& d) {
  Drawing half;
  for (size_t j = 0; j < d.size(); j += 2) {
    std::string row;
    for (size_t i = 0; i < d[j].size(); i += 2) row += d[j][i];
    half.push_back(row);
  }
  return half;
}

// The drawing seen from the other side.
inline Drawing Mirrored(const Drawing& d) {
  Drawing m = d;
  for (std::string& row : m) std::reverse(row.begin(), row.end());
  return m;
}

// The sprites (demo_sprites.cpp).
extern const Drawing HERO, SLIME, BIRD, KNIGHT, COIN, HEART, STAR, LIFT, BOSS, SIGN, HOPPER;

// The pictures of the screens around the stages (demo_screens.cpp).
std::string AccessorySheet();
std::string WordSheet();
std::string TitlePicture();

}  // namespace demo
