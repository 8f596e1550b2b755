// Fonts over the installed IPA faces through FreeType.
#include "support/draw_fixture.h"
#include "gfx/font.h"
#include "platform/text/rasterizer.h"

namespace t4::test {
namespace {

using t4::platform::text::GetRasterizer;

// The program installs the FreeType rasteriser at start-up; these tests do the same.
class FreeTypeEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    m_rasterizer = t4::platform::text::MakeFreeTypeRasterizer();
    m_installed.emplace(*m_rasterizer);
  }
  void TearDown() override {
    m_installed.reset();
    m_rasterizer.reset();
  }

 private:
  std::unique_ptr<t4::platform::text::Rasterizer> m_rasterizer;
  std::optional<t4::platform::text::ScopedRasterizer> m_installed;
};
[[maybe_unused]] ::testing::Environment* const g_freeType =
    ::testing::AddGlobalTestEnvironment(new FreeTypeEnvironment);

bool HaveIpaFonts() {
  auto face = GetRasterizer().Open("IPAGothic", 0, 16);
  return face && face->FamilyName() == "IPAGothic";
}

TEST(TextRasterizerTest, ProjectFaceNamesMapToJapaneseFaces) {
  if (!HaveIpaFonts()) GTEST_SKIP() << "the IPA fonts are not installed";
  struct Case {
    const char* face;
    const char* family;  // null: any face with kana
  };
  const Case cases[] = {
      {"ＭＳ ゴシック", "IPAGothic"}, {"ＭＳ Ｐゴシック", "IPAPGothic"}, {"ＭＳ 明朝", "IPAMincho"},
      {"ＭＳ Ｐ明朝", "IPAPMincho"},  {"MS UI Gothic", "IPAPGothic"},    {"No Such Face", nullptr},
  };
  for (const Case& c : cases) {
    auto face = GetRasterizer().Open(c.face, 0, 16);
    ASSERT_TRUE(face) << c.face;
    if (c.family) {
      EXPECT_EQ(face->FamilyName(), std::string_view(c.family)) << c.face;
    }
    const auto glyph = face->Render(0x82A0, t4::platform::text::GlyphMode::Mono);  // "あ"
    EXPECT_GT(std::count(glyph.coverage.begin(), glyph.coverage.end(), 255), 10) << c.face;
    EXPECT_EQ(face->CellHeight(), 16);
  }
  // A negative height is the em: the IPA faces' cell equals their em.
  EXPECT_EQ(GetRasterizer().Open("ＭＳ ゴシック", 0, -20)->CellHeight(), 20);
  EXPECT_EQ(GetRasterizer().Open("ＭＳ ゴシック", 0, 16)->MeasureLine("Aあ").width, 24);
}

class IpaFontTest : public DrawTest {
 protected:
  void TearDown() override { font.Release(); }
  cFont font;
};

TEST_P(IpaFontTest, JapaneseTextDrawsInsideItsMeasuredBoxInTheTextColour) {
  if (!HaveIpaFonts()) GTEST_SKIP() << "the IPA fonts are not installed";
  SetPal(9, 0xFFFFFF);
  for (int cache : {0, 1}) {
    DDClear(&BackBuffer, lpDTCon ? 0xFF000000 : 0);
    ASSERT_TRUE(font.Create("ＭＳ ゴシック", 0, 16, 16, 16, 9, nullptr, 0, 0, nullptr, cache));
    const char* text = "日本語のテキスト、ｶﾅ";
    font.Draw(&BackBuffer, 100, 100, text);
    int ext[2];
    font.GetMultiLineExtent(ext, text);
    EXPECT_EQ(ext[0], 11 * 16);
    int inked = 0, full = 0, outside = 0;
    for (int y = 90; y < 130; ++y)
      for (int x = 90; x < 300; ++x) {
        const uint32_t rgb = At(x, y);
        if (rgb == 0) continue;
        ++inked;
        if (Near(rgb, 0xFFFFFF)) ++full;
        // Glyphs may reach one row above the cell (single-byte ones sit there at this size).
        if (x < 100 || x >= 100 + ext[0] || y < 99 || y >= 100 + ext[1]) ++outside;
        // Every pixel is the text colour at some strength (grey on black).
        const uint32_t r = rgb >> 16, g = rgb >> 8 & 255, b = rgb & 255;
        if (std::max({r, g, b}) - std::min({r, g, b}) > 8) ++outside;
      }
    EXPECT_GT(inked, 300) << "cache " << cache;
    EXPECT_GT(full, 100) << "cache " << cache;
    EXPECT_EQ(outside, 0) << "cache " << cache;
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, IpaFontTest, ::testing::Values(kDrawModes[0], kDrawModes[2]), ModeName);

}  // namespace
}  // namespace t4::test
