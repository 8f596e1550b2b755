// The pictures around the stages: the accessory sheet (cursors, icons, gauges, the walker), the
// word sheet (captions and digits in a small dot font) and the title picture.
#include <algorithm>
#include <string>

#include "demo_canvas.h"

namespace demo {
namespace {

// clang-format off
const Drawing ARROW = {
    "................", "....kk..........", "....kyk.........", "....kyyk........",
    "....kyyyk.......", "....kyyyyk......", "....kyyyyyk.....", "....kyyyyyyk....",
    "....kyyyyyyk....", "....kyyyyyk.....", "....kyyyyk......", "....kyyyk.......",
    "....kyyk........", "....kyk.........", "....kk..........", "................"};
const Drawing DROP = {
    "................", ".......kk.......", "......kbbk......", "......kbbk......",
    ".....kbbbbk.....", ".....kbbbbk.....", "....kbbwbbbk....", "....kbwbbbbk....",
    "...kbbwbbbbbk...", "...kbbbbbbbbk...", "...kbbbbbbbbk...", "...kbbbbbbbBk...",
    "....kbbbbbBk....", ".....kBBBBk.....", "......kkkk......", "................"};
// clang-format on

// A 5 x 7 dot font for the captions and digits of the word picture.
// clang-format off
const char* Glyph(char ch) {
  switch (ch) {
    case '0': return ".###.#...##...##...##...##...#.###.";
    case '1': return "..#...##....#....#....#....#...###.";
    case '2': return ".###.#...#....#...#...#...#...#####";
    case '3': return "#####...#...#.....#.....##...#.###.";
    case '4': return "...#...##..#.#.#..#.#####...#....#.";
    case '5': return "######....####.....#....##...#.###.";
    case '6': return "..##..#...#....####.#...##...#.###.";
    case '7': return "#####....#...#...#...#....#....#...";
    case '8': return ".###.#...##...#.###.#...##...#.###.";
    case '9': return ".###.#...##...#.####....#...#..##..";
    case 'A': return ".###.#...##...#######...##...##...#";
    case 'C': return ".###.#...##....#....#....#...#.###.";
    case 'E': return "######....#....####.#....#....#####";
    case 'G': return ".###.#...##....#.####...##...#.####";
    case 'L': return "#....#....#....#....#....#....#####";
    case 'M': return "#...###.###.#.##.#.##...##...##...#";
    case 'O': return ".###.#...##...##...##...##...#.###.";
    case 'P': return "####.#...##...#####.#....#....#....";
    case 'R': return "####.#...##...#####.#.#..#..#.#...#";
    case 'S': return ".#####....#.....###.....#....#####.";
    case 'T': return "#####..#....#....#....#....#....#..";
    case 'V': return "#...##...##...##...##...#.#.#...#..";
    case 'Y': return "#...##...#.#.#...#....#....#....#..";
    case 'N': return "#...###..##.#.##..###...##...##...#";
    case 'W': return "#...##...##...##.#.##.#.###.###...#";
    case 'I': return ".###...#....#....#....#....#...###.";
    case 'K': return "#...##..#.#.#..##...#.#..#..#.#...#";
    case 'D': return "####.#...##...##...##...##...#####.";
    default: return "";
  }
}
// clang-format on

// `text` in the dot font, as large as fits, centred in the box (x, y, w, h), outlined.
void Caption(Canvas& c, int x, int y, int w, int h, const std::string& text, int colour, int largest = 4) {
  const int n = static_cast<int>(text.size());
  int scale = largest;
  while (scale > 1 && (n * 6 * scale - scale > w - 2 || 7 * scale > h - 2)) --scale;
  const int left = x + (w - (n * 6 * scale - scale)) / 2, top = y + (h - 7 * scale) / 2;
  for (int pass = 0; pass < 2; ++pass)
    for (int k = 0; k < n; ++k) {
      const std::string dots = Glyph(text[static_cast<size_t>(k)]);
      for (size_t d = 0; d < dots.size() && d < 35; ++d) {
        if (dots[d] != '#') continue;
        const int gx = left + k * 6 * scale + static_cast<int>(d % 5) * scale,
                  gy = top + static_cast<int>(d / 5) * scale;
        if (pass == 0)
          c.Rect(gx - 1 - scale / 4, gy - 1 - scale / 4, scale + 2 + scale / 2, scale + 2 + scale / 2, OUTLINE);
        else
          c.Rect(gx, gy, scale, scale, colour);
      }
    }
}

}  // namespace

// The accessory picture: menu cursors, the cleared sign, the status-line icons and gauges, the
// life icon, the walker of the world map and the thin gauges over characters.
std::string AccessorySheet() {
  Canvas c(256, 256);
  c.Sprite(0, 0, ARROW);         // the large cursor
  c.Sprite(64, 0, Half(ARROW));  // the small cursor
  c.Sprite(80, 0, Half(ARROW));  // the cursor of an inner list, dimmed below
  for (int y = 0; y < 16; ++y)
    for (int x = 80; x < 96; ++x)
      if ((x + y) % 2) c.Set(x, y, TRANSPARENT);
  c.Sprite(96, 0, STAR);  // a cleared challenge stage
  // Status-line icons: score, stage score, HP, SP, lives.
  const Drawing* const icons[5] = {&COIN, &STAR, &HEART, &DROP, &HERO};
  for (int i = 0; i < 5; ++i) c.Sprite(16 * i, 32, Half(*icons[i]));
  c.Sprite(0, 48, Half(HERO));    // the life icon
  c.Sprite(16, 48, Half(ARROW));  // the row marker of the ranking table
  // The walker: down, up (the same figure), left and right, two steps each.
  for (int step = 0; step < 2; ++step) {
    c.Sprite(step * 32, 64 + step * 2, HERO);
    c.Sprite(64 + step * 32, 64 + step * 2, HERO);
    c.Sprite(64 + step * 32, 96 + step * 2, Mirrored(HERO));
    c.Sprite(step * 32, 96 + step * 2, HERO);
  }
  // Status-line gauges, HP at x 0 and SP at x 64: frame, fill, low fill.
  for (int g = 0; g < 2; ++g) {
    const int x = g * 64;
    c.Rect(x, 128, 50, 16, OUTLINE);
    c.Rect(x + 1, 129, 48, 14, C(GREY, 4));
    c.Rect(x + 1, 145, 48, 14, g == 0 ? C(GREEN, 12) : C(BLUE, 13));
    c.Rect(x + 1, 161, 48, 14, C(RED, 12));
  }
  // Gauges over characters, two dots a row: empty, fill, low fill, loss, gain.
  const int rows[5] = {C(GREY, 3), C(GREEN, 12), C(RED, 12), C(ORANGE, 14), C(CYAN, 14)};
  for (int g = 0; g < 2; ++g)
    for (int r = 0; r < 5; ++r) c.Rect(g * 64, 208 + 2 * r, 50, 2, g == 1 && r == 1 ? C(BLUE, 13) : rows[r]);
  return c.Encode();
}

// The word picture: the captions of the stage's start, replay, clear and game over, and two rows
// of 32 x 32 digits (the stage number, the time left).
std::string WordSheet() {
  Canvas c(320, 192);
  Caption(c, 0, 0, 128, 32, "STAGE", C(YELLOW, 15));
  Caption(c, 160, 0, 80, 32, "START", C(YELLOW, 15));
  Caption(c, 0, 32, 128, 32, "REPLAY", C(CYAN, 15));
  Caption(c, 0, 64, 128, 32, "CLEAR", C(ORANGE, 15));
  Caption(c, 0, 96, 144, 32, "GAME OVER", C(RED, 13));
  for (int d = 0; d < 10; ++d) {
    Caption(c, d * 32, 128, 32, 32, std::string(1, static_cast<char>('0' + d)), C(YELLOW, 15));
    Caption(c, d * 32, 160, 32, 32, std::string(1, static_cast<char>('0' + d)), C(GREY, 15));
  }
  return c.Encode();
}

// The title picture: a sky over green hills, the hero and his foes, and the name of the game.
std::string TitlePicture() {
  Canvas c(640, 480);
  for (int y = 0; y < 480; ++y) c.Rect(0, y, 640, 1, C(SKY, 6 + std::min(9, y / 40)));
  for (int i = 0; i < 5; ++i) {
    const int cx = 60 + i * 140, cy = 40 + (i % 2) * 50;
    for (int k = 0; k < 3; ++k) c.Disc(cx + k * 22, cy + (k == 1 ? -8 : 0), 18, C(GREY, 15));
  }
  for (int h = 0; h < 3; ++h) c.Disc(120 + h * 220, 520, 180 - h * 20, C(GREEN, 9 + h));
  c.Rect(0, 400, 640, 80, C(GREEN, 12));
  for (int x = 0; x < 640; x += 16) c.Rect(x, 400, 8, 4, C(GREEN, 9));
  c.Rect(0, 412, 640, 68, C(BROWN, 9));
  c.Sprite(96, 368, HERO);
  c.Sprite(520, 368, Mirrored(KNIGHT));
  c.Sprite(560, 368, Mirrored(SLIME));
  c.Sprite(470, 300, Mirrored(BIRD));
  Caption(c, 0, 110, 640, 80, "TARNWICK 4", C(YELLOW, 15), 10);
  Caption(c, 0, 190, 640, 40, "DEMO", C(ORANGE, 15), 5);
  return c.Encode();
}

}  // namespace demo
