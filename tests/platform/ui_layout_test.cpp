#include <gtest/gtest.h>

#include <memory>

#include "platform/text/fixed_face.h"
#include "platform/ui/dialog_template.h"

namespace t4::platform::ui {
namespace {

TEST(UiLayout, DialogUnitsBecomePixelsWithTheFontsBaseUnits) {
  struct Case {
    Rect dlu;
    BaseUnits units;
    Rect px;
  } cases[] = {
      // 6 x 12 base units: x * 6 / 4, y * 12 / 8, each rounded half up.
      {{75, 12, 24, 14}, {6, 12}, {113, 18, 36, 21}},
      {{222, 171, 0, 0}, {6, 12}, {333, 257, 0, 0}},
      {{7, 7, 20, 21}, {6, 12}, {11, 11, 30, 32}},
      // 7 x 14: 110 * 7 / 4 = 192.5 -> 193; 65 * 14 / 8 = 113.75 -> 114.
      {{110, 65, 1, 1}, {7, 14}, {193, 114, 2, 2}},
  };
  for (const Case& c : cases) {
    const Rect r = DluToPixels(c.dlu, c.units);
    EXPECT_EQ(r.x, c.px.x) << c.dlu.x;
    EXPECT_EQ(r.y, c.px.y) << c.dlu.y;
    EXPECT_EQ(r.w, c.px.w) << c.dlu.w;
    EXPECT_EQ(r.h, c.px.h) << c.dlu.h;
  }
}

TEST(UiLayout, BaseUnitsComeFromTheLetterWidthsAndTheCellHeight) {
  text::FixedMetricRasterizer fixed;
  // A 9 point font on a 96 dpi screen is 12 pixels tall; the fixed face makes a letter half as wide.
  EXPECT_EQ(FontHeightForPoints(9), -12);
  std::unique_ptr<text::Face> face = fixed.Open("ＭＳ Ｐゴシック", 0, FontHeightForPoints(9));
  ASSERT_TRUE(face);
  const BaseUnits units = BaseUnitsOf(*face);
  EXPECT_EQ(units.x, 6);
  EXPECT_EQ(units.y, 12);
  std::unique_ptr<text::Face> wide = fixed.Open("x", 7, -14);
  const BaseUnits wideUnits = BaseUnitsOf(*wide);
  EXPECT_EQ(wideUnits.x, 7);
  EXPECT_EQ(wideUnits.y, 14);
}

}  // namespace
}  // namespace t4::platform::ui
