// The range lines of distance conditions: a circle too large to pass through the view draws
// nothing (and costs nothing), and a range read as any number from a file stays in bounds.
#include <gtest/gtest.h>

#include <climits>

#include "data/flow_kinds.h"
#include "stage/scene_play.h"
#include "support/stage_harness.h"
#include "draw_probe.h"
#include "play_constants.h"

namespace t4::test {
namespace {

// The hash of the first played frame of a stage whose walking character has one flow guarded by
// a shown circle range of `halfBlocks` half blocks (none when `withRange` is false).
uint64_t FrameWithCircle(bool withRange, int32_t halfBlocks) {
  cStage stage = StageFromRows({
      "............",
      ".H....w.....",
      "############",
  });
  stage.m_dGravity = 1.0;
  if (withRange) {
    cCond cond;
    cond.m_cKind = COND_DISTANCE;
    cond.m_cShape = 6;
    cond.DistanceDisplay() = 1;
    cond.m_nValue = halfBlocks;
    cFlow flow;
    flow.m_Conds.push_back(cond);
    stage.m_CharaPlaces.At(1).m_Flows.push_back(flow);
  }
  StageHarness h;
  h.Start(stage);
  EXPECT_GE(h.RunUntilState(PLAY_PLAY), 0);
  h.Frame();
  EXPECT_EQ(h.CloseRequests(), 0);
  return FrameHash("range");
}

TEST(DistanceRangesPlayTest, CirclesBeyondTheViewDrawNothing) {
  const uint64_t plain = FrameWithCircle(false, 0);
  // Four half blocks: a circle of 64 dots about the character shows.
  EXPECT_NE(FrameWithCircle(true, 4), plain);
  // 100 million half blocks: a radius of 2^30 dots surrounds the view; INT_MAX half blocks would
  // overflow the dots.
  EXPECT_EQ(FrameWithCircle(true, 100000000), plain);
  EXPECT_EQ(FrameWithCircle(true, INT_MAX), plain);
}

}  // namespace
}  // namespace t4::test
