#include "app/menu_scene.h"

#include <algorithm>

#include "core/globals.h"
#include "core/message_box.h"
#include "core/sjis_text.h"
#include "gfx/dd.h"
#include "gfx/dd_effects.h"
#include "gfx/image_slots.h"
#include "gfx/scene_surfaces.h"
#include "persist/save_data.h"
#include "persist/story_slots.h"
#include "persist/system_data.h"
#include "stage/input.h"
#include "stage/menu.h"
#include "platform/winapi.h"

void cMenuScene::Update() {
  cInput& in = MenuInput();
  in.RepeatDir();
  in.LatchButton(m_nButtonMask);
  if (m_nState == -1) {
    Enter();
    m_nState = 0;
  }
  RunState();
}

bool cMenuScene::FadeInStep() {
  return DDFadeIn(g_PaletteWork, 0, 255, 0, 0, 0, g_Game.m_nFadeSpeed, g_Palette, false);
}

bool cMenuScene::FadeOutStep() {
  return DDFadeOut(g_PaletteWork, 0, 255, 0, 0, 0, g_Game.m_nFadeSpeed, g_Palette, false);
}

void cMenuScene::LeaveScene(bool bResetCursor) {
  DDClearPal(&BackBuffer, EMPTY_PALETTE_ENTRY);
  if (bResetCursor) g_MenuCursor.Reset();
  g_Game.m_nPrevScene = m_nType;
  g_Game.m_nScene = g_Game.m_nNextScene;
}

cInput& MenuInput() { return g_Input.At(0); }

bool ButtonPressed(int16_t nButton) { return (MenuInput().m_sButton & nButton) != 0; }

int BuildShownItems(const cSafeVector<cCmd>& menu, int32_t* lpItems, int nSlots) {
  int n = 0;
  const int size = std::min(static_cast<int>(menu.size()), nSlots);
  for (int i = 0; i < size; ++i)
    if (menu.At(i).m_bEnabled) lpItems[n++] = i;
  if (n == 0) lpItems[n++] = 0;
  return n;
}

const char* ItemCaption(const cSafeVector<cCmd>& menu, int nIndex) {
  if (nIndex < 0 || nIndex >= static_cast<int>(menu.size())) return "";
  return menu.At(nIndex).m_strCaption.c_str();
}

int LongestShownCaption(const cSafeVector<cCmd>& menu, const int32_t* lpItems, int nCount) {
  int longest = 0;
  for (int i = 0; i < nCount; ++i) longest = std::max(longest, CountChars(ItemCaption(menu, lpItems[i])));
  return longest;
}

void ReleaseImageSlots(const int* lpIndexes, int nCount) {
  for (int i = 0; i < nCount; ++i) DDReleaseSurface(&g_SurfaceTable[lpIndexes[i]]);
}

void LoadSceneImages(const int* lpIndexes, int nCount) {
  if (!DDLoadImageSlots(g_SurfaceTable, lpIndexes, nCount)) PostCloseToMainWindow();
}

void DrawAccessoryCell(int x, int y, int sx, int sy, int nSize) {
  DDBlt(&BackBuffer, x, y, nSize, nSize, &g_SurfaceTable[IMAGE_ACCESSORY], sx, sy, BLT_TRANSPARENT);
}

void RequestSceneMusic(int nSlot) {
  g_Game.RequestSceneBgm(g_SystemData.m_SceneBgm.At(nSlot), g_SystemData.m_SceneBgmLoop.At(nSlot) != 0, nSlot);
}

DDSURFACEDATA* CreateScenePicture(int nWidth, int nHeight, BOOL bColorKey) {
  DDReleaseSurfacePair(Off_Scene, g_SceneSlots);
  if (!DDAddSurface(Off_Scene, g_SceneSlots, nWidth, nHeight, bColorKey, 1, 0, nullptr)) {
    PostCloseToMainWindow();
    return nullptr;
  }
  return &Off_Scene.front();
}

void DrawScenePicture(int x, int y, int nFlags, const std::function<void(DDSURFACEDATA*)>& render) {
  if (Off_Scene.empty()) return;
  DDSURFACEDATA& picture = Off_Scene.front();
  if (picture.bLost) {
    render(&picture);
    picture.bLost = 0;
  }
  DDBlt(&BackBuffer, x, y, picture.nWidth, picture.nHeight, &picture, 0, 0, nFlags);
}

bool SaveStorySlot(int slot) {
  if (g_SaveData.SaveSlot(slot)) return true;
  // A slot number outside the list has already been reported by the save data.
  if (slot >= 0 && slot < STORY_SLOT_COUNT) {
    char path[MAX_PATH];
    GetSlotPath(path, slot);
    ErrorBoxf("%s の書き込みに失敗しました！", path);
  }
  return false;
}
