// Fonts with the fixed-metric face: a cell height of h, single-byte glyphs h/2 wide, double-byte
// glyphs h wide, each a solid box from the top of its cell.
#include <algorithm>

#include "support/draw_fixture.h"
#include "gfx/font.h"
#include "platform/text/fixed_face.h"

namespace t4::test {
namespace {

constexpr uint32_t INK = 0x20C0FF;
constexpr int PAL_INK = 9;

class FontTest : public DrawTest {
 protected:
  void SetUp() override {
    DrawTest::SetUp();
    SetPal(PAL_INK, INK);
    SetPal(7, 0xFFFF00);
  }
  void TearDown() override {
    font.Release();
    DDReleaseSurface(&box);
    DDReleaseSurface(&symbols);
  }
  bool Make(int cache, const char* face = "ＭＳ ゴシック", int cell = 16) {
    return font.Create(face, 0, cell, cell, cell, PAL_INK, &box, 1, 7, &symbols, cache);
  }
  bool Ink(DDSURFACEDATA* sd, int x, int y) { return Near(RgbAt(sd, x, y), INK); }
  // The leftmost inked column of row y in [x0, x0 + 40), or -1.
  int FirstInk(int x0, int y) {
    for (int x = x0; x < x0 + 40; ++x)
      if (Ink(&BackBuffer, x, y)) return x;
    return -1;
  }
  void Clear() { DDClear(&BackBuffer, lpDTCon ? 0xFF000000 : 0); }

  t4::platform::text::FixedMetricRasterizer faces;
  t4::platform::text::ScopedRasterizer installedFaces{faces};
  DDSURFACEDATA box, symbols;
  cFont font;
};

TEST_P(FontTest, CellLayoutPlacesEachCharacterInItsCell) {
  ASSERT_TRUE(Make(0));
  font.Draw(&BackBuffer, 100, 100, "Aあ\nB");
  // Single-byte glyphs sit an eighth of a cell to the right; double-byte ones at the cell.
  EXPECT_TRUE(Ink(&BackBuffer, 102, 100));
  EXPECT_TRUE(Ink(&BackBuffer, 109, 115));
  EXPECT_FALSE(Ink(&BackBuffer, 101, 100));
  EXPECT_FALSE(Ink(&BackBuffer, 110, 100));
  EXPECT_TRUE(Ink(&BackBuffer, 116, 100));
  EXPECT_TRUE(Ink(&BackBuffer, 131, 115));
  EXPECT_FALSE(Ink(&BackBuffer, 132, 100));
  EXPECT_TRUE(Ink(&BackBuffer, 102, 116));  // B on the next line
  EXPECT_FALSE(Ink(&BackBuffer, 116, 116));

  int ext[2];
  struct Case {
    const char* text;
    int w, h;
  };
  for (const Case& c : {Case{"Aあ\nB", 32, 32}, Case{"", 0, 16}, Case{"あいう\n\nA", 48, 48}, Case{"A\x81", 32, 16}}) {
    font.GetMultiLineExtent(ext, c.text);
    EXPECT_EQ(ext[0], c.w) << c.text;
    EXPECT_EQ(ext[1], c.h) << c.text;
  }
}

TEST_P(FontTest, LoneLeadByteIsOneCharacterAndNeverPassesTheEnd) {
  ASSERT_TRUE(Make(0));
  // The lead byte before the line feed does not swallow it; the one at the end stops there.
  font.Draw(&BackBuffer, 100, 100, "\x81\nB\x81");
  EXPECT_TRUE(Ink(&BackBuffer, 102, 116));
  EXPECT_EQ(faces.rendered, (std::vector<t4::platform::text::CharCode>{0x81, 'B', 0x81}));
}

TEST_P(FontTest, PlacementWithCentringAndBrackets) {
  struct Case {
    const char* face;
    int centre;
    const char* text;
    int inkX;  // first inked column for a draw at x = 100
  };
  const Case cases[] = {
      {"ＭＳ ゴシック", 0, "(", 102},    {"ＭＳ Ｐゴシック", 0, "(", 106},  // a quarter cell further right
      {"ＭＳ Ｐゴシック", 0, "（", 104}, {"ＭＳ Ｐゴシック", 1, "(", 104},  // centred: 8 - 8 / 2
      {"ＭＳ ゴシック", 1, "あ", 100},
  };
  for (const Case& c : cases) {
    Clear();
    ASSERT_TRUE(Make(0, c.face));
    font.m_bCentre = c.centre;
    font.Draw(&BackBuffer, 100, 100, c.text);
    EXPECT_EQ(FirstInk(95, 108), c.inkX) << c.face << " centre " << c.centre << " " << c.text;
  }
}

TEST_P(FontTest, CachesHoldEverySingleByteCellAndAddFullWidthOnFirstUse) {
  ASSERT_TRUE(Make(1));
  cFastFont& half = *font.m_lpFastFont_Half;
  cFastFont& full = *font.m_lpFastFont_FullAdd;
  // Code c in cell (c mod 16, c / 16): half-width katakana 0xB1 at (1, 11); the lead byte 0x81
  // leaves its cell (1, 8) empty and moves nothing after it.
  EXPECT_TRUE(Ink(&half.m_CacheSD, 16 + 2, 11 * 16 + 1));
  EXPECT_TRUE(Ink(&half.m_CacheSD, 16 + 2, 4 * 16 + 1));  // 'A'
  EXPECT_FALSE(Ink(&half.m_CacheSD, 16 + 2, 8 * 16 + 1));
  EXPECT_TRUE(Ink(&half.m_CacheSD, 15 * 16 + 2, 13 * 16 + 1));  // 0xDF
  EXPECT_EQ(full.m_nCount, 258);
  EXPECT_EQ(full.m_nCapacity, lpDTCon ? 32 * 32 : 32 * 30);
  EXPECT_TRUE(Ink(&full.m_CacheSD, 0, 0));  // "０"

  faces.rendered.clear();
  font.Draw(&BackBuffer, 100, 100, "A\xB1あ");
  EXPECT_TRUE(faces.rendered.empty()) << "all three come from the caches";
  EXPECT_TRUE(Ink(&BackBuffer, 102, 100));
  EXPECT_TRUE(Ink(&BackBuffer, 118, 100));
  EXPECT_TRUE(Ink(&BackBuffer, 132, 115));
  font.Draw(&BackBuffer, 100, 200, "漢");
  font.Draw(&BackBuffer, 100, 200, "漢");
  EXPECT_EQ(faces.rendered.size(), 1u) << "rendered into the cache once";
  EXPECT_EQ(full.m_nCount, 259);
  EXPECT_TRUE(Ink(&BackBuffer, 100, 200));

  // Fill the cache with new characters; past its capacity they are drawn directly every time.
  char ch[3] = {};
  for (int code = 0x889F; full.m_nCount < full.m_nCapacity; ++code) {
    ch[0] = static_cast<char>(code >> 8), ch[1] = static_cast<char>(code & 255);
    if ((code & 255) == 0xFC) code += 0x100 - 0xFC + 0x40 - 1;
    font.Draw(&BackBuffer, 0, 300, ch);
  }
  faces.rendered.clear();
  Clear();
  font.Draw(&BackBuffer, 100, 100, "\xE0\x40");
  font.Draw(&BackBuffer, 100, 100, "\xE0\x40");
  EXPECT_EQ(faces.rendered.size(), 2u);
  EXPECT_EQ(full.m_nCount, full.m_nCapacity);
  EXPECT_TRUE(Ink(&BackBuffer, 100, 100));
}

TEST_P(FontTest, LowercaseLettersBecomeSymbolCells) {
  LoadPicture(&symbols, "sym.bmp", 16 * 26, 16, [](int x, int) { return x < 16 ? 0x00FF00u : 0xFF0000u; });
  ASSERT_TRUE(Make(0));
  font.m_bSymbols = 1;
  font.Draw(&BackBuffer, 100, 100, "aA");
  EXPECT_TRUE(Near(At(100, 100), 0x00FF00));
  EXPECT_TRUE(Ink(&BackBuffer, 118, 100));
  EXPECT_EQ(faces.rendered, (std::vector<t4::platform::text::CharCode>{'A'}));
  Clear();
  faces.rendered.clear();
  font.Draw(&BackBuffer, 100, 100, "a", TRUE);
  EXPECT_TRUE(Ink(&BackBuffer, 102, 100));
  EXPECT_EQ(faces.rendered, (std::vector<t4::platform::text::CharCode>{'a'}));
}

TEST_P(FontTest, BoxesCentreOnTheBoxPictureAndFitTheText) {
  LoadPicture(&box, "box.bmp", 64, 40, [](int, int) { return 0x808080u; });
  ASSERT_TRUE(Make(0));
  font.DrawBox(&BackBuffer, 10000, 10000, 20, 10);  // (32 - 10, 20 - 5)
  EXPECT_TRUE(Near(At(21, 14), 0xFFFF00));
  EXPECT_TRUE(Near(At(22, 15), 0x808080));
  EXPECT_TRUE(Near(At(42, 25), 0xFFFF00));
  EXPECT_EQ(At(43, 25), 0u);
  Clear();
  // Width 0: the measured text plus the margin, here 2 + 32 by 16.
  font.DrawTextBox(&BackBuffer, 200, 100, 0, 0, "AB", 2);
  EXPECT_TRUE(Near(At(199, 99), 0xFFFF00));
  EXPECT_TRUE(Near(At(234, 116), 0xFFFF00));
  EXPECT_EQ(At(235, 116), 0u);
  EXPECT_TRUE(Ink(&BackBuffer, 204, 100));
}

TEST_P(FontTest, FormattedTextIsCutOnACharacterBoundary) {
  ASSERT_TRUE(Make(0));
  // 254 letters and a double-byte character do not fit 255 bytes: the character is left out
  // whole instead of leaving its lead byte behind.
  font.DrawF(&BackBuffer, 0, 0, "%s%s", std::string(254, 'A').c_str(), "あ");
  EXPECT_EQ(faces.rendered.size(), 254u);
  faces.rendered.clear();
  font.DrawTextBoxF(&BackBuffer, 0, 0, 10, 10, "%s", std::string(600, 'B').c_str());
  EXPECT_EQ(faces.rendered.size(), 511u);
}

TEST_P(FontTest, DigitStripsFromTheFonts) {
  cFont fonts[2];
  FONTDESC descs[2] = {{"ＭＳ ゴシック", 0, 10, 10, 10, PAL_INK, 0, 1, 7, 0, 0},
                       {"ＭＳ ゴシック", 0, 16, 0, 16, PAL_INK, 0, 1, 7, 0, 0}};
  ASSERT_EQ(DDCreateFonts(fonts, descs, 2), 1);
  DDSURFACEDATA strips[2];
  const IMAGESLOT slots[2] = {{.szFile = "", .bColorKey = 1}, {.szFile = "", .bColorKey = 1}};
  ASSERT_EQ(DDCreateDigitStrips(strips, slots, 1, fonts, descs), 1);
  EXPECT_EQ(strips[0].nWidth, 100);
  EXPECT_EQ(strips[0].nHeight, 10);
  for (int d = 0; d < 10; ++d) EXPECT_TRUE(Ink(&strips[0], d * 10 + 1, 1)) << d;
  EXPECT_FALSE(Ink(&strips[0], 6, 1));
  // A proportional font has no cells to make a strip of.
  EXPECT_EQ(DDCreateDigitStrips(strips + 1, slots + 1, 1, fonts + 1, descs + 1), 0);
  for (DDSURFACEDATA& s : strips) DDReleaseSurface(&s);
  for (cFont& font : fonts) font.Release();
}

INSTANTIATE_TEST_SUITE_P(Modes, FontTest, ::testing::ValuesIn(kDrawModes), ModeName);

class FontRestoreTest : public FontTest {};

TEST_P(FontRestoreTest, CachesAreRenderedAgainAfterADeviceLoss) {
  ASSERT_TRUE(Make(1));
  DDSURFACEDATA& cache = font.m_lpFastFont_Half->m_CacheSD;
  lpDevice->SimulateLoss(true);
  ASSERT_EQ(DDRestoreSurface(), 1);
  EXPECT_EQ(cache.bLost, 0);
  EXPECT_TRUE(Ink(&cache, 16 + 2, 4 * 16 + 1));
  EXPECT_EQ(font.m_lpFastFont_FullAdd->m_nCount, 258);
  EXPECT_TRUE(Ink(&font.m_lpFastFont_FullAdd->m_CacheSD, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(RenderModes, FontRestoreTest, ::testing::Values(kDrawModes[0]), ModeName);

}  // namespace
}  // namespace t4::test
