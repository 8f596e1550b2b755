#include "support/draw_fixture.h"
#include "batch_colours.h"
#include "gfx/batch.h"

namespace t4::test {
namespace {

class BatchTest : public DrawTest {
 protected:
  void SetUp() override {
    DrawTest::SetUp();
    // T: left 4x4 red, right 4x4 blue; U: 4x4 green.
    LoadPicture(&t, "t.bmp", 8, 4, [](int x, int) { return x < 4 ? RED : BLUE; });
    LoadPicture(&u, "u.bmp", 4, 4, [](int, int) { return GREEN; });
  }
  void TearDown() override {
    while (g_lpBatch) DDEndBatch();
    DDReleaseSurface(&t);
    DDReleaseSurface(&u);
  }
  void DrawT(int x, int sx = 0) { DDBlt(&BackBuffer, x, 0, 4, 4, &t, sx, 0, BLT_OPAQUE); }
  void DrawU(int x) { DDBlt(&BackBuffer, x, 0, 4, 4, &u, 0, 0, BLT_OPAQUE); }

  DDSURFACEDATA t, u;
};

TEST_P(BatchTest, DrawsAtTheEndInKeyOrder) {
  struct Case {
    int group;
    bool registerT;
    uint32_t visible;
  };
  // T is drawn first, U over it; only a registered texture moves behind the unregistered draws.
  for (const Case& c : {Case{0, true, GREEN}, Case{1, false, GREEN}, Case{1, true, RED}}) {
    DDClear(&BackBuffer, 0xFF000000);
    DDBeginBatch(c.group);
    if (c.registerT) DDBatchOrder(&t);
    DrawT(0);
    DrawU(0);
    EXPECT_EQ(At(1, 1), 0u) << "drawn before the batch ends";
    DDEndBatch();
    EXPECT_TRUE(Near(At(1, 1), c.visible)) << c.group << c.registerT << " " << std::hex << At(1, 1);
  }
  EXPECT_EQ(g_lpBatch, nullptr);
}

TEST_P(BatchTest, RunsBreakOnTextureAndState) {
  struct Case {
    int group;
    int failingRun;
    int missingX;  // the draw that belonged to the failed run
  };
  // Draws: T at 0, U at 10, T at 20, then T at 30 with another draw colour.
  // Without grouping: runs T | U | T | T'. With grouping every later T takes the key of the
  // first, so they sort before U: T T | T' | U.
  for (const Case& c : {Case{0, 3, 20}, Case{1, 2, 30}, Case{1, 3, 10}}) {
    DDClear(&BackBuffer, 0xFF000000);
    DDBeginBatch(c.group);
    DrawT(0);
    DrawU(10);
    DrawT(20);
    DDSetDrawColor(0xFF808080);
    DrawT(30);
    DDResetDrawColor();
    f.system.InjectFailure(t4::platform::raster::Op::CreateVertexBuffer, c.failingRun);
    DDEndBatch();
    f.system.ClearFailures();
    for (int x : {0, 10, 20, 30})
      EXPECT_EQ(At(x + 1, 1) == 0, x == c.missingX) << "group " << c.group << " draw at " << x;
  }
  // The colour in force when the draw was made is the one it is drawn with.
  EXPECT_TRUE(Near(At(31, 1), 0x800000)) << std::hex << At(31, 1);
}

TEST_P(BatchTest, RegisteredCellGroupsOnlyThatCell) {
  DDBeginBatch(1);
  DDBatchOrderRect(&t, 0, 0);
  DrawT(0, 0);   // the registered cell: sorts after every unregistered draw
  DrawT(10, 4);  // another part of T keeps its own key, below U's
  DrawU(10);
  DrawT(20, 0);  // joins the first draw of the cell
  DrawU(0);
  DrawU(20);
  DDEndBatch();
  EXPECT_TRUE(Near(At(1, 1), RED));
  EXPECT_TRUE(Near(At(11, 1), GREEN));
  EXPECT_TRUE(Near(At(21, 1), RED));
}

TEST_P(BatchTest, RefusedBatchBeyondTheLimitKeepsTheEnclosingOnes) {
  DDBeginBatch(0);
  DrawT(0);
  for (int i = 1; i < DD_BATCH_MAX; ++i) DDBeginBatch(0);
  ASSERT_EQ(g_nBatchCount, DD_BATCH_MAX);
  DDBeginBatch(0);  // refused
  DrawU(10);
  DDEndBatch();  // ends the refused one only
  EXPECT_EQ(g_nBatchCount, DD_BATCH_MAX);
  EXPECT_EQ(At(11, 1), 0u);
  for (int i = 1; i < DD_BATCH_MAX; ++i) DDEndBatch();
  EXPECT_EQ(At(1, 1), 0u) << "the outermost batch is still open";
  EXPECT_TRUE(Near(At(11, 1), GREEN)) << "drawn with the batch it was made in";
  DDEndBatch();
  EXPECT_TRUE(Near(At(1, 1), RED));
  EXPECT_EQ(DDEndBatch(), 1) << "an end without a batch does nothing";
}

TEST_P(BatchTest, SuspendedBatchLetsDrawsThrough) {
  DDBeginBatch(0);
  DDBatchSuspend();
  DrawT(0);
  EXPECT_TRUE(Near(At(1, 1), RED));
  DDBatchResume();
  DrawU(10);
  EXPECT_EQ(At(11, 1), 0u);
  DDEndBatch();
  EXPECT_TRUE(Near(At(11, 1), GREEN));
}

INSTANTIATE_TEST_SUITE_P(RenderModes, BatchTest, ::testing::Values(kDrawModes[0], kDrawModes[1]), ModeName);

// ---- sheet text, pixels and circles (both drawing modes) ----

class SheetTest : public DrawTest {
 protected:
  static uint32_t CellColour(int col, int row) { return static_cast<uint32_t>(row * 25) << 16 | col * 16 << 8 | 0x40; }
  void SetUp() override {
    DrawTest::SetUp();
    LoadPicture(&sheet, "sheet.bmp", 64, 40, [](int x, int y) { return CellColour(x / 4, y / 4); });
  }
  void TearDown() override { DDReleaseSurface(&sheet); }
  DDSURFACEDATA sheet;
};

TEST_P(SheetTest, CharactersComeFromTheirSheetCells) {
  // 'A' (row 4, column 1), a line feed, 'B' below it, half-width katakana (0xB1: row 1) and
  // 0xC0 (row 8) after it; 0xE0 has no row in the sheet and draws nothing.
  DDDrawSheetText(&BackBuffer, 100, 50, 4, 4, &sheet, "A\nB\xB1\xC0\xE0");
  EXPECT_TRUE(Near(At(101, 51), CellColour(1, 4)));
  EXPECT_TRUE(Near(At(101, 55), CellColour(2, 4)));
  EXPECT_TRUE(Near(At(105, 55), CellColour(1, 1)));
  EXPECT_TRUE(Near(At(109, 55), CellColour(0, 8)));
  EXPECT_EQ(At(113, 55), 0u);
}

TEST_P(SheetTest, LongTextWrapsAtTheScreenWidthAndFormatsAreBounded) {
  // 160 cells of 4 dots fill the screen width; the 161st starts the next line at x.
  DDDrawSheetTextF(&BackBuffer, 0, 0, 4, 4, &sheet, "%s%s", std::string(160, '!').c_str(), "#");
  EXPECT_TRUE(Near(At(637, 1), CellColour(1, 2)));
  EXPECT_TRUE(Near(At(1, 5), CellColour(3, 2)));
  // A formatted text beyond the buffer is cut, not overflowed: 255 cells reach row 2 only.
  DDClear(&BackBuffer, lpDTCon ? 0xFF000000 : 0);
  DDDrawSheetTextF(&BackBuffer, 0, 0, 4, 4, &sheet, "%s", std::string(1000, '!').c_str());
  EXPECT_TRUE(Near(At(94 * 4 + 1, 5), CellColour(1, 2)));
  EXPECT_EQ(At(95 * 4 + 1, 5), 0u);
  EXPECT_EQ(At(1, 9), 0u);
}

TEST_P(SheetTest, PixelsAndCirclesInPaletteColours) {
  SetPal(5, 0xFFFF00);
  DDPutPixelPal(&BackBuffer, 3, 4, 5);
  for (auto [x, y] : {std::pair{-1, 0}, {640, 0}, {0, 480}, {0, -1}}) DDPutPixelPal(&BackBuffer, x, y, 5);
  EXPECT_TRUE(Near(At(3, 4), 0xFFFF00));
  EXPECT_EQ(At(0, 0), 0u);
  DDDrawCirclePal(&BackBuffer, 200, 200, 0, 5);
  EXPECT_EQ(At(200, 200), 0u);
  DDDrawCirclePal(&BackBuffer, 200, 200, 10, 5);
  for (auto [x, y] : {std::pair{210, 200}, {190, 200}, {200, 210}, {200, 190}, {207, 207}})
    EXPECT_TRUE(Near(At(x, y), 0xFFFF00)) << x << "," << y;
  EXPECT_EQ(At(200, 200), 0u);
  EXPECT_EQ(At(205, 200), 0u);
  DDDrawCirclePal(&BackBuffer, 639, 0, 5, 5);  // partly outside: clipped
  EXPECT_TRUE(Near(At(634, 0), 0xFFFF00));
}

INSTANTIATE_TEST_SUITE_P(Modes, SheetTest, ::testing::ValuesIn(kDrawModes), ModeName);

}  // namespace
}  // namespace t4::test
