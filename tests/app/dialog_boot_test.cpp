// The start-up dialog: what it opens with, what Start stores in Boot.dat and what Cancel leaves.
#include <string>

#include "app/boot_dialog.h"
#include "dialog_fixture.h"
#include "persist/project_layout.h"

namespace {

namespace ui = t4::platform::ui;

class BootDialogTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    dir.WriteFile("user_data/.keep", "");
    g_SystemData.m_strTitle = "テスト";
  }
  // Boot.dat as start-up reads it.
  void Store(int32_t drawMode, int32_t noAsk) {
    cBootData b;
    b.m_nDrawMode = drawMode;
    b.m_bNoBootDialog = noAsk;
    ASSERT_TRUE(b.SaveToFile(g_Paths[PATH_BOOT]));
    ASSERT_TRUE(g_BootData.LoadFromFile(g_Paths[PATH_BOOT]));
  }
  int Run() {
    cBootDialog dialog;
    return dialog.DoModal(0);
  }
  cBootData Stored() {
    cBootData b;
    b.m_nDrawMode = -1;
    b.m_bNoBootDialog = -1;
    EXPECT_TRUE(b.LoadFromFile(g_Paths[PATH_BOOT]));
    return b;
  }
};

TEST_F(BootDialogTest, OpensWithTheStoredChoiceAndTheGamesTitle) {
  Store(0, 0);
  host.Click(1001);
  EXPECT_EQ(Run(), 0);
  const ui::DialogSnapshot& s = host.Seen().at(0);
  EXPECT_EQ(s.caption, "テスト");
  EXPECT_FALSE(s.Find(1002)->checked);
  EXPECT_TRUE(s.Find(1003)->checked);
  EXPECT_FALSE(s.Find(1004)->checked);
  EXPECT_EQ(s.Find(1000)->text, "ゲーム開始");
  EXPECT_EQ(s.focus, 1000);  // the default button, so Enter and the joystick start at once
}

TEST_F(BootDialogTest, StartStoresTheChoiceAndDoNotAskAgain) {
  Store(1, 0);
  host.Click(1004);
  host.Click(1003);
  host.Key(VK_RETURN);
  EXPECT_EQ(Run(), 1);
  const cBootData b = Stored();
  EXPECT_EQ(b.m_nDrawMode, 0);
  EXPECT_EQ(b.m_bNoBootDialog, 1);
}

TEST_F(BootDialogTest, TheKeyboardAloneChoosesAndStarts) {
  Store(1, 0);
  host.Key(VK_TAB);  // Start -> Cancel
  host.Key(VK_TAB);  // -> the checked radio button
  host.Key(VK_RIGHT);
  host.Key(VK_RETURN);
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(Stored().m_nDrawMode, 0);
}

TEST_F(BootDialogTest, CancelAfterAChangeLeavesBootDatAsItWas) {
  Store(1, 0);
  const std::string before = dir.ReadFile("user_data/Boot.dat");
  host.Click(1003);
  host.Click(1004);
  host.Click(1001);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(dir.ReadFile("user_data/Boot.dat"), before);
}

TEST_F(BootDialogTest, ClosingTheWindowIsACancel) {
  Store(1, 0);
  host.Close();
  EXPECT_EQ(Run(), 0);
}

TEST_F(BootDialogTest, EnglishTextsExceptTheRadioLabels) {
  g_SystemIni.m_nEnglish = 1;
  host.Click(1001);
  Run();
  const ui::DialogSnapshot& s = host.Seen().at(0);
  EXPECT_EQ(s.Find(1006)->text, "Drawing mode");
  EXPECT_EQ(s.Find(1000)->text, "Start");
  EXPECT_EQ(s.Find(1001)->text, "Cancel");
  EXPECT_EQ(s.Find(1005)->text, "Configure the detail settings at \"System.ini\".");
  EXPECT_EQ(s.Find(1004)->text, "Do not ask this dialog again");
  EXPECT_EQ(s.Find(1002)->text, "Direct3D");
  EXPECT_EQ(s.Find(1003)->text, "DirectDraw");
}

TEST_F(BootDialogTest, PlacedOverTheMiddleOfTheMainWindow) {
  RecordMainWindowPosition(100, 50);
  cBootDialog dialog;
  EXPECT_EQ(dialog.m_nPlaceX, 100 + 320 - 187);
  EXPECT_EQ(dialog.m_nPlaceY, 50 + 240 - 136);
  dialog.DoModal(0);
  EXPECT_EQ(host.Seen().at(0).window.x, 133);
  EXPECT_EQ(host.Seen().at(0).window.y, 104);
  EXPECT_TRUE(PointerOn(host.Seen().at(0), 1000));  // on Start
}

}  // namespace
