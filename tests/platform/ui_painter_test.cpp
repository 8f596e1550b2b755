#include <gtest/gtest.h>

#include <memory>

#include "platform/text/fixed_face.h"
#include "platform/ui/dialog_model.h"
#include "platform/ui/dialog_painter.h"

namespace t4::platform::ui {
namespace {

TEST(UiPainter, DrawsTheDialogAtItsPlaceAndLeavesTheRestOfTheFrame) {
  DialogTemplate t;
  t.width = 80;
  t.height = 40;
  t.hasCaption = true;
  t.controls = {{1, ControlKind::Edit, "", {8, 8, 40, 16}}, {2, ControlKind::Check, "c", {8, 28, 40, 8}}};
  DialogModel model(t, BaseUnits{4, 8});  // one dialog unit is one pixel
  model.MoveTo(100, 50);
  text::FixedMetricRasterizer fixed;
  std::unique_ptr<text::Face> face = fixed.Open("x", 0, -8);
  Frame frame;
  frame.width = 640;
  frame.height = 480;
  frame.pixels.assign(640 * 480, 0x123456);
  PaintDialog(model, *face, frame);
  // Outside the 86 x 64 window nothing changes.
  EXPECT_EQ(frame.At(99, 60), 0x123456u);
  EXPECT_EQ(frame.At(100 + 86, 60), 0x123456u);
  EXPECT_EQ(frame.At(120, 50 + 64), 0x123456u);
  EXPECT_NE(frame.At(100, 50), 0x123456u);
  // The client area starts below the 3-pixel border and the caption: the edit box's inside.
  const int cx = 100 + DIALOG_BORDER;
  const int cy = 50 + DIALOG_BORDER + DIALOG_CAPTION;
  EXPECT_EQ(frame.At(cx + 8 + 20, cy + 8 + 8), 0xFFFFFFu);
  // A hidden control is not drawn: the face colour of the client area shows there.
  const uint32_t faceColour = frame.At(cx + 70, cy + 30);
  model.Show(1, false);
  PaintDialog(model, *face, frame);
  EXPECT_EQ(frame.At(cx + 8 + 20, cy + 8 + 8), faceColour);
}

}  // namespace
}  // namespace t4::platform::ui
