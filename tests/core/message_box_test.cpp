#include "core/message_box.h"

#include <gtest/gtest.h>

#include <string>

#include "core_fixture.h"
#include "platform/message_box.h"

namespace {

class MessageBoxes : public t4::test::CoreFixture {
 protected:
  void SetUp() override { CoreFixture::SetUp(); }
  void TearDown() override {
    SetFullScreenMessageBoxHook(nullptr);
    CoreFixture::TearDown();
  }
  t4::platform::ScriptedMessageBoxBackend m_boxes;
  t4::platform::ScopedMessageBoxBackend m_installedBoxes{m_boxes};
};

TEST_F(MessageBoxes, ErrorBoxesHaveTheErrorCaptionAndBoundedText) {
  EXPECT_EQ(ErrorBoxf("%s の読み込みに失敗しました！", "data\\stage.stg4"), IDOK);
  ErrorBoxf("100%d");  // a finished text is shown as it is
  ErrorBoxf("%s", std::string(3000, 'x').c_str());
  ErrorBoxf(std::string(3000, 'y').c_str());

  auto boxes = m_boxes.Boxes();
  ASSERT_EQ(boxes.size(), 4u);
  for (const auto& box : boxes) {
    EXPECT_EQ(box.caption, "エラー");
    EXPECT_EQ(box.type, MB_OK);
  }
  EXPECT_EQ(boxes[0].text, "data\\stage.stg4 の読み込みに失敗しました！");
  EXPECT_EQ(boxes[1].text, "100%d");
  EXPECT_EQ(boxes[2].text, std::string(1023, 'x'));
  EXPECT_EQ(boxes[3].text, std::string(1023, 'y'));
}

bool s_bHookHandles = false;
int s_nHookCalls = 0;
bool FullScreenHook(const char*, const char*, UINT, int* pnResult) {
  ++s_nHookCalls;
  *pnResult = IDNO;
  return s_bHookHandles;
}

TEST_F(MessageBoxes, FullScreenHookTakesTheBoxWhenItHandlesIt) {
  s_nHookCalls = 0;
  SetFullScreenMessageBoxHook(&FullScreenHook);
  s_bHookHandles = true;
  EXPECT_EQ(ShowMessageBox("q", "c", MB_YESNO), IDNO);
  EXPECT_TRUE(m_boxes.Boxes().empty());
  s_bHookHandles = false;  // not full screen: a normal box
  EXPECT_EQ(ShowMessageBox("q", "c", MB_YESNO), IDYES);
  EXPECT_EQ(m_boxes.Boxes().size(), 1u);
  EXPECT_EQ(s_nHookCalls, 2);
}

TEST_F(MessageBoxes, DebugBoxShowsNothingWhileTheDebugLogIsOff) {
  InitDebugLog(false, "RU_Dovo.txt");
  EXPECT_EQ(DebugErrorBoxf("index %d", 3), 0);
  EXPECT_TRUE(m_boxes.Boxes().empty());
  EXPECT_EQ(CloseRequests(), 0);
}

TEST_F(MessageBoxes, OutOfMemoryShowsTheBoxThenAsksToClose) {
  OutOfMemoryClose();
  auto boxes = m_boxes.Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "メモリが不足しています！");
  EXPECT_EQ(boxes[0].caption, "エラー");
  EXPECT_EQ(CloseRequests(), 1);
}

}  // namespace
