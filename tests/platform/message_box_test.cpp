#include "platform/message_box.h"

#include <gtest/gtest.h>

namespace t4::platform {
namespace {

TEST(ScriptedMessageBox, RecordsBoxesAndAnswersFromItsQueue) {
  ScriptedMessageBoxBackend boxes;
  boxes.QueueAnswer(IDNO);
  EXPECT_EQ(boxes.Show("終了しますか？", "確認", MB_YESNO), IDNO);
  EXPECT_EQ(boxes.Show("終了しますか？", "確認", MB_YESNO), IDYES);  // queue empty: default
  EXPECT_EQ(boxes.Show("text", "エラー", MB_OK), IDOK);

  auto shown = boxes.Boxes();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].caption, "確認");
  EXPECT_EQ(shown[0].text, "終了しますか？");
  EXPECT_EQ(shown[0].type, MB_YESNO);
  EXPECT_EQ(shown[2].caption, "エラー");
}

TEST(ScriptedMessageBox, InstalledOnceForTheProcess) {
  ScriptedMessageBoxBackend boxes;
  MessageBoxBackend& before = GetMessageBoxBackend();
  {
    ScopedMessageBoxBackend installed(boxes);
    EXPECT_EQ(&GetMessageBoxBackend(), &boxes);
  }
  // Leaving the scope puts the default back.
  EXPECT_EQ(&GetMessageBoxBackend(), &before);
  EXPECT_NE(&before, &boxes);
}

}  // namespace
}  // namespace t4::platform
