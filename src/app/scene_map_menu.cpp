#include "app/scene_map_menu.h"

#include <algorithm>

#include "app/palette_variation.h"
#include "core/globals.h"
#include "core/sjis_text.h"
#include "core/sound_request.h"
#include "gfx/dd.h"
#include "gfx/font.h"
#include "gfx/frames_digits.h"
#include "gfx/image_slots.h"
#include "persist/ranking.h"
#include "persist/save_data.h"
#include "persist/story_slots.h"
#include "persist/system_data.h"
#include "stage/input.h"
#include "stage/menu.h"

namespace {

constexpr int MAP_MENU_IMAGES[] = {IMAGE_WINDOW, 50};
constexpr int MAP_MENU_STATE_MENU = 1;
constexpr int MAP_MENU_STATE_SAVE_SLOT = 2;
constexpr int MAP_MENU_STATE_AUTO_SAVE = 3;
constexpr int MAP_MENU_STATE_BACK = 4;
constexpr int MAP_MENU_STATE_TO_TITLE = 5;
constexpr int MAP_MENU_STATE_FADE_OUT = 6;
constexpr int MAP_MENU_X = 264;
constexpr int MAP_MENU_Y = 192;
constexpr int MAP_MENU_ROW_H = 16;
constexpr int TOTAL_Y = 260;
constexpr int SLOT_LIST_X = 152;
constexpr int SLOT_LIST_Y = 160;
constexpr int SAVE_CONFIRM_Y = 400;
constexpr int AUTO_SAVE_Y = 224;
constexpr int NO_SLOT_Y = 232;
constexpr int TO_TITLE_Y = 224;
constexpr int TEXT_SAVE = 12;
constexpr int TEXT_AUTO_SAVE = 14;
constexpr int TEXT_NO_SLOT = 16;
constexpr int TEXT_TO_TITLE = 17;

// A two-choice question (texts first and first + 1) at y; the cursor's row is the answer.
int ChoiceX(int nFirst) { return g_SystemData.GetTextListX(320, nFirst, 2, true); }

void MoveChoice(int nFirst, int y) {
  cInput& in = MenuInput();
  g_MenuCursor.MoveGrid(in, ChoiceX(nFirst), y, 0, MAP_MENU_ROW_H, 1, 2);
  PlayCursorSound(in, 2, 0);
}

void DrawChoice(int nFirst, int y) {
  DDClearPal(&BackBuffer, EMPTY_PALETTE_ENTRY);
  DrawTextList(ChoiceX(nFirst), y, nFirst, 2, true);
}

void ZeroCursor() { *g_MenuCursor.m_lpCurrent = MENUCURSORSTATE{}; }

}  // namespace

cSceneMapMenu::~cSceneMapMenu() { ReleaseImageSlots(MAP_MENU_IMAGES, static_cast<int>(std::size(MAP_MENU_IMAGES))); }

void cSceneMapMenu::RunState() {
  switch (m_nState) {
    case 0: FadeIn(); break;
    case MAP_MENU_STATE_MENU: Menu(); break;
    case MAP_MENU_STATE_SAVE_SLOT: SaveSlot(); break;
    case MAP_MENU_STATE_AUTO_SAVE: AutoSave(); break;
    case MAP_MENU_STATE_BACK: Back(); break;
    case MAP_MENU_STATE_TO_TITLE: ToTitle(); break;
    case MAP_MENU_STATE_FADE_OUT: FadeOut(); break;
    default: break;
  }
}

void cSceneMapMenu::Enter() {
  RequestSceneMusic(SCENE_BGM_WORLD_MAP);
  LoadSceneImages(MAP_MENU_IMAGES, static_cast<int>(std::size(MAP_MENU_IMAGES)));
  m_nItemCount = BuildShownItems(g_SystemData.m_MapMenu, m_Items, MAP_MENU_ITEM_SLOTS);
  g_MenuCursor.Reset();
}

void cSceneMapMenu::Draw() {
  DDClearPal(&BackBuffer, EMPTY_PALETTE_ENTRY);
  const int longest = LongestShownCaption(g_SystemData.m_MapMenu, m_Items, m_nItemCount);
  DDBltFramed(&BackBuffer, MAP_MENU_X, MAP_MENU_Y, 16 * (longest + 1), MAP_MENU_ROW_H * m_nItemCount,
              &g_SurfaceTable[IMAGE_WINDOW], 1, 240);
  for (int i = 0; i < m_nItemCount; ++i)
    g_Fonts[1].Draw(&BackBuffer, MAP_MENU_X + 16, MAP_MENU_Y + MAP_MENU_ROW_H * i,
                    ItemCaption(g_SystemData.m_MapMenu, m_Items[i]));
  const int total = g_SaveData.m_nWorldTotal;
  if (g_SystemData.m_bMenuShowsTotal && total > 0) {
    const std::string& label = g_SystemData.m_Texts.At(TEXT_TOTAL);
    const int w = 16 * (CountChars(label.c_str()) + GetDigitCount(total));
    const int x = 320 - w / 2;
    g_Fonts[1].DrawBox(&BackBuffer, x, TOTAL_Y, w, 16);
    g_Fonts[1].DrawF(&BackBuffer, x, TOTAL_Y, "%s%d", label.c_str(), total);
  }
  AnimateMenuColors();
}

void cSceneMapMenu::FadeIn() {
  Draw();
  DrawAccessoryCell(MAP_MENU_X, MAP_MENU_Y, 64, 0, 16);
  if (FadeInStep()) m_nState = MAP_MENU_STATE_MENU;
}

void cSceneMapMenu::Menu() {
  cInput& in = MenuInput();
  g_MenuCursor.MoveGrid(in, MAP_MENU_X, MAP_MENU_Y, 0, MAP_MENU_ROW_H, 1, m_nItemCount);
  PlayCursorSound(in, 2, 0);
  if (ButtonPressed(MENU_BUTTON_1)) {
    PlaySystemSound(1);
    m_nState = m_Items[std::clamp(g_MenuCursor.m_lpCurrent->nRow, 0, m_nItemCount - 1)] + MAP_MENU_STATE_SAVE_SLOT;
    g_MenuCursor.Push(0);
    return;
  }
  if (ButtonPressed(MENU_BUTTON_2)) {
    PlaySystemSound(2);
    m_nState = MAP_MENU_STATE_BACK;
    return;
  }
  Draw();
  DrawAccessoryCell(g_MenuCursor.m_lpCurrent->nX, g_MenuCursor.m_lpCurrent->nY, 64, 0, 16);
}

void cSceneMapMenu::ReturnToMenu() {
  g_MenuCursor.Pop(1);
  m_nStep = 0;
  m_nState = MAP_MENU_STATE_MENU;
}

void cSceneMapMenu::DrawSlotList() {
  DDClearPal(&BackBuffer, EMPTY_PALETTE_ENTRY);
  DrawStorySlots(&BackBuffer, SLOT_LIST_X, SLOT_LIST_Y, g_StorySlots, m_nSlotScroll, m_nSlotRows);
}

void cSceneMapMenu::SaveSlot() {
  const int count = static_cast<int>(g_StorySlots.size());
  if (m_nStep == 0) {
    ZeroCursor();
    g_MenuCursor.m_lpCurrent->nRow = std::max(g_SaveData.m_nSlot, 0);
    m_nStep = 1;
    ScanStorySlots(g_StorySlots);
    m_nSlotRows = std::min(static_cast<int>(g_StorySlots.size()), SLOT_ROWS_MAX);
    m_nSlotScroll = g_MenuCursor.m_lpCurrent->nRow;
  }
  if (m_nStep == 1) {
    cInput& in = MenuInput();
    g_MenuCursor.MoveList(in, 1, m_nSlotScroll, SLOT_LIST_Y, MAP_MENU_ROW_H, SLOT_LIST_X, m_nSlotRows,
                          static_cast<int>(g_StorySlots.size()), 1);
    PlayCursorSound(in, 3, 0);
    if (ButtonPressed(MENU_BUTTON_1)) {
      PlaySystemSound(1);
      g_MenuCursor.Push(0);
      m_nStep = 2;
      g_MenuCursor.m_lpCurrent->nRow = 1;
    } else if (ButtonPressed(MENU_BUTTON_2)) {
      PlaySystemSound(2);
      ReturnToMenu();
    } else {
      DrawSlotList();
      DrawAccessoryCell(g_MenuCursor.m_lpCurrent->nX, g_MenuCursor.m_lpCurrent->nY, 64, 0, 16);
    }
    return;
  }
  MoveChoice(TEXT_SAVE, SAVE_CONFIRM_Y);
  if (ButtonPressed(MENU_BUTTON_1) || ButtonPressed(MENU_BUTTON_2)) {
    if (ButtonPressed(MENU_BUTTON_1) && g_MenuCursor.m_lpCurrent->nRow == 0) {
      const int slot = g_MenuCursor.m_lpBelow->nRow;
      const int32_t oldSlot = g_SaveData.m_nSlot;
      // The slot number is part of what is written; a slot that could not be written does not
      // become the one auto-save writes to.
      if (slot >= 0 && slot < count) g_SaveData.m_nSlot = slot;
      if (slot >= 0 && slot < count && SaveStorySlot(slot)) {
        PlaySystemSound(5);
      } else {
        g_SaveData.m_nSlot = oldSlot;
        PlaySystemSound(3);
      }
    } else {
      PlaySystemSound(ButtonPressed(MENU_BUTTON_1) ? 1 : 2);
    }
    g_MenuCursor.Pop(1);
    m_nStep = 1;
    return;
  }
  DrawSlotList();
  const int x = ChoiceX(TEXT_SAVE);
  DrawTextList(x, SAVE_CONFIRM_Y, TEXT_SAVE, 2, true);
  DrawAccessoryCell(g_MenuCursor.m_lpBelow->nX, g_MenuCursor.m_lpBelow->nY, 80, 0, 16);
  DrawAccessoryCell(g_MenuCursor.m_lpCurrent->nX, g_MenuCursor.m_lpCurrent->nY, 64, 0, 16);
}

void cSceneMapMenu::AutoSave() {
  if (m_nStep == 0) {
    ZeroCursor();
    g_MenuCursor.m_lpCurrent->nRow = g_SaveData.m_bAutoSave ? 0 : 1;
    m_nStep = g_SaveData.m_nSlot == -1 ? 2 : 1;
  }
  if (m_nStep == 2) {
    // No slot chosen yet: only the message, any button returns.
    if (ButtonPressed(MENU_BUTTON_1) || ButtonPressed(MENU_BUTTON_2)) {
      PlaySystemSound(ButtonPressed(MENU_BUTTON_1) ? 1 : 2);
      ReturnToMenu();
      return;
    }
    DDClearPal(&BackBuffer, EMPTY_PALETTE_ENTRY);
    DrawTextList(g_SystemData.GetTextListX(320, TEXT_NO_SLOT, 1, false), NO_SLOT_Y, TEXT_NO_SLOT, 1, false);
    return;
  }
  MoveChoice(TEXT_AUTO_SAVE, AUTO_SAVE_Y);
  if (ButtonPressed(MENU_BUTTON_1)) {
    PlaySystemSound(1);
    if (g_MenuCursor.m_lpCurrent->nRow == 0) {
      // The slot is written first, holding the switch as it was; it is turned on afterwards.
      SaveStorySlot(g_SaveData.m_nSlot);
      g_SaveData.m_bAutoSave = 1;
    } else {
      g_SaveData.m_bAutoSave = 0;
    }
    ReturnToMenu();
    return;
  }
  if (ButtonPressed(MENU_BUTTON_2)) {
    PlaySystemSound(2);
    ReturnToMenu();
    return;
  }
  DrawChoice(TEXT_AUTO_SAVE, AUTO_SAVE_Y);
  DrawAccessoryCell(g_MenuCursor.m_lpCurrent->nX, g_MenuCursor.m_lpCurrent->nY, 64, 0, 16);
}

void cSceneMapMenu::Back() {
  m_nStep = 0;
  g_Game.m_nNextScene = SCENE_WORLDMAP;
  m_nState = MAP_MENU_STATE_FADE_OUT;
}

void cSceneMapMenu::ToTitle() {
  if (m_nStep == 0) {
    ZeroCursor();
    g_MenuCursor.m_lpCurrent->nRow = 1;
    m_nStep = 1;
  }
  MoveChoice(TEXT_TO_TITLE, TO_TITLE_Y);
  if (ButtonPressed(MENU_BUTTON_1) && g_MenuCursor.m_lpCurrent->nRow == 0) {
    PlaySystemSound(1);
    g_Game.m_nNextScene = SCENE_TITLE;
    m_nState = MAP_MENU_STATE_FADE_OUT;
    return;
  }
  if (ButtonPressed(MENU_BUTTON_1) || ButtonPressed(MENU_BUTTON_2)) {
    PlaySystemSound(ButtonPressed(MENU_BUTTON_1) ? 1 : 2);
    ReturnToMenu();
    return;
  }
  DrawChoice(TEXT_TO_TITLE, TO_TITLE_Y);
  DrawAccessoryCell(g_MenuCursor.m_lpCurrent->nX, g_MenuCursor.m_lpCurrent->nY, 64, 0, 16);
}

void cSceneMapMenu::FadeOut() {
  if (!FadeOutStep()) return;
  // The next scene resets the cursor in its own enter step.
  LeaveScene(false);
  m_nState = -1;
}
