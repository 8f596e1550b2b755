#include "app/scene_title.h"

#include <algorithm>

#include "app/palette_variation.h"
#include "core/globals.h"
#include "core/message_box.h"
#include "core/report_log.h"
#include "core/sound_request.h"
#include "data/world_map.h"
#include "gfx/dd.h"
#include "gfx/font.h"
#include "gfx/frames_digits.h"
#include "gfx/image_slots.h"
#include "gfx/scene_surfaces.h"
#include "persist/project_layout.h"
#include "persist/replay.h"
#include "persist/save_data.h"
#include "persist/story_slots.h"
#include "persist/system_data.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/winapi.h"
#include "stage/input.h"
#include "stage/menu.h"
#include "stage/private_messages.h"

namespace {

constexpr int IMAGE_TITLE = 48;
constexpr int IMAGE_MENU_ITEMS = 49;
constexpr int TITLE_IMAGES[] = {IMAGE_TITLE, IMAGE_MENU_ITEMS, 50, IMAGE_WINDOW};
constexpr int TITLE_STATE_MENU = 1;
constexpr int TITLE_STATE_NEW_GAME_SLOT = 2;
constexpr int TITLE_STATE_CONTINUE_SLOT = 3;
constexpr int TITLE_STATE_FADE_OUT = 4;
constexpr int MENU_ROW_H = 32;
constexpr int SLOT_ROW_H = 16;

bool PictureMenu() { return g_SystemData.m_bPlainTitleMenu != 0; }

void SetRanking(int nMode) {
  g_Game.m_nGameMode = nMode;
  g_Game.m_bRanking = g_SystemData.m_RankingRules.At(nMode).m_bEnabled;
}

}  // namespace

cSceneTitle::~cSceneTitle() {
  ReleaseImageSlots(TITLE_IMAGES, static_cast<int>(std::size(TITLE_IMAGES)));
  DDReleaseSurfacePair(Off_Scene, g_SceneSlots);
}

void cSceneTitle::RunState() {
  switch (m_nState) {
    case 0: FadeIn(); break;
    case TITLE_STATE_MENU: Menu(); break;
    case TITLE_STATE_NEW_GAME_SLOT: NewGameSlot(); break;
    case TITLE_STATE_CONTINUE_SLOT: ContinueSlot(); break;
    case TITLE_STATE_FADE_OUT: FadeOut(); break;
    default: break;
  }
}

void cSceneTitle::Enter() {
  RequestSceneMusic(SCENE_BGM_TITLE);
  LoadSceneImages(TITLE_IMAGES, static_cast<int>(std::size(TITLE_IMAGES)));
  g_MenuCursor.Reset();
  m_nItemCount = BuildShownItems(g_SystemData.m_TitleMenu, m_Items, TITLE_ITEM_SLOTS);
  int32_t& row = g_MenuCursor.m_lpCurrent->nRow;
  if (g_bReturnToTitle) {
    row = 0;
    g_bReturnToTitle = 0;
    g_bFreeStageStart = 0;
  } else {
    // A choice that is not shown keeps its raw value: the cursor's wrap brings it back.
    row = g_Game.m_nTitleChoice;
    for (int i = 0; i < m_nItemCount; ++i)
      if (m_Items[i] == g_Game.m_nTitleChoice) row = i;
  }
  m_nMenuX = PictureMenu() ? 288 - g_SurfaceTable[IMAGE_MENU_ITEMS].nWidth / 2 : 192;
  CreateMenuPicture();
  m_nStep = 0;
}

void cSceneTitle::CreateMenuPicture() {
  const int w = PictureMenu() ? g_SurfaceTable[IMAGE_MENU_ITEMS].nWidth + 32
                              : 32 * LongestShownCaption(g_SystemData.m_TitleMenu, m_Items, m_nItemCount) + 34;
  if (DDSURFACEDATA* picture = CreateScenePicture(w, MENU_ROW_H * m_nItemCount + 2, TRUE)) RenderMenuPicture(picture);
}

void cSceneTitle::RenderMenuPicture(DDSURFACEDATA* lpPicture) {
  if (PictureMenu()) {
    DDSURFACEDATA& items = g_SurfaceTable[IMAGE_MENU_ITEMS];
    DDClearPal(lpPicture, 0);
    for (int i = 0; i < m_nItemCount; ++i)
      DDBlt(lpPicture, 32, MENU_ROW_H * i, items.nWidth, MENU_ROW_H, &items, 0, m_Items[i] * MENU_ROW_H, BLT_OPAQUE);
    return;
  }
  // A new picture holds no colour yet: what the frame leaves uncovered must stay transparent.
  DDClearPal(lpPicture, 0);
  DDBltFramed(lpPicture, 1, 1, lpPicture->nWidth - 2, lpPicture->nHeight - 2, &g_SurfaceTable[IMAGE_WINDOW], 1, 240);
  for (int i = 0; i < m_nItemCount; ++i)
    g_Fonts[2].Draw(lpPicture, 32, MENU_ROW_H * i, ItemCaption(g_SystemData.m_TitleMenu, m_Items[i]));
}

void cSceneTitle::Draw() {
  DDBlt(&BackBuffer, 0, 0, 640, 480, &g_SurfaceTable[IMAGE_TITLE], 0, 0, BLT_OPAQUE);
  DrawScenePicture(m_nMenuX, MENU_Y, BLT_TRANSPARENT, [this](DDSURFACEDATA* p) { RenderMenuPicture(p); });
  AnimateMenuColors();
}

void cSceneTitle::FadeIn() {
  if (g_nBpp == 8 && !Off_Scene.empty()) RenderMenuPicture(&Off_Scene.front());
  Draw();
  if (FadeInStep()) m_nState = TITLE_STATE_MENU;
}

void cSceneTitle::Menu() {
  cInput& in = MenuInput();
  g_MenuCursor.MoveGrid(in, m_nMenuX, MENU_Y, 0, MENU_ROW_H, 1, m_nItemCount);
  PlayCursorSound(in, 2, 0);
  if (!ButtonPressed(MENU_BUTTON_1)) {
    Draw();
    DrawAccessoryCell(g_MenuCursor.m_lpCurrent->nX, g_MenuCursor.m_lpCurrent->nY, 0, 0, 32);
    return;
  }
  PlaySystemSound(1);
  const int row = std::clamp(g_MenuCursor.m_lpCurrent->nRow, 0, m_nItemCount - 1);
  const int item = m_Items[row];
  g_Game.m_nTitleChoice = item;
  switch (item) {
    case TITLE_CHOICE_NEW_GAME:
    case TITLE_CHOICE_CONTINUE:
      SetRanking(GAME_MODE_STORY);
      g_MenuCursor.Push(0);
      m_nStep = 0;
      m_nState = item == TITLE_CHOICE_NEW_GAME ? TITLE_STATE_NEW_GAME_SLOT : TITLE_STATE_CONTINUE_SLOT;
      break;
    case TITLE_CHOICE_CHALLENGE:
      SetRanking(GAME_MODE_CHALLENGE);
      if (!g_SaveData.LoadChallenge()) {
        // No record yet is the usual first visit; a record that cannot be read is told about
        // before fresh records take its place.
        if (t4::platform::FileExists(g_Paths[PATH_CHALLENGE_RECORD])) {
          WriteReportLog("%s の読み込みに失敗しました！", g_Paths[PATH_CHALLENGE_RECORD]);
          ErrorBoxf("%s の読み込みに失敗しました！", g_Paths[PATH_CHALLENGE_RECORD]);
        }
        g_SaveData.Reset(g_SystemData.m_nChallengeCount);
      }
      g_Game.m_nNextScene = SCENE_CHALLENGE;
      m_nState = TITLE_STATE_FADE_OUT;
      break;
    case TITLE_CHOICE_FREE:
      SetRanking(GAME_MODE_FREE);
      if (OpenStageDialog()) {
        g_Game.m_nNextScene = SCENE_PLAY;
        m_nState = TITLE_STATE_FADE_OUT;
      }
      break;
    case TITLE_CHOICE_REPLAY:
      SetRanking(GAME_MODE_REPLAY);
      if (OpenReplayDialog()) {
        g_Game.m_nNextScene = SCENE_PLAY;
        m_nState = TITLE_STATE_FADE_OUT;
      }
      break;
    case TITLE_CHOICE_OPTION:
      g_Game.m_nNextScene = SCENE_OPTION;
      m_nState = TITLE_STATE_FADE_OUT;
      break;
    case TITLE_CHOICE_QUIT: PostMessage(g_hWnd, WM_CLOSE, 0, 0); break;
    default: break;
  }
}

void cSceneTitle::SlotList(bool bNewGame) {
  if (m_nStep == 0) {
    if (bNewGame && !g_SystemData.m_bAskSlotAtNewGame) {
      StartNewGame();
      g_Game.m_nNextScene = SCENE_WORLDMAP;
      m_nState = TITLE_STATE_FADE_OUT;
      return;
    }
    ScanStorySlots(g_StorySlots);
    *g_MenuCursor.m_lpCurrent = MENUCURSORSTATE{};
    m_nSlotScroll = 0;
    m_nStep = 1;
  }
  cInput& in = MenuInput();
  const int count = static_cast<int>(g_StorySlots.size());
  m_nSlotRows = std::min(count, SLOT_ROWS_MAX);
  g_MenuCursor.MoveList(in, 1, m_nSlotScroll, SLOT_LIST_Y, SLOT_ROW_H, SLOT_LIST_X, m_nSlotRows, count, 1);
  PlayCursorSound(in, 3, 0);
  const int slot = g_MenuCursor.m_lpCurrent->nRow;
  if (ButtonPressed(MENU_BUTTON_1)) {
    const bool bUsed = slot >= 0 && slot < count && g_StorySlots.At(slot).m_bUsed;
    if (bNewGame == bUsed) {
      PlaySystemSound(3);
      return;
    }
    if (bNewGame) {
      PlaySystemSound(1);
      StartNewGame();
      g_SaveData.m_bAutoSave = 1;
      g_SaveData.m_nSlot = slot;
    } else if (g_SaveData.LoadSlot(slot)) {
      PlaySystemSound(1);
    } else {
      // The file went bad since the list was read: the player is told, the list shows the slot
      // as it is now, and nothing is played on the progress that was in memory.
      char path[MAX_PATH];
      GetSlotPath(path, slot);
      PlaySystemSound(3);
      WriteReportLog("%s の読み込みに失敗しました！", path);
      ErrorBoxf("%s の読み込みに失敗しました！", path);
      ScanStorySlots(g_StorySlots);
      return;
    }
    g_Game.m_nNextScene = SCENE_WORLDMAP;
    m_nState = TITLE_STATE_FADE_OUT;
    return;
  }
  if (ButtonPressed(MENU_BUTTON_2)) {
    PlaySystemSound(2);
    g_MenuCursor.Pop(1);
    m_nState = TITLE_STATE_MENU;
    m_nStep = 0;
    return;
  }
  DDBlt(&BackBuffer, 0, 0, 640, 480, &g_SurfaceTable[IMAGE_TITLE], 0, 0, BLT_OPAQUE);
  AnimateMenuColors();
  DrawStorySlots(&BackBuffer, SLOT_LIST_X, SLOT_LIST_Y, g_StorySlots, m_nSlotScroll, m_nSlotRows);
  DrawAccessoryCell(g_MenuCursor.m_lpCurrent->nX, g_MenuCursor.m_lpCurrent->nY, 64, 0, 16);
}

void cSceneTitle::FadeOut() {
  if (FadeOutStep()) LeaveScene(true);
}

void StartNewGame() {
  g_SaveData.Reset(g_SystemData.m_nChallengeCount);
  g_SaveData.m_nMapX = g_WorldMap.m_nStartX;
  g_SaveData.m_nMapY = g_WorldMap.m_nStartY;
  g_SaveData.m_nLap = 0;
  if (g_SystemData.m_InfiniteLives.At(GAME_MODE_STORY)) {
    g_SaveData.m_nLivesAtStart = LIVES_INFINITE;
    g_SaveData.m_nLives = LIVES_INFINITE;
  } else {
    g_SaveData.m_nLivesAtStart = g_SystemData.m_InitialLives.At(GAME_MODE_STORY);
    g_SaveData.m_nLives = g_SaveData.m_nLivesAtStart - 1;
  }
}

bool OpenStageDialog() {
  g_bFileRequestDone = 0;
  SendMessage(g_hWnd, WM_USER_LOAD_STAGE, 0, 0);
  // A send refused during shutdown never completes: the wait ends then too.
  while (!g_bFileRequestDone && !t4::platform::IsShuttingDown()) Sleep(1);
  return g_bFileRequestOk != 0;
}
