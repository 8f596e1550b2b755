#include "support/draw_fixture.h"
#include "gfx/frames_digits.h"

namespace t4::test {
namespace {

constexpr uint32_t FRAME = 0xFFFF00;

class FramesDigitsTest : public DrawTest {
 protected:
  // Digit d of the strip: a 4 x 4 cell of colour DigitColour(d), from x = 8 on (cells left of
  // the strip are white, so a draw from there shows).
  static uint32_t DigitColour(int d) { return static_cast<uint32_t>(d * 20 + 10) << 16 | 0x2040; }
  void SetUp() override {
    DrawTest::SetUp();
    SetPal(7, FRAME);
    LoadPicture(&strip, "digits.bmp", 48, 4, [](int x, int) { return x < 8 ? 0xFFFFFFu : DigitColour((x - 8) / 4); });
  }
  void TearDown() override { DDReleaseSurface(&strip); }
  // The digits drawn in a row of cells from x (-1 for an empty cell), until `cells` cells.
  std::vector<int> Row(int x, int cells) {
    std::vector<int> out;
    for (int i = 0; i < cells; ++i) {
      const uint32_t rgb = At(x + 4 * i + 1, 101);
      int digit = -1;
      for (int d = 0; d < 10; ++d)
        if (Near(rgb, DigitColour(d))) digit = d;
      if (rgb != 0 && digit < 0) digit = 99;  // something else was drawn
      out.push_back(digit);
    }
    return out;
  }
  DDSURFACEDATA strip;
};

TEST_P(FramesDigitsTest, NumbersInTheirField) {
  struct Case {
    int value, minDigits;
    bool centre;
    std::vector<int> cells;  // 6 cells from x
  };
  const Case cases[] = {
      {0, 1, false, {0, -1, -1, -1, -1, -1}},
      {7, 3, true, {-1, 7, -1, -1, -1, -1}},  // (3 - 1) x 4 / 2
      {7, 3, false, {-1, -1, 7, -1, -1, -1}},
      {42, 5, true, {-1, 4, 2, -1, -1, -1}},    // 3 x 4 / 2 = 6: cells start mid-cell 1
      {123456, 3, false, {1, 2, 3, 4, 5, 6}},   // wider than the field: drawn whole from x
      {-5, 3, false, {-1, -1, 0, -1, -1, -1}},  // a negative count shows as 0
      {INT32_MIN, 1, false, {0, -1, -1, -1, -1, -1}},
  };
  for (const Case& c : cases) {
    DDClear(&BackBuffer, lpDTCon ? 0xFF000000 : 0);
    EXPECT_EQ(DDDrawNumber(&BackBuffer, 100, 100, 4, 4, &strip, 8, 0, BLT_TRANSPARENT, c.value, c.minDigits, c.centre),
              1);
    std::vector<int> got = Row(100, 6);
    if (c.value == 42) got = Row(102, 6);
    EXPECT_EQ(got, c.cells) << c.value << " min " << c.minDigits << " centre " << c.centre;
  }
}

TEST_P(FramesDigitsTest, FrameBarsLieInsideAndFramedPictureOutside) {
  DDDrawFrame(&BackBuffer, 10, 10, 20, 10, 2, 7);
  for (auto [x, y] : {std::pair{10, 10}, {29, 19}, {11, 15}, {28, 15}, {20, 11}, {20, 18}})
    EXPECT_TRUE(Near(At(x, y), FRAME)) << x << "," << y;
  for (auto [x, y] : {std::pair{12, 12}, {27, 17}, {9, 10}, {30, 10}, {10, 20}})
    EXPECT_EQ(At(x, y), 0u) << x << "," << y;
  // Thicker than half the box: the bars overlap and fill it.
  DDDrawFrame(&BackBuffer, 50, 10, 6, 6, 4, 7);
  EXPECT_TRUE(Near(At(52, 12), FRAME));
  EXPECT_EQ(At(56, 12), 0u);

  DDBltFramed(&BackBuffer, 100, 50, 4, 4, &strip, 3, 7);
  EXPECT_TRUE(Near(At(100, 50), 0xFFFFFF));  // the picture's top-left part
  EXPECT_TRUE(Near(At(97, 47), FRAME));
  EXPECT_TRUE(Near(At(106, 56), FRAME));
  EXPECT_EQ(At(96, 50), 0u);
  EXPECT_EQ(At(107, 50), 0u);
}

INSTANTIATE_TEST_SUITE_P(Modes, FramesDigitsTest, ::testing::ValuesIn(kDrawModes), ModeName);

}  // namespace
}  // namespace t4::test
