// Sprite batches at their flush: a run clears every opaque rectangle before it draws, and a draw
// that joins an earlier one shares its key but not its registered-cell mark.
#include "support/draw_fixture.h"
#include "batch_colours.h"
#include "gfx/batch.h"

namespace t4::test {
namespace {

class BatchRunTest : public DrawTest {
 protected:
  void SetUp() override {
    DrawTest::SetUp();
    // T: columns 0-3 red, 4-5 the transparent colour, 6-7 blue. U: green.
    LoadPicture(&t, "t.bmp", 8, 4, [](int x, int) { return x < 4 ? RED : x < 6 ? 0xFF00FFu : BLUE; });
    LoadPicture(&u, "u.bmp", 4, 4, [](int, int) { return GREEN; });
  }
  void TearDown() override {
    while (g_lpBatch) DDEndBatch();
    DDReleaseSurface(&t);
    DDReleaseSurface(&u);
  }
  DDSURFACEDATA t, u;
};

TEST_P(BatchRunTest, OverlappingOpaqueDrawsOfOneRunKeepTheEarlierPicture) {
  // Two opaque draws of T in one run: the red cell at 0, then the cell whose left half is
  // transparent at 2. The second clear must not wipe the red under its transparent half.
  for (int group : {0, 1}) {
    SCOPED_TRACE(group);
    DDClear(&BackBuffer, 0xFF000000);
    DDBeginBatch(group);
    DDBlt(&BackBuffer, 0, 0, 4, 4, &t, 0, 0, BLT_OPAQUE);
    DDBlt(&BackBuffer, 2, 0, 4, 4, &t, 4, 0, BLT_OPAQUE);
    DDEndBatch();
    for (auto [x, colour] : {std::pair{0, RED}, {2, RED}, {3, RED}, {4, BLUE}, {5, BLUE}})
      EXPECT_TRUE(Near(At(x, 1), colour)) << x << ": " << std::hex << At(x, 1);
  }
}

TEST_P(BatchRunTest, JoinedDrawsDoNotCarryTheRegisteredCellMark) {
  DDBeginBatch(1);
  DDBatchOrderRect(&t, 0, 0);
  DDBlt(&BackBuffer, 0, 0, 4, 4, &t, 0, 0, BLT_OPAQUE);   // the registered cell
  DDBlt(&BackBuffer, 20, 0, 4, 4, &t, 0, 0, BLT_OPAQUE);  // joins it
  ASSERT_TRUE(g_lpBatch);
  ASSERT_EQ(g_lpBatch->Entries.size(), 2u);
  EXPECT_EQ(g_lpBatch->Entries[0].bRegisteredCell, 1);
  EXPECT_EQ(g_lpBatch->Entries[1].bRegisteredCell, 0);
  EXPECT_EQ(g_lpBatch->Entries[1].nKey, g_lpBatch->Entries[0].nKey);
  // Another part of T now finds the unmarked joined draw first and takes the cell's key too: it
  // is drawn after U, over it.
  DDBlt(&BackBuffer, 10, 0, 4, 4, &t, 6, 0, BLT_OPAQUE);
  DDBlt(&BackBuffer, 10, 0, 4, 4, &u, 0, 0, BLT_OPAQUE);
  DDEndBatch();
  EXPECT_TRUE(Near(At(11, 1), BLUE)) << std::hex << At(11, 1);
  EXPECT_TRUE(Near(At(1, 1), RED));
  EXPECT_TRUE(Near(At(21, 1), RED));
}

INSTANTIATE_TEST_SUITE_P(RenderModes, BatchRunTest, ::testing::Values(kDrawModes[0], kDrawModes[1]), ModeName);

}  // namespace
}  // namespace t4::test
