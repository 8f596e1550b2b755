#include "stage/menu.h"

#include <gtest/gtest.h>

#include "stage/input.h"

namespace {

cInput Dir(int16_t dir) {
  cInput in;
  in.m_sDir = dir;
  return in;
}

TEST(MenuCursor, GridWrapsFromOneEndToTheOther) {
  cMenuCursor cursor;
  cursor.MoveGrid(Dir(INPUT_UP), 100, 272, 0, 16, 1, 4);
  EXPECT_EQ(cursor.m_lpCurrent->nRow, 3);
  EXPECT_EQ(cursor.m_lpCurrent->nY, 272 + 48);
  EXPECT_EQ(cursor.m_lpCurrent->nX, 100);
  cursor.MoveGrid(Dir(INPUT_DOWN), 100, 272, 0, 16, 1, 4);
  EXPECT_EQ(cursor.m_lpCurrent->nRow, 0);
  // Left and right in a one-column menu wrap onto the same column.
  cursor.MoveGrid(Dir(INPUT_LEFT | INPUT_DOWN), 100, 272, 0, 16, 1, 4);
  EXPECT_EQ(cursor.m_lpCurrent->nColumn, 0);
  EXPECT_EQ(cursor.m_lpCurrent->nRow, 1);
  // Negative sizes leave the cursor alone.
  cursor.MoveGrid(Dir(INPUT_DOWN), 0, 0, 0, 16, 1, -1);
  EXPECT_EQ(cursor.m_lpCurrent->nRow, 1);
}

TEST(MenuCursor, PagedListOfTwentyFiveWithTenVisible) {
  struct Step {
    int16_t dir;
    int row;
    int scroll;
  } steps[] = {
      {INPUT_RIGHT, 9, 9},    // a page on from the top
      {INPUT_RIGHT, 18, 15},  // scroll 18 clamped to 15; the row moves the whole page
      {INPUT_RIGHT, 24, 15},  // at the last page the row goes to the last item
      {INPUT_UP, 23, 15},    {INPUT_LEFT, 14, 6}, {INPUT_LEFT, 5, 0},  // scroll -3 clamped to 0
      {INPUT_LEFT, 0, 0},                                              // at scroll 0 the row goes to the first item
      {INPUT_UP, 0, 0},
  };
  cMenuCursor cursor;
  int scroll = 0;
  for (const Step& s : steps) {
    cursor.MoveList(Dir(s.dir), 1, scroll, 40, 16, 200, 10, 25, 1);
    EXPECT_EQ(cursor.m_lpCurrent->nRow, s.row);
    EXPECT_EQ(scroll, s.scroll);
    EXPECT_EQ(cursor.m_lpCurrent->nY, 40 + 16 * (s.row - s.scroll));
    EXPECT_EQ(cursor.m_lpCurrent->nX, 200);
  }
  // Down from the last visible row scrolls by one.
  cursor.m_lpCurrent->nRow = 9;
  scroll = 0;
  cursor.MoveList(Dir(INPUT_DOWN), 1, scroll, 40, 16, 200, 10, 25, 1);
  EXPECT_EQ(cursor.m_lpCurrent->nRow, 10);
  EXPECT_EQ(scroll, 1);
}

TEST(MenuCursor, ShortListNeverScrolls) {
  cMenuCursor cursor;
  int scroll = 0;
  for (int16_t dir : {INPUT_DOWN, INPUT_DOWN, INPUT_DOWN, INPUT_DOWN, INPUT_RIGHT, INPUT_DOWN}) {
    cursor.MoveList(Dir(dir), 0, scroll, 10, 20, 5, 10, 3, 1);
    EXPECT_EQ(scroll, 0);
  }
  EXPECT_EQ(cursor.m_lpCurrent->nColumn, 2);
  EXPECT_EQ(cursor.m_lpCurrent->nX, 10 + 20 * 2);
  EXPECT_EQ(cursor.m_lpCurrent->nY, 5);
}

TEST(MenuCursor, PushAndPopKeepTheOuterPosition) {
  cMenuCursor cursor;
  cursor.m_lpCurrent->nRow = 2;
  cursor.Pop(0);  // one state: nothing happens
  EXPECT_EQ(cursor.m_States.size(), 1u);
  EXPECT_EQ(cursor.m_lpCurrent->nRow, 2);
  EXPECT_EQ(cursor.m_lpBelow, nullptr);
  cursor.Push(1);
  EXPECT_EQ(cursor.m_lpCurrent->nRow, 2);
  cursor.m_lpCurrent->nRow = 5;
  cursor.Push(0);
  EXPECT_EQ(cursor.m_lpCurrent->nRow, 0);
  EXPECT_EQ(cursor.m_lpBelow->nRow, 5);
  cursor.Pop(1);
  EXPECT_EQ(cursor.m_lpCurrent->nRow, 5);
  cursor.m_lpCurrent->nRow = 7;
  cursor.Pop(2);  // the revealed state takes the removed one's values
  EXPECT_EQ(cursor.m_lpCurrent->nRow, 7);
  cursor.Push(0);
  cursor.Pop(0);
  EXPECT_EQ(cursor.m_lpCurrent->nRow, 0);
  cursor.Reset();
  EXPECT_EQ(cursor.m_States.size(), 1u);
}

TEST(CmdWindow, CentresOnTheLongestEnabledCaption) {
  cSafeVector<cCmd> menu = {cCmd(1, "Quit"), cCmd(0, "Everything else"), cCmd(1, "Resume")};
  // "Resume": 6 characters and the cursor cell, 16 dots each.
  EXPECT_EQ(GetCmdWindowX(320, menu), 320 - 56);
  cSafeVector<cCmd> empty = {cCmd(1, ""), cCmd(0, "hidden")};
  EXPECT_EQ(GetCmdWindowX(320, empty), 320);
}

}  // namespace
