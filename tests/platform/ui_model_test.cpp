#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/ui/dialog_model.h"
#include "platform/window/input_devices.h"

namespace t4::platform::ui {
namespace {

// A dialog with every kind of control: a default and a plain button, a radio pair, a check box,
// an edit box and a list, in that order.
DialogTemplate Sample() {
  DialogTemplate t;
  t.resourceId = 1;
  t.hasCaption = true;
  t.width = 200;
  t.height = 160;
  t.controls = {
      {10, ControlKind::Static, "label", {5, 5, 50, 10}},    {1000, ControlKind::DefButton, "Start", {10, 20, 40, 14}},
      {1001, ControlKind::Button, "Stop", {60, 20, 40, 14}}, {1002, ControlKind::Radio, "A", {10, 40, 40, 10}},
      {1003, ControlKind::Radio, "B", {60, 40, 40, 10}},     {1004, ControlKind::Check, "C", {10, 55, 60, 10}},
      {1005, ControlKind::Edit, "", {10, 70, 80, 14}},       {1006, ControlKind::List, "", {10, 90, 100, 52}},
  };
  return t;
}

class UiModel : public ::testing::Test {
 protected:
  UiModel() : model(Sample(), BaseUnits{4, 8}) {
    model.OnCommand([this](int id, int code) { commands.emplace_back(id, code); });
    model.OnClose([this] { ++closes; });
  }
  void Press(int vk, bool shift = false) { model.Key(vk, true, shift); }
  std::vector<std::pair<int, int>> Take() { return std::exchange(commands, {}); }

  DialogModel model;
  std::vector<std::pair<int, int>> commands;
  int closes = 0;
};

TEST_F(UiModel, TabVisitsEachStopOnceAndARadioGroupAtItsCheckedButton) {
  model.SetCheck(1003, true);
  model.EnsureFocus();
  std::vector<int> order{model.Focus()};
  for (int i = 0; i < 6; ++i) {
    Press(VK_TAB);
    order.push_back(model.Focus());
  }
  EXPECT_EQ(order, (std::vector<int>{1000, 1001, 1003, 1004, 1005, 1006, 1000}));
  Press(VK_TAB, true);
  EXPECT_EQ(model.Focus(), 1006);
  // Leaving the edit box tells it so.
  model.SetFocus(1005);
  Take();
  Press(VK_TAB);
  EXPECT_EQ(Take(), (std::vector<std::pair<int, int>>{{1005, EN_KILLFOCUS}}));
}

TEST_F(UiModel, EnterPressesTheDefaultOrTheFocusedButtonAndEscapeCancels) {
  model.SetFocus(1005);
  Take();
  Press(VK_RETURN);
  EXPECT_EQ(Take(), (std::vector<std::pair<int, int>>{{1000, BN_CLICKED}}));
  model.SetFocus(1001);
  EXPECT_EQ(Take(), (std::vector<std::pair<int, int>>{{1005, EN_KILLFOCUS}}));
  Press(VK_RETURN);
  Press(VK_ESCAPE);
  EXPECT_EQ(Take(), (std::vector<std::pair<int, int>>{{1001, BN_CLICKED}, {ID_CANCEL, BN_CLICKED}}));
  // A disabled default button is not pressed.
  model.Enable(1000, false);
  model.SetFocus(1004);
  Press(VK_RETURN);
  EXPECT_TRUE(Take().empty());
}

TEST_F(UiModel, RadioAndCheckBoxesFollowArrowsSpaceAndClicks) {
  model.SetCheck(1002, true);
  model.SetFocus(1002);
  Press(VK_RIGHT);
  EXPECT_FALSE(model.IsChecked(1002));
  EXPECT_TRUE(model.IsChecked(1003));
  EXPECT_EQ(model.Focus(), 1003);
  Press(VK_RIGHT);  // wraps within the group
  EXPECT_TRUE(model.IsChecked(1002));
  model.SetFocus(1004);
  Press(VK_SPACE);
  EXPECT_TRUE(model.IsChecked(1004));
  // A click on the other radio button, inside the frame, caption and border.
  const Rect w = model.WindowRect();
  const ControlState* b = model.Find(1003);
  model.MouseDown(w.x + DIALOG_BORDER + b->rect.x + 2, w.y + DIALOG_BORDER + DIALOG_CAPTION + b->rect.y + 2, false);
  EXPECT_TRUE(model.IsChecked(1003));
  EXPECT_FALSE(model.IsChecked(1002));
  EXPECT_EQ(model.Focus(), 1003);
  // The joystick's first button toggles a focused check box, its directions move the focus.
  model.SetFocus(1004);
  model.JoyButton(0);
  EXPECT_FALSE(model.IsChecked(1004));
  model.JoyDirection(0, 1);
  EXPECT_EQ(model.Focus(), 1005);
  model.JoyDirection(0, -1);
  EXPECT_EQ(model.Focus(), 1004);
}

TEST_F(UiModel, EditTypingReplacesTheSelectionAndStepsOverDoubleByteCharacters) {
  model.SetText(1005, "old");
  model.SetFocus(1005);  // focusing selects the whole text
  Take();
  model.TypeText("あ1\r\n");  // line breaks do not enter a one-line box
  EXPECT_EQ(model.Text(1005), "あ1");
  EXPECT_EQ(Take(), (std::vector<std::pair<int, int>>{{1005, EN_UPDATE}}));
  size_t s = 0;
  size_t e = 0;
  model.GetSel(1005, s, e);
  EXPECT_EQ(e, 3u);
  Press(VK_LEFT);
  Press(VK_LEFT);
  model.GetSel(1005, s, e);
  EXPECT_EQ(e, 0u);
  Press(VK_RIGHT);
  Press(VK_BACK);  // removes both bytes of the double-byte character
  EXPECT_EQ(model.Text(1005), "1");
  Press(VK_DELETE);
  EXPECT_EQ(model.Text(1005), "");
  Press(VK_BACK);  // nothing left: no change, no notification
  EXPECT_EQ(Take(), (std::vector<std::pair<int, int>>{{1005, EN_UPDATE}, {1005, EN_UPDATE}}));
}

TEST_F(UiModel, AnOpenCompositionTakesEnterAndEscape) {
  model.SetFocus(1005);
  Take();
  model.SetComposition("かな");
  Press(VK_ESCAPE);  // drops the composition; the dialog is not cancelled
  EXPECT_FALSE(model.IsComposing());
  EXPECT_TRUE(Take().empty());
  model.SetComposition("漢字");
  Press(VK_RETURN);  // confirms it into the box; the default button is not pressed
  EXPECT_EQ(model.Text(1005), "漢字");
  EXPECT_EQ(Take(), (std::vector<std::pair<int, int>>{{1005, EN_UPDATE}}));
  Press(VK_RETURN);
  EXPECT_EQ(Take(), (std::vector<std::pair<int, int>>{{1000, BN_CLICKED}}));
}

TEST_F(UiModel, AKeyFilterSeesKeysFirstAndMaySwallowThem) {
  std::vector<std::pair<int, bool>> seen;
  model.SetKeyFilter([&](int vk, bool down) {
    seen.emplace_back(vk, down);
    return vk == VK_ESCAPE;
  });
  Press(VK_ESCAPE);
  model.Key(VK_ESCAPE, false);
  EXPECT_TRUE(Take().empty());
  Press(VK_RETURN);
  EXPECT_EQ(Take().size(), 1u);
  EXPECT_EQ(seen, (std::vector<std::pair<int, bool>>{{VK_ESCAPE, true}, {VK_ESCAPE, false}, {VK_RETURN, true}}));
  model.RequestClose();
  EXPECT_EQ(closes, 1);
}

TEST_F(UiModel, ListSelectionMovesByKeysAndClicksAndScrollsIntoView) {
  model.SetItems(1006, {"a", "b", "c", "d", "e", "f", "g", "h"});
  model.SetFocus(1006);
  Take();
  Press(VK_DOWN);
  Press(VK_DOWN);
  EXPECT_EQ(model.CurSel(1006), 1);
  Press(VK_UP);
  Press(VK_UP);  // stays at the top: one change only
  EXPECT_EQ(Take(),
            (std::vector<std::pair<int, int>>{{1006, LBN_SELCHANGE}, {1006, LBN_SELCHANGE}, {1006, LBN_SELCHANGE}}));
  Press(VK_END);
  EXPECT_EQ(model.CurSel(1006), 7);
  // 52 dialog units at 8 per 8 are 52 pixels: (52 - 4) / 10-pixel lines = 4 rows, so row 7 is
  // shown with row 4 at the top.
  EXPECT_EQ(model.Find(1006)->topItem, 4);
  Take();
  const Rect w = model.WindowRect();
  const ControlState* list = model.Find(1006);
  const int top = w.y + DIALOG_BORDER + DIALOG_CAPTION + list->rect.y + 2;
  model.MouseDown(w.x + DIALOG_BORDER + list->rect.x + 5, top + model.LineHeight() + 1, true);
  EXPECT_EQ(model.CurSel(1006), 5);
  EXPECT_EQ(Take(), (std::vector<std::pair<int, int>>{{1006, LBN_SELCHANGE}, {1006, LBN_DBLCLK}}));
}

TEST_F(UiModel, AWindowThatWouldLeaveTheFrameIsPulledBackIntoIt) {
  const Rect size = model.WindowRect();
  model.MoveTo(600, -30);
  model.KeepInside(640, 480);
  EXPECT_EQ(model.WindowRect().x, 640 - size.w);
  EXPECT_EQ(model.WindowRect().y, 0);
}

}  // namespace
}  // namespace t4::platform::ui
