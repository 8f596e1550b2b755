// Boxes in full screen when the screen cannot switch to its dialog mode: none is shown, and the
// caller reads the answer of a dismissed box.
#include "core/message_box.h"
#include "support/dd_fixture.h"

namespace t4::test {
namespace {

TEST(DDDialogModeTest, BoxThatCannotBeShownOverTheFullScreenIsSkipped) {
  for (DDMode mode : {DDMode{"d3d32", true, 32, 0}, DDMode{"dd32", false, 32, 0}}) {
    SCOPED_TRACE(mode.name);
    DDFixture f;
    ASSERT_TRUE(f.Init(mode));
    const auto failing = mode.d3d ? t4::platform::raster::Op::SetDialogBoxMode : t4::platform::raster::Op::FlipToGdi;
    f.boxes.QueueAnswer(IDYES);
    f.system.InjectFailure(failing);
    EXPECT_EQ(ShowMessageBox("question", "caption", MB_YESNO), 0);
    f.system.InjectFailure(failing);
    EXPECT_EQ(ErrorBox("error"), 0);
    EXPECT_TRUE(f.boxes.Boxes().empty());
    // Once the screen can switch again the queued answer is still there for the next box.
    f.system.ClearFailures();
    EXPECT_EQ(ShowMessageBox("question", "caption", MB_YESNO), IDYES);
    EXPECT_EQ(f.boxes.Boxes().size(), 1u);
  }
}

}  // namespace
}  // namespace t4::test
