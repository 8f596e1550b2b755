// A message window: a text rendered once into a surface of its own (or a small rising picture)
// shown over the stage, placed on the screen, over a character or at a stage point, timed or
// shown until its command takes it away. The play scene keeps its windows in a list and draws
// them every frame.
#pragma once

#include <cstdint>
#include <string>

#include "core/safe_containers.h"
#include "gfx/dd_types.h"

// Kinds of window.
constexpr int32_t MSGWIN_NONE = 0;  // shows nothing (the game wait's timer)
constexpr int32_t MSGWIN_TEXT = 1;
constexpr int32_t MSGWIN_GRAPHIC = 2;  // a taken item's picture
constexpr int32_t MSGWIN_ICON = 3;     // the extra-life icon

// Duration modes.
constexpr int32_t MSGWIN_UNTIL_KEY = 0;
constexpr int32_t MSGWIN_UNTIL_END = 1;
constexpr int32_t MSGWIN_TIMED = 2;

// Highest placement; the larger values keep the window where it was.
constexpr int32_t MSGWIN_PLACEMENT_LAST = 10;

// What a window is set up with, in the order of cMessageWindow::Set.
struct MSGWINDOWPARAM {
  int32_t nKind = MSGWIN_NONE;
  const char* lpText = nullptr;  // null: keep the window's text
  int32_t nGraphicKind = 0;
  int32_t nGraphicNo = 0;
  int32_t nGraphicFrame = 0;
  int32_t nPlacement = 0;
  int32_t nUnit = 0;
  int32_t nX = 0;
  int32_t nY = 0;
  int32_t nOffsetX = 0;
  int32_t nOffsetY = 0;
  int32_t bKeepInside = 0;
  int32_t bFixed = 0;
  int32_t nDuration = 0;
  int32_t nFrames = 0;
  int32_t bCountFrozen = 0;
  int32_t nCharaId = 0;
  int32_t bNoAnimation = 0;
  int32_t bVariables = 0;
  int32_t bRefresh = 0;
  int32_t nRefreshPeriod = 0;
  int32_t bBox = 0;
  int32_t bHasId = 0;
  int32_t nMsgId = 0;
};

class cMessageWindow {
 public:
  cMessageWindow() = default;
  explicit cMessageWindow(const MSGWINDOWPARAM& p) { Set(p, 0); }

  // (Re)initialises the window; a text window renders its text into a new surface at the end of
  // the message-surface list, or with `bKeepSurface` into the one it has.
  void Set(const MSGWINDOWPARAM& p, int bKeepSurface);
  // Set keeping the surface: the message command replaces a window's text in place.
  void Reset(const MSGWINDOWPARAM& p) { Set(p, 1); }

  // Expands "#C" / "#S" references of `text` in place.
  static void InsertVariables(std::string& text);
  // Size of a window showing `text` in the message font: its extent and a one-dot border.
  static void MeasureText(int& width, int& height, const std::string& text);

  // Creates the text surface at the end of the message-surface list; false when it cannot be made
  // (the program is then closed).
  bool LoadImage();
  void RenderText();
  // One frame of the window; 1 when it has ended (its surface is then already released).
  int Draw(DDSURFACEDATA* dst, int frozen);
  // Releases the text surface and forgets it.
  void ReleaseSurface();

  DDSURFACEDATA* m_lpSurface = nullptr;
  int32_t m_nKind = MSGWIN_NONE;
  std::string m_strText;
  std::string m_strTemplate;
  int32_t m_nGraphicKind = 0;
  int32_t m_nGraphicNo = 0;
  int32_t m_nGraphicFrame = 0;
  int32_t m_bVariables = 0;
  int32_t m_bRefresh = 0;
  int32_t m_nRefreshPeriod = 0;
  int32_t m_bBox = 0;
  int32_t m_nPlacement = 0;
  int32_t m_nUnit = 0;
  int32_t m_nPosX = 0;
  int32_t m_nPosY = 0;
  int32_t m_nOffsetX = 0;
  int32_t m_nOffsetY = 0;
  int32_t m_nWidth = 0;
  int32_t m_nHeight = 0;
  int32_t m_bKeepInside = 0;
  int32_t m_nDuration = 0;
  int32_t m_bFixed = 0;
  int32_t m_bLatched = 0;
  int32_t m_nLatchedX = 0;
  int32_t m_nLatchedY = 0;
  int32_t m_bHasId = 0;
  int32_t m_nMsgId = 0;
  int32_t m_nCharaId = 0;
  int32_t m_nRemaining = 0;
  int32_t m_bCountFrozen = 0;
  int32_t m_bAppear = 0;
  double m_dAppear = 0.0;
  // Where the window was drawn last: kept when its placement gives no new position.
  int32_t m_nX = 0;
  int32_t m_nY = 0;
  // Identity within the scene's list, so a window is found again after others came and went.
  uint32_t m_nSerial = 0;

 private:
  // The screen position of this frame; false when the window's character has gone.
  bool Place(int& x, int& y);
  void Refresh();
  // Makes the text surface again at its place in the list, at the window's size.
  bool RecreateSurface();
};

// The play scene's windows.
using MSGWINDOWLIST = cSafeList<cMessageWindow>;

// Appends a window to `list` and gives it a serial of its own; returns it.
cMessageWindow& AddMessageWindow(MSGWINDOWLIST& list, const MSGWINDOWPARAM& p);
// The same, before `at`.
cMessageWindow& InsertMessageWindow(MSGWINDOWLIST& list, MSGWINDOWLIST::iterator at, const MSGWINDOWPARAM& p);
// The window with `serial`, or the list's end.
MSGWINDOWLIST::iterator FindMessageWindow(MSGWINDOWLIST& list, uint32_t serial);
// Removes the window with `serial` (its text surface released); false when it is no longer there.
bool RemoveMessageWindow(MSGWINDOWLIST& list, uint32_t serial);
// Removes every window and releases the message surfaces.
void ClearMessageWindows(MSGWINDOWLIST& list);
// Draws every window; one that reports its end leaves the list.
void DrawMessageWindows(MSGWINDOWLIST& list, DDSURFACEDATA* dst, int frozen);
