// What the five menu scenes share: the update body (key repeat, one-shot buttons, enter, the
// handler of the state), the fade steps, the shown-item list of a menu and the button tests.
#pragma once

#include <cstdint>
#include <functional>

#include "core/safe_containers.h"
#include "persist/menu_command.h"
#include "stage/game.h"

class cInput;

// Button bits of player 0's button word.
constexpr int16_t MENU_BUTTON_1 = 1;
constexpr int16_t MENU_BUTTON_2 = 2;
constexpr int16_t MENU_BUTTON_3 = 4;
constexpr int16_t MENU_BUTTON_4 = 8;

// Title choices beyond those the play scene tells apart.
constexpr int32_t TITLE_CHOICE_NEW_GAME = 0;
constexpr int32_t TITLE_CHOICE_CONTINUE = 1;
constexpr int32_t TITLE_CHOICE_CHALLENGE = 2;
constexpr int32_t TITLE_CHOICE_OPTION = 5;
constexpr int32_t TITLE_CHOICE_QUIT = 6;

// Rows of the story slot lists.
constexpr int SLOT_ROWS_MAX = 10;
// The system text that labels a total score.
constexpr int TEXT_TOTAL = 4;

class cMenuScene : public cScene {
 public:
  void Update() override;

 protected:
  // `nButtonMask`: the buttons the scene latches (3: buttons 1 and 2, 15: buttons 1 to 4).
  cMenuScene(int nType, int nButtonMask) : m_nType(nType), m_nButtonMask(nButtonMask) {}
  // The handler of the current state (state 0 is the fade-in).
  virtual void RunState() = 0;

  // One fade step; true when the fade has ended.
  static bool FadeInStep();
  static bool FadeOutStep();
  // The end of every fade-out: a cleared screen, the next scene made current.
  void LeaveScene(bool bResetCursor);

  const int32_t m_nType;
  const int32_t m_nButtonMask;
};

// Player 0, whose input every menu reads.
cInput& MenuInput();
bool ButtonPressed(int16_t nButton);

// The indices of the enabled entries of `menu`, in menu order, into `lpItems`; only indices below
// `nSlots` enter (an entry beyond the scene's own items has no action). When none enters, the list
// is the single index 0. Returns the count (at least 1).
int BuildShownItems(const cSafeVector<cCmd>& menu, int32_t* lpItems, int nSlots);
// Longest caption, in characters, among the shown items.
int LongestShownCaption(const cSafeVector<cCmd>& menu, const int32_t* lpItems, int nCount);
// The caption of an item index, or "" for an index the menu does not hold.
const char* ItemCaption(const cSafeVector<cCmd>& menu, int nIndex);

// Releases the fixed image slots a scene loaded.
void ReleaseImageSlots(const int* lpIndexes, int nCount);
// Loads the fixed image slots a scene draws with; a failure asks the main window to close.
void LoadSceneImages(const int* lpIndexes, int nCount);
// Asks for the music of a scene slot (System.dat's piece and loop flag of that slot).
void RequestSceneMusic(int nSlot);
// The scene's own picture (the single Off_Scene surface), made anew; null after a failure, which
// asks the main window to close.
DDSURFACEDATA* CreateScenePicture(int nWidth, int nHeight, BOOL bColorKey);
// Copies the scene picture to the back buffer at (x, y), rendered again first when it was lost.
void DrawScenePicture(int x, int y, int nFlags, const std::function<void(DDSURFACEDATA*)>& render);
// Writes the progress to story slot `slot`. A write that fails is told to the player with an
// error box; the old file and the slot list stay as they were. True when the slot was written.
bool SaveStorySlot(int slot);
// Draws a 32 x 32 or 16 x 16 cell of the accessory picture at a cursor position.
void DrawAccessoryCell(int x, int y, int sx, int sy, int nSize);
