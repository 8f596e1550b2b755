// A message window in the program's own frames: the demo's signpost moved onto the hero's start
// speaks on the first frame of a headless test play, and the screenshot shows its whole text in
// its box, with the fonts the program makes for itself.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/sjis_text.h"
#include "data/stage.h"
#include "platform/present/display.h"
#include "program_runner.h"

namespace t4::test {
namespace {

uint32_t Be32(const std::vector<uint8_t>& d, size_t at) {
  return uint32_t{d[at]} << 24 | uint32_t{d[at + 1]} << 16 | uint32_t{d[at + 2]} << 8 | d[at + 3];
}

// Reads the program's screenshots: 8-bit RGB, unfiltered rows in stored deflate blocks. An empty
// frame for anything else.
platform::Frame ReadScreenshot(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> d{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  platform::Frame f;
  std::vector<uint8_t> z;
  for (size_t at = 8; at + 12 <= d.size();) {
    const size_t n = Be32(d, at);
    if (at + 12 + n > d.size()) return {};
    const std::string type(d.begin() + static_cast<ptrdiff_t>(at + 4), d.begin() + static_cast<ptrdiff_t>(at + 8));
    if (type == "IHDR") {
      f.width = static_cast<int>(Be32(d, at + 8));
      f.height = static_cast<int>(Be32(d, at + 12));
    }
    if (type == "IDAT")
      z.insert(z.end(), d.begin() + static_cast<ptrdiff_t>(at + 8), d.begin() + static_cast<ptrdiff_t>(at + 8 + n));
    at += 12 + n;
  }
  std::vector<uint8_t> raw;
  for (size_t at = 2; at + 5 <= z.size();) {
    if ((z[at] & 6) != 0) return {};
    const size_t n = z[at + 1] | z[at + 2] << 8;
    const bool last = z[at] & 1;
    if (at + 5 + n > z.size()) return {};
    raw.insert(raw.end(), z.begin() + static_cast<ptrdiff_t>(at + 5), z.begin() + static_cast<ptrdiff_t>(at + 5 + n));
    at += 5 + n;
    if (last) break;
  }
  const size_t stride = 1 + 3 * static_cast<size_t>(f.width);
  if (f.width <= 0 || raw.size() != stride * static_cast<size_t>(f.height)) return {};
  for (int y = 0; y < f.height; ++y) {
    const uint8_t* row = &raw[static_cast<size_t>(y) * stride];
    if (row[0] != 0) return {};
    for (int x = 0; x < f.width; ++x)
      f.pixels.push_back(uint32_t{row[1 + 3 * x]} << 16 | uint32_t{row[2 + 3 * x]} << 8 | row[3 + 3 * x]);
  }
  return f;
}

class MessageWindowRun : public ProgramRun {};

TEST_F(MessageWindowRun, ASignpostSpeaksItsWholeTextInItsBox) {
  // The signpost stands on the hero's start, so the hero touches it on the first frame of play.
  cStage stage;
  const cCharaDef* hero = LoadSignpostStage(stage);
  ASSERT_NE(hero, nullptr);
  std::string text;
  for (cItemDef& item : stage.m_ItemPlaces) {
    if (item.m_Cmds.empty() || item.m_Cmds.At(0).m_strText.empty()) continue;
    text = item.m_Cmds.At(0).m_strText;
    item.m_sBlockX = hero->m_sBlockX;
    item.m_sBlockY = hero->m_sBlockY;
  }
  ASSERT_FALSE(text.empty());
  ASSERT_TRUE(stage.SaveToFile((project.Path() / "data/stg4/sign.stg4_001").string().c_str()));

  const std::string shot = (project.Path() / "shot.png").string();
  ASSERT_EQ(Run("--headless --test-play data/stg4/sign.stg4_001 --frames 60 --screenshot '" + shot + "'"), 0)
      << Stderr();
  const platform::Frame f = ReadScreenshot(shot);
  ASSERT_EQ(f.width, platform::SCREEN_WIDTH);

  // Over the hero at the stage's left edge the window is kept inside the screen at x 0: the first
  // thing under the status line in the leftmost column is its frame.
  const uint32_t sky = f.At(0, 20);
  int top = 20;
  while (top < f.height && f.At(0, top) == sky) ++top;
  ASSERT_LT(top + 18, f.height) << "no window over the hero";
  const uint32_t frame = f.At(0, top);
  // One 16-dot cell per character and a dot of frame on each side.
  const int width = CountChars(text.c_str()) * 16 + 2;
  int run = 0;
  while (run < f.width && f.At(run, top) == frame) ++run;
  EXPECT_EQ(run, width) << "the box's top edge";
  // The text ends inside the box: its right edge is whole, and the last cell holds a glyph.
  for (int y = top; y < top + 18; ++y) EXPECT_EQ(f.At(width - 1, y), frame) << "right edge, row " << y - top;
  const uint32_t fill = f.At(5, top + 16);
  int ink = 0;
  for (int y = top + 2; y < top + 16; ++y)
    for (int x = width - 17; x < width - 1; ++x) ink += f.At(x, y) != fill;
  EXPECT_GT(ink, 0) << "the last character";
}

}  // namespace
}  // namespace t4::test
