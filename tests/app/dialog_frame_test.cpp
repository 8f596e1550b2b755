// The window layer's frame arithmetic and placement, the dialog's modal run and the keyboard hook.
#include <vector>

#include "app/dialog.h"
#include "app/dialog_ctrls.h"
#include "app/dialog_resources.h"
#include "app/hook.h"
#include "dialog_fixture.h"

namespace {

namespace ui = t4::platform::ui;

TEST(WindowFrame, OuterSizeFollowsTheStyle) {
  struct Case {
    uint32_t style;
    int w;
    int h;
  } cases[] = {
      {WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 640 + 2 * SM_CXDLGFRAME,
       480 + SM_CYCAPTION + 2 * SM_CYDLGFRAME},
      {WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 640 + 2 * SM_CXFRAME, 480 + SM_CYCAPTION + 2 * SM_CYFRAME},
      {WS_POPUP, 640, 480},
      // Either bit of WS_CAPTION counts as a caption.
      {WS_POPUP | WS_DLGFRAME | WS_VSCROLL | WS_HSCROLL, 640 + 2 * SM_CXDLGFRAME + SM_CXVSCROLL,
       480 + SM_CYCAPTION + 2 * SM_CYDLGFRAME + SM_CYHSCROLL},
  };
  for (const Case& c : cases) {
    cWnd w;
    w.SetGeometry(640, 480, 100, 100, 640, 480, c.style, 0, 0, 0, 0, 0);
    EXPECT_EQ(w.m_WindowSize.w, c.w) << std::hex << c.style;
    EXPECT_EQ(w.m_WindowSize.h, c.h) << std::hex << c.style;
    MINMAXINFO mm;
    w.GetMinMaxInfo(&mm);
    EXPECT_EQ(mm.ptMaxTrackSize.x, c.w);
    EXPECT_EQ(mm.ptMinTrackSize.y, 100 + (c.h - 480));
  }
  // A size from a template is not framed at construction.
  cWnd t;
  t.m_bTemplate = 1;
  t.SetGeometry(640, 480, 0, 0, 0, 0, WS_POPUP | WS_CAPTION, 0, 0, 0, 0, 0);
  EXPECT_EQ(t.m_WindowSize.w, 0);
}

class PlacementTest : public DialogTest {};

TEST_F(PlacementTest, APlacementIsKeptInsideTheWorkArea) {
  // The headless work area is 3200 x 2400.
  struct Case {
    int x;
    int y;
    int wantX;
    int wantY;
  } cases[] = {{-20, 10, 0, 10},
               {3200 - 100, 5, 3200 - 100, 5},
               {3200 - 99, 2400 - 50, 3200 - 100, 2400 - 50},
               {5000, -1, 3200 - 100, 0}};
  for (const Case& c : cases) {
    cWnd w;
    w.SetGeometry(100, 50, 0, 0, 640, 480, WS_POPUP, 0, 0, 0, 0, 0);
    w.m_nPlaceX = c.x;
    w.m_nPlaceY = c.y;
    w.Place();
    EXPECT_EQ(w.m_nX, c.wantX) << c.x;
    EXPECT_EQ(w.m_nY, c.wantY) << c.y;
  }
  cWnd none;
  none.m_nX = 7;
  none.Place();
  EXPECT_EQ(none.m_nX, 7);
}

// A window whose command handler raises another command.
class NestingWnd : public cWnd {
 public:
  int OnCommand(WPARAM, LPARAM) override {
    ++handled;
    inner = OnMessage(nullptr, WM_COMMAND, 5, 0);
    return 0;
  }
  int handled = 0;
  int inner = -1;
};

TEST(WindowFrame, ACommandRaisedInsideACommandIsDropped) {
  NestingWnd w;
  EXPECT_EQ(w.OnMessage(nullptr, WM_COMMAND, 1, 0), 1);
  EXPECT_EQ(w.handled, 1);
  EXPECT_EQ(w.inner, 0);
  EXPECT_EQ(w.OnMessage(nullptr, WM_COMMAND, 1, 0), 1);  // the guard is cleared afterwards
  EXPECT_EQ(w.handled, 2);
}

// A name-entry description with a dialog that records the key copies it receives.
class KeyRecordingDialog : public cDialog {
 public:
  KeyRecordingDialog() { SetTemplate(IDD_NAME_ENTRY, static_cast<cWnd*>(nullptr), nullptr); }
  int OnMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_KEYDOWN) downs.push_back(static_cast<int>(wParam));
    if (msg == WM_KEYUP) ++ups;
    return cDialog::OnMessage(hWnd, msg, wParam, lParam);
  }
  int OnCommand(WPARAM wParam, LPARAM lParam) override {
    cDialog::OnCommand(wParam, lParam);
    if (LOWORD(wParam) == 1000) End(7);
    return 0;
  }
  std::vector<int> downs;
  int ups = 0;
};

class ModalTest : public DialogTest {};

TEST_F(ModalTest, TheDialogGetsACopyOfEachKeyButTab) {
  KeyRecordingDialog d;
  host.Key('A');
  host.Key(VK_LEFT);  // a special key comes through its own message
  host.Key(VK_TAB);
  host.Key(VK_F1);
  host.Click(1000);
  EXPECT_EQ(d.DoModal(0), 7);
  EXPECT_EQ(d.downs, (std::vector<int>{'A', VK_LEFT, VK_F1}));
  EXPECT_EQ(d.ups, 4);
  EXPECT_FALSE(IsKeyboardHooked());  // removed with the dialog that installed it
}

TEST_F(ModalTest, ADialogAlreadyOpenIsNotOpenedAgainAndCloseEndsWithZero) {
  KeyRecordingDialog d;
  int again = -1;
  host.Queue([&](ui::DialogModel&) { again = d.DoModal(0); });
  host.Close();
  EXPECT_EQ(d.DoModal(0), 0);
  EXPECT_EQ(again, 0);
  EXPECT_EQ(host.Seen().size(), 1u);
}

TEST_F(ModalTest, EscapeIsKeptFromWindowsThatAreNotDialogsWhileAHookIsInstalled) {
  EXPECT_FALSE(cHook::HookProc(nullptr, false, VK_ESCAPE, true));  // no hook: nothing is kept
  cHook hook;
  HWND w = t4::platform::CreateMessageWindow([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; }, nullptr);
  ASSERT_TRUE(hook.Attach(w, 0));
  EXPECT_TRUE(cHook::HookProc(nullptr, false, VK_ESCAPE, true));
  EXPECT_TRUE(cHook::HookProc(nullptr, false, VK_ESCAPE, false));
  EXPECT_FALSE(cHook::HookProc(nullptr, true, VK_ESCAPE, true));  // it cancels the composition
  EXPECT_FALSE(cHook::HookProc(nullptr, false, VK_RETURN, true));
  EXPECT_FALSE(cHook::HookProc(w, false, VK_ESCAPE, true));  // the dialog itself decides
  hook.Detach();
  UnhookKeyboard();
}

// The start-up description with its radio pair and check box bound to plain variables; OK reads
// them back.
class BoundDialog : public cDialog {
 public:
  BoundDialog() { SetTemplate(IDD_BOOT, static_cast<cWnd*>(nullptr), nullptr); }
  int OnInitDialog(WPARAM wParam, LPARAM lParam) override {
    cDialog::OnInitDialog(wParam, lParam);
    for (cCtrl* c : {static_cast<cCtrl*>(&one), static_cast<cCtrl*>(&zero), static_cast<cCtrl*>(&check)}) {
      c->Create(this, c == &one ? 1002 : c == &zero ? 1003 : 1004);
      AddCtrl(c);
    }
    UpdateCtrls();
    return 0;
  }
  int OnCommand(WPARAM wParam, LPARAM lParam) override {
    cDialog::OnCommand(wParam, lParam);
    if (LOWORD(wParam) == 1000) {
      UpdateData();
      End(1);
    }
    return 0;
  }
  int32_t value = 0;
  int32_t ticked = 0;
  cRadioCtrl one{&value, 1};
  cRadioCtrl zero{&value, 0};
  cCheckCtrl check{&ticked};
};

class BoundControlTest : public DialogTest {};

TEST_F(BoundControlTest, ARadioPairShowsItsValueAndReadsBackOnlyACheckedButton) {
  struct Case {
    int32_t value;
    int click;  // 0: none
    bool oneShown;
    bool zeroShown;
    int32_t readBack;
  } cases[] = {
      {1, 0, true, false, 1},
      {0, 0, false, true, 0},
      {1, 1003, true, false, 0},
      // A value neither button stands for shows neither, and stays when none is chosen.
      {7, 0, false, false, 7},
      {7, 1002, false, false, 1},
  };
  for (const Case& c : cases) {
    BoundDialog d;
    d.value = c.value;
    if (c.click) host.Click(c.click);
    host.Click(1000);
    EXPECT_EQ(d.DoModal(0), 1) << c.value << " " << c.click;
    const ui::DialogSnapshot& s = host.Seen().back();
    EXPECT_EQ(s.Find(1002)->checked, c.oneShown) << c.value;
    EXPECT_EQ(s.Find(1003)->checked, c.zeroShown) << c.value;
    EXPECT_EQ(d.value, c.readBack) << c.value << " " << c.click;
  }
}

TEST_F(BoundControlTest, ACheckBoxShowsAndReadsBackItsValue) {
  for (int32_t ticked : {0, 1}) {
    BoundDialog d;
    d.ticked = ticked;
    host.Click(1004);
    host.Click(1000);
    EXPECT_EQ(d.DoModal(0), 1);
    EXPECT_EQ(host.Seen().back().Find(1004)->checked, ticked != 0);
    EXPECT_EQ(d.ticked, ticked ? 0 : 1);
  }
}

class QuitQuestionTest : public DialogTest {};

TEST_F(QuitQuestionTest, AsksInTheChosenLanguageAndTakesOnlyYes) {
  struct Case {
    bool english;
    int answer;
    const char* text;
    const char* caption;
    bool quit;
  } cases[] = {
      {false, IDYES, "終了しますか？\n", "終了確認", true},
      {false, IDNO, "終了しますか？\n", "終了確認", false},
      {true, IDYES, "Would you like to quit?\n", "End confirmation", true},
      {true, IDNO, "Would you like to quit?\n", "End confirmation", false},
  };
  for (const Case& c : cases) {
    boxes.Clear();
    boxes.QueueAnswer(c.answer);
    EXPECT_EQ(ConfirmQuit(nullptr, c.english), c.quit) << c.text << c.answer;
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, c.text);
    EXPECT_EQ(boxes.Boxes()[0].caption, c.caption);
    EXPECT_EQ(boxes.Boxes()[0].type, static_cast<UINT>(MB_YESNO));
  }
}

}  // namespace
