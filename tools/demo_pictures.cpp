// The demo's pictures, drawn here: 8-bit bitmaps on one shared palette. Sprites are small text
// drawings scaled up twice; tiles are drawn from simple shapes.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "demo_canvas.h"

namespace demo {
namespace {

// Cell (x, y) of a sheet of 32 x 32 cells.
struct Cell {
  int x;
  int y;
};

// Graphic numbers run down a column of 15 cells, then on to the next column.
Cell SheetCell(int n, int columnWidth) { return {(n / 15) * columnWidth, (n % 15) * 32}; }

std::string BlockSheet() {
  Canvas c(256, 480);
  auto speckle = [&c](Cell at, int top, int base, int dot) {
    c.Rect(at.x, at.y + top, 32, 32 - top, base);
    for (int i = 0; i < 12; ++i) c.Rect(at.x + (i * 11) % 29, at.y + top + (i * 7) % (30 - top), 2, 2, dot);
  };
  // 1 ground: grass on earth.
  Cell at = SheetCell(1, 32);
  speckle(at, 0, C(BROWN, 9), C(BROWN, 6));
  c.Rect(at.x, at.y, 32, 8, C(GREEN, 12));
  for (int i = 0; i < 32; i += 4) c.Rect(at.x + i, at.y + 8, 2, 3, C(GREEN, 9));
  // 2 earth.
  speckle(SheetCell(2, 32), 0, C(BROWN, 9), C(BROWN, 6));
  // 3 brick wall.
  at = SheetCell(3, 32);
  c.Rect(at.x, at.y, 32, 32, C(STONE, 6));
  for (int row = 0; row < 4; ++row)
    for (int col = -1; col < 3; ++col)
      c.Rect(at.x + col * 16 + (row % 2) * 8 + 1, at.y + row * 8 + 1, 14, 6, C(STONE, 11));
  // 4 wooden platform.
  at = SheetCell(4, 32);
  c.Rect(at.x, at.y, 32, 32, C(BROWN, 7));
  for (int y = 1; y < 32; y += 8) c.Rect(at.x + 1, at.y + y, 30, 6, C(ORANGE, 10));
  c.Rect(at.x + 3, at.y + 3, 2, 2, OUTLINE);
  c.Rect(at.x + 27, at.y + 3, 2, 2, OUTLINE);
  // 5 spikes.
  at = SheetCell(5, 32);
  for (int s = 0; s < 4; ++s)
    for (int y = 0; y < 16; ++y)
      c.Rect(at.x + s * 8 + 4 - y / 4, at.y + 16 + y, 1 + (y / 4) * 2, 1, C(GREY, 12 - y / 4));
  c.Rect(at.x, at.y + 30, 32, 2, C(GREY, 5));
  // 6 spring.
  at = SheetCell(6, 32);
  c.Rect(at.x + 2, at.y + 8, 28, 6, C(RED, 12));
  for (int y = 14; y < 28; y += 4) c.Rect(at.x + 8, at.y + y, 16, 2, C(GREY, 12));
  c.Rect(at.x + 2, at.y + 28, 28, 4, C(GREY, 7));
  // 7 cave rock.
  speckle(SheetCell(7, 32), 0, C(STONE, 5), C(STONE, 8));
  return c.Encode();
}

// One character sheet: each drawing on its row, in eight frames that bob up and down.
std::string CharacterSheet(const std::vector<std::pair<int, const Drawing*>>& rows) {
  Canvas c(512, 480);
  for (const auto& [n, drawing] : rows)
    for (int frame = 0; frame < 16; ++frame) c.Sprite(frame * 32, (n % 15) * 32 + (frame % 2) * 2, *drawing);
  return c.Encode();
}

const Drawing* const ITEMS[] = {nullptr, &COIN, &HEART, &STAR, &SIGN};

// Items: two frames of 32 x 32 side by side per graphic number.
std::string ItemSheet() {
  Canvas c(128, 480);
  for (int n = 1; n < 5; ++n) {
    const Cell at = SheetCell(n, 64);
    c.Sprite(at.x, at.y, *ITEMS[n]);
    c.Sprite(at.x + 32, at.y + 2, *ITEMS[n]);
  }
  return c.Encode();
}

// The same items in 16 x 16 (every second dot of the drawing).
std::string MiniItemSheet() {
  Canvas c(64, 240);
  for (int n = 1; n < 5; ++n) {
    const Drawing& d = *ITEMS[n];
    Drawing half;
    for (size_t j = 0; j < d.size(); j += 2) {
      std::string row;
      for (size_t i = 0; i < d[j].size(); i += 2) row += d[j][i];
      half.push_back(row);
    }
    c.Sprite((n / 15) * 32, (n % 15) * 16, half);
  }
  return c.Encode();
}

// Shots: 16 x 16 cells, two per column pair, 30 rows.
std::string ShotSheet() {
  Canvas c(128, 480);
  for (int half = 0; half < 2; ++half) {
    c.Disc(half * 16 + 8, 16 + 8, 6, C(ORANGE, 12));
    c.Disc(half * 16 + 8 - half, 16 + 8, 3, C(YELLOW, 15));
  }
  return c.Encode();
}

// World-map chips, five a row: sea, grass, road, forest, mountain.
std::string WorldMapChips() {
  Canvas c(160, 64);
  c.Rect(0, 0, 32, 32, C(BLUE, 9));
  for (int y = 6; y < 32; y += 10) c.Rect(4 + y % 7, y, 10, 2, C(SKY, 14));
  c.Rect(32, 0, 32, 32, C(GREEN, 10));
  for (int i = 0; i < 6; ++i) c.Rect(36 + i * 5, 6 + (i * 9) % 20, 2, 3, C(GREEN, 7));
  c.Rect(64, 0, 32, 32, C(CREAM, 13));
  for (int i = 0; i < 5; ++i) c.Rect(66 + (i * 13) % 28, 3 + (i * 7) % 26, 2, 2, C(BROWN, 10));
  c.Rect(96, 0, 32, 32, C(GREEN, 10));
  for (int t = 0; t < 2; ++t) {
    c.Disc(104 + t * 16, 12 + t * 4, 7, C(FOREST, 9));
    c.Rect(103 + t * 16, 18 + t * 4, 3, 8, C(BROWN, 6));
  }
  c.Rect(128, 0, 32, 32, C(GREEN, 10));
  for (int y = 0; y < 28; ++y) c.Rect(144 - y / 2, 2 + y, y + 1, 1, C(STONE, 8 + y / 8));
  return c.Encode();
}

// Point icons: one row per icon, open in the first column, cleared in the second.
std::string WorldEvents() {
  Canvas c(64, 160);
  const int colours[4] = {C(RED, 13), C(PURPLE, 13), C(ORANGE, 13), C(NAVY, 12)};
  for (int row = 0; row < 4; ++row) {
    c.Disc(16, row * 32 + 16, 10, OUTLINE);
    c.Disc(16, row * 32 + 16, 8, colours[row]);
    c.Sprite(32, row * 32, STAR);
  }
  // Row 4: a point that is still shut, cleared or not.
  for (int column = 0; column < 2; ++column) {
    const int x = column * 32;
    c.Rect(x + 9, 136, 14, 12, OUTLINE);
    c.Rect(x + 11, 138, 10, 10, C(GREY, 14));
    c.Rect(x + 7, 146, 18, 12, OUTLINE);
    c.Rect(x + 8, 147, 16, 10, C(YELLOW, 11));
    c.Rect(x + 15, 150, 2, 4, OUTLINE);
  }
  return c.Encode();
}

// A picture filled by an index function.
template <class F>
std::string Filled(int w, int h, F index) {
  Canvas c(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) c.Set(x, y, index(x, y));
  return c.Encode();
}

}  // namespace

std::vector<uint32_t> Colours() {
  static const uint32_t BASES[16] = {0xFFFFFF, 0xC8823C, 0x50C83C, 0x3C6EE6, 0xE63228, 0xFADC28, 0xAA46D2, 0x3CD2DC,
                                     0xFAC8A0, 0xFA8C1E, 0x287832, 0x8CBEFA, 0xFA78B4, 0x968C82, 0x283278, 0xFFF0C8};
  std::vector<uint32_t> p(256);
  for (int i = 0; i < 256; ++i) {
    const uint32_t base = BASES[i / 16];
    const uint32_t s = static_cast<uint32_t>(i % 16 + 1);
    const uint32_t r = ((base >> 16) & 0xFF) * s / 16, g = ((base >> 8) & 0xFF) * s / 16, b = (base & 0xFF) * s / 16;
    p[i] = (r << 16) | (g << 8) | b;
  }
  p[TRANSPARENT] = 0xFF00FF;  // the transparent colour: the palette bitmap's top-left pixel
  p[16] = 0x203040;           // the empty screen between scenes
  p[240] = 0xD8D8E8;          // the frames of menus and boxes
  p[241] = 0xFFFFFF;          // the text of the game fonts
  return p;
}

bool WritePictures() {
  struct Picture {
    const char* file;
    std::string bytes;
  };
  const Picture pictures[] = {
      // 16 x 24: entry n is the pixel at column n mod 16, row 8 + n / 16; the rows above hold
      // the transparent colour, whose top-left pixel is the colour key.
      {"bmp/plt/Palette.bmp", Filled(16, 24, [](int x, int y) { return y < 8 ? TRANSPARENT : (y - 8) * 16 + x; })},
      {"bmp/Loading.bmp", Filled(640, 480, [](int x, int y) { return (x / 32 + y / 32) % 2 ? 16 : C(NAVY, 3); })},
      {"bmp/Debug.bmp", Filled(64, 64, [](int x, int) { return 1 + x % 15; })},
      {"bmp/Symbol.bmp", Filled(256, 16, [](int x, int y) { return (x + y) % 16 ? 0 : C(GREY, 15); })},
      // Framed menus and boxes show as much of the window picture as they are large.
      {"bmp/Window.bmp",
       Filled(640, 480, [](int x, int y) { return x < 2 || y < 2 || x > 637 || y > 477 ? C(GREY, 15) : C(NAVY, 4); })},
      {"bmp/Title.bmp", TitlePicture()},
      {"bmp/GameMode.bmp", Filled(320, 64, [](int x, int) { return C(CREAM, x % 16); })},
      {"bmp/Accessory.bmp", AccessorySheet()},
      {"bmp/Block.bmp", BlockSheet()},
      {"bmp/Character1.bmp",
       CharacterSheet({{1, &HERO}, {2, &SLIME}, {3, &BIRD}, {4, &KNIGHT}, {5, &LIFT}, {6, &BOSS}, {8, &HOPPER}})},
      {"bmp/Item.bmp", ItemSheet()},
      {"bmp/Item_Mini.bmp", MiniItemSheet()},
      {"bmp/Shot.bmp", ShotSheet()},
      {"bmp/Mark.bmp", Filled(480, 480, [](int, int) { return 0; })},
      {"bmp/StatusWindow.bmp", Filled(640, 32, [](int, int y) { return y < 2 ? C(GREY, 15) : C(NAVY, 3); })},
      {"bmp/Word.bmp", WordSheet()},
      {"bmp/WorldMapChip.bmp", WorldMapChips()},
      {"bmp/WorldEvent.bmp", WorldEvents()},
  };
  bool ok = true;
  for (const Picture& p : pictures) ok = ok && WriteBytes(p.file, p.bytes);
  return ok;
}

}  // namespace demo
