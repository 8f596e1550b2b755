// The file selection in its three modes, driven by keys and clicks through the scripted host.
#include <string>

#include "app/file_dialog.h"
#include "core/path_helpers.h"
#include "persist/replay.h"
#include "stage/private_messages.h"
#include "dialog_fixture.h"
#include "platform/ui/dialog_model.h"

namespace {

namespace ui = t4::platform::ui;

constexpr int LIST = 2102;
constexpr int NAME = 2104;

class FileDialogTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    dir.WriteFile("data/stg4/a.stg4_902", "x");
    dir.WriteFile("data/stg4/b.stg4_902", "x");
    dir.WriteFile("data/stg4/notes.txt", "x");
    dir.WriteFile("data/stg4/more/c.stg4_902", "x");
    dir.WriteFile("user_data/rpl4/old.rpl4_902", "x");
  }
  // The dialog of a request; the chosen path or what the caller's string holds afterwards.
  int Run(int mode, std::string& path) {
    cFileDialog dialog(&path, mode);
    return dialog.DoModal(0);
  }
};

TEST_F(FileDialogTest, AStageFileIsChosenWithTheKeyboard) {
  // The list: [..], [more], a, b (the text file is not offered).
  host.Key(VK_DOWN);
  host.Key(VK_DOWN);
  host.Key(VK_DOWN);
  host.Key(VK_DOWN);
  host.Key(VK_RETURN);
  std::string path;
  EXPECT_EQ(Run(FILE_MODE_LOAD_STAGE, path), 1);
  EXPECT_EQ(path, "data\\stg4\\b.stg4_902");
  const ui::DialogSnapshot& s = host.Seen().at(0);
  EXPECT_EQ(s.caption, "ステージファイルの読み込み");
  EXPECT_EQ(s.Find(LIST)->items, (std::vector<std::string>{"[..]", "[more]", "a.stg4_902", "b.stg4_902"}));
  EXPECT_EQ(s.focus, LIST);
}

TEST_F(FileDialogTest, FoldersOpenFromTheList) {
  host.Key(VK_DOWN);
  host.Key(VK_DOWN);
  host.Key(VK_RETURN);  // into [more]
  host.Key(VK_DOWN);
  host.Key(VK_DOWN);
  host.Key(VK_RETURN);  // its file
  std::string path;
  EXPECT_EQ(Run(FILE_MODE_LOAD_STAGE, path), 1);
  EXPECT_EQ(path, "data\\stg4\\more\\c.stg4_902");
}

TEST_F(FileDialogTest, CancelLeavesTheStringEmptyAndEscapeDoesNothing) {
  int afterEscape = 0;
  host.Key(VK_ESCAPE);
  host.Queue([&](ui::DialogModel&) { ++afterEscape; });
  host.Click(ui::ID_CANCEL);
  std::string path = "before";
  EXPECT_EQ(Run(FILE_MODE_LOAD_STAGE, path), 0);
  EXPECT_EQ(path, "");
  EXPECT_EQ(afterEscape, 1);
}

TEST_F(FileDialogTest, AMissingFileIsNotOpened) {
  host.Key(VK_TAB);  // list -> name box
  host.Type("zz.stg4_902");
  host.Key(VK_RETURN);
  host.Click(ui::ID_CANCEL);
  std::string path;
  EXPECT_EQ(Run(FILE_MODE_LOAD_STAGE, path), 0);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_NE(boxes.Boxes()[0].text.find("zz.stg4_902"), std::string::npos);
}

TEST_F(FileDialogTest, ReplayTitlesFollowTheEnglishSwitch) {
  g_SystemIni.m_nEnglish = 1;
  host.Click(ui::ID_CANCEL);
  std::string path;
  Run(FILE_MODE_LOAD_REPLAY, path);
  g_SystemIni.m_nEnglish = 0;
  host.Click(ui::ID_CANCEL);
  Run(FILE_MODE_LOAD_REPLAY, path);
  ASSERT_EQ(host.Seen().size(), 2u);
  EXPECT_EQ(host.Seen()[0].caption, "load replay file");
  EXPECT_EQ(host.Seen()[1].caption, "リプレイファイルの読み込み");
  EXPECT_EQ(host.Seen()[1].Find(LIST)->items, (std::vector<std::string>{"[..]", "old.rpl4_902"}));
}

TEST_F(FileDialogTest, SaveProposesANewNameThatNeedNotExist) {
  host.Key(VK_RETURN);
  std::string path = "stage_20260101";
  EXPECT_EQ(Run(FILE_MODE_SAVE_REPLAY, path), 1);
  EXPECT_EQ(path, "user_data\\rpl4\\stage_20260101.rpl4_902");
  const ui::DialogSnapshot& s = host.Seen().at(0);
  EXPECT_EQ(s.caption, "リプレイファイルの保存");
  EXPECT_EQ(s.focus, NAME);
  EXPECT_EQ(s.Find(NAME)->text, "stage_20260101");
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(FileDialogTest, AProposedPathOpensItsFolderWhenItIsTheProjects) {
  char inside[MAX_PATH] = "user_data\\rpl4\\new.rpl4_902";
  ASSERT_EQ(MakeAbsolutePath(inside), 1);
  char top[MAX_PATH] = "";
  ASSERT_EQ(MakeAbsolutePath(top), 1);
  struct Case {
    std::string proposed;
    const char* shown;
    const char* saved;
  } cases[] = {
      {inside, "new.rpl4_902", "user_data\\rpl4\\new.rpl4_902"},
      {"data\\stg4\\mine", "mine", "data\\stg4\\mine.rpl4_902"},
      // Outside the project, or a folder it does not have: only the name is taken.
      {"\\nowhere\\else\\far.rpl4_902", "far.rpl4_902", "user_data\\rpl4\\far.rpl4_902"},
      {"data\\none\\x.rpl4_902", "x.rpl4_902", "user_data\\rpl4\\x.rpl4_902"},
      {"data\\..\\..\\up.rpl4_902", "up.rpl4_902", "user_data\\rpl4\\up.rpl4_902"},
  };
  for (const Case& c : cases) {
    host.Key(VK_RETURN);
    std::string path = c.proposed;
    EXPECT_EQ(Run(FILE_MODE_SAVE_REPLAY, path), 1) << c.proposed;
    EXPECT_EQ(path, c.saved) << c.proposed;
    EXPECT_EQ(host.Seen().back().Find(NAME)->text, c.shown) << c.proposed;
  }
  EXPECT_TRUE(boxes.Boxes().empty());
  // The project folder itself: the browser opens at its top with no name.
  host.Click(ui::ID_CANCEL);
  std::string path = top;
  EXPECT_EQ(Run(FILE_MODE_SAVE_REPLAY, path), 0);
  EXPECT_EQ(host.Seen().back().Find(NAME)->text, "");
  EXPECT_EQ(host.Seen().back().Find(LIST)->items, (std::vector<std::string>{"[data]", "[user_data]"}));
}

TEST_F(FileDialogTest, TheReplayNameTheGameProposesIsSavedAsOffered) {
  SYSTEMTIME time{};
  time.wYear = 2026;
  time.wMonth = 12;
  time.wDay = 10;
  time.wHour = 21;
  time.wMinute = 5;
  std::string proposed;
  ASSERT_EQ(MakeReplayNameAt(proposed, "data\\stg4\\a.stg4_902", time), 1);
  host.Key(VK_RETURN);
  std::string path;
  EXPECT_TRUE(RunFileDialog(FILE_MODE_SAVE_REPLAY, proposed, path));
  EXPECT_EQ(path, "user_data\\rpl4\\a__2026__12_10__21_05.rpl4_902");
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(FileDialogTest, CancellingASaveKeepsTheProposedName) {
  host.Click(ui::ID_CANCEL);
  std::string path = "proposed";
  EXPECT_EQ(Run(FILE_MODE_SAVE_REPLAY, path), 0);
  EXPECT_EQ(path, "proposed");
}

TEST_F(FileDialogTest, ReplacingAFileIsAskedFirst) {
  boxes.QueueAnswer(IDNO);
  boxes.QueueAnswer(IDYES);
  host.Key(VK_RETURN);  // asked, No: stays open
  host.Key(VK_RETURN);  // asked, Yes
  std::string path = "old";
  EXPECT_EQ(Run(FILE_MODE_SAVE_REPLAY, path), 1);
  EXPECT_EQ(path, "user_data\\rpl4\\old.rpl4_902");
  ASSERT_EQ(boxes.Boxes().size(), 2u);
  EXPECT_EQ(boxes.Boxes()[0].type, MB_YESNO);
  EXPECT_NE(boxes.Boxes()[0].text.find("上書き"), std::string::npos);
}

TEST_F(FileDialogTest, ATypedNameCannotLeaveItsFolder) {
  host.Type("..\\..\\escape");
  host.Key(VK_RETURN);
  host.Click(ui::ID_CANCEL);
  std::string path = "";
  EXPECT_EQ(Run(FILE_MODE_SAVE_REPLAY, path), 0);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].type, MB_OK);
}

TEST_F(FileDialogTest, TheRequestsDialogReportsThePath) {
  host.Key(VK_DOWN);
  host.Key(VK_DOWN);
  host.Key(VK_DOWN);
  host.Key(VK_RETURN);
  std::string path;
  EXPECT_TRUE(RunFileDialog(0, "", path));
  EXPECT_EQ(path, "data\\stg4\\a.stg4_902");
}

}  // namespace
