#include "app/scene_option.h"

#include <algorithm>

#include "app/palette_variation.h"
#include "audio/bgm.h"
#include "audio/sound_effects.h"
#include "core/globals.h"
#include "core/sjis_text.h"
#include "core/sound_request.h"
#include "gfx/dd.h"
#include "gfx/font.h"
#include "gfx/image_slots.h"
#include "gfx/scene_surfaces.h"
#include "persist/project_layout.h"
#include "persist/system_data.h"
#include "persist/system_ini.h"
#include "persist/user_records.h"
#include "platform/messages.h"
#include "platform/winapi.h"
#include "stage/input.h"
#include "stage/menu.h"
#include "stage/private_messages.h"

namespace {

constexpr int OPTION_IMAGES[] = {50, IMAGE_WINDOW};
constexpr int OPTION_STATE_MENU = 1;
constexpr int OPTION_STATE_FADE_OUT = 2;
constexpr int ITEM_PALETTE = 0;
constexpr int ITEM_MUSIC = 1;
constexpr int ITEM_VOLUME = 2;
constexpr int ITEM_RANKING_MODE = 3;
constexpr int ITEM_RANKING_NAME = 4;
constexpr int ITEM_BACK = 5;
constexpr int OPTION_MENU_X = 48;
constexpr int OPTION_MENU_Y = 96;
constexpr int OPTION_ROW_H = 16;
constexpr int CAPTION_X = 64;
constexpr int VALUE_X = 208;
constexpr int VALUE_CURSOR_X = 192;

void SetAllVolumes(int nLevel) {
  const int volume = SE_VOLUME_STEPS[std::clamp(nLevel, 0, SE_VOLUME_LEVEL_COUNT - 1)];
  for (DSSOUNDDATA& sound : g_SoundList) DS_SetVolume(&sound, 0, volume, false);
}

}  // namespace

cSceneOption::~cSceneOption() {
  ReleaseImageSlots(OPTION_IMAGES, static_cast<int>(std::size(OPTION_IMAGES)));
  DDReleaseSurfacePair(Off_Scene, g_SceneSlots);
}

void cSceneOption::RunState() {
  switch (m_nState) {
    case 0: FadeIn(); break;
    case OPTION_STATE_MENU: Menu(); break;
    case OPTION_STATE_FADE_OUT: FadeOut(); break;
    default: break;
  }
}

void cSceneOption::Enter() {
  RequestSceneMusic(SCENE_BGM_OPTION);
  LoadSceneImages(OPTION_IMAGES, static_cast<int>(std::size(OPTION_IMAGES)));
  g_MenuCursor.Reset();
  m_nItemCount = BuildShownItems(g_SystemData.m_OptionMenu, m_Items, OPTION_ITEM_SLOTS);
  CreateMenuPicture();
  m_nStep = 0;
}

void cSceneOption::CreateMenuPicture() {
  if (DDSURFACEDATA* picture = CreateScenePicture(640, 480, FALSE)) RenderMenu(picture);
}

void cSceneOption::RenderAgain() {
  if (!Off_Scene.empty()) RenderMenu(&Off_Scene.front());
}

void cSceneOption::RenderMenu(DDSURFACEDATA* lpPicture) {
  g_Fonts[2].DrawBox(lpPicture, 1, 1, 638, 478);
  const char* heading = ItemCaption(g_SystemData.m_TitleMenu, TITLE_CHOICE_OPTION);
  g_Fonts[2].DrawF(lpPicture, 320 - CountChars(heading) * 32 / 2, 32, "%s", heading);
  const cOptionData& o = g_OptionData;
  for (int i = 0; i < m_nItemCount; ++i) {
    const int y = OPTION_MENU_Y + OPTION_ROW_H * i;
    g_Fonts[1].Draw(lpPicture, CAPTION_X, y, ItemCaption(g_SystemData.m_OptionMenu, m_Items[i]));
    switch (m_Items[i]) {
      case ITEM_PALETTE: g_Fonts[1].DrawF(lpPicture, VALUE_X, y, "%d", o.m_nColourVariation); break;
      case ITEM_MUSIC: g_Fonts[1].Draw(lpPicture, VALUE_X, y, o.m_bBgm ? "ON" : "OFF"); break;
      case ITEM_VOLUME: g_Fonts[1].DrawF(lpPicture, VALUE_X, y, "%d", o.m_nSoundVolume); break;
      case ITEM_RANKING_MODE:
        g_Fonts[1].Draw(lpPicture, VALUE_X, y, g_SystemData.m_RankingModeNames.At(o.m_nRankingMode).c_str());
        break;
      case ITEM_RANKING_NAME:
        // Names show as letters, as in the ranking tables, whatever the font's symbol switch.
        g_Fonts[1].Draw(lpPicture, VALUE_X, y, o.m_strFixedRankingName.c_str(), TRUE);
        break;
      default: break;
    }
  }
}

void cSceneOption::Draw() {
  DrawScenePicture(0, 0, BLT_OPAQUE, [this](DDSURFACEDATA* p) { RenderMenu(p); });
  AnimateMenuColors();
}

void cSceneOption::FadeIn() {
  if (g_nBpp == 8) RenderAgain();
  Draw();
  if (FadeInStep()) m_nState = OPTION_STATE_MENU;
}

void cSceneOption::Menu() {
  if (m_nStep == 0) {
    *g_MenuCursor.m_lpCurrent = MENUCURSORSTATE{};
    m_nStep = 1;
  }
  if (m_nStep == 1)
    ChooseItem();
  else
    EditValue();
}

void cSceneOption::ChooseItem() {
  cInput& in = MenuInput();
  g_MenuCursor.MoveGrid(in, OPTION_MENU_X, OPTION_MENU_Y, 0, OPTION_ROW_H, 1, m_nItemCount);
  PlayCursorSound(in, 2, 0);
  const MENUCURSORSTATE& cursor = *g_MenuCursor.m_lpCurrent;
  if (ButtonPressed(MENU_BUTTON_1)) {
    PlaySystemSound(1);
    m_nEditItem = m_Items[std::clamp(cursor.nRow, 0, m_nItemCount - 1)];
    cOptionData& o = g_OptionData;
    switch (m_nEditItem) {
      case ITEM_PALETTE:
      case ITEM_MUSIC:
      case ITEM_VOLUME:
      case ITEM_RANKING_MODE: {
        static const struct {
          int32_t cOptionData::*lpValue;
          int32_t nMax;
        } RANGES[] = {{&cOptionData::m_nColourVariation, cOptionData::COLOUR_VARIATION_MAX},
                      {&cOptionData::m_bBgm, 1},
                      {&cOptionData::m_nSoundVolume, cOptionData::SOUND_VOLUME_MAX},
                      {&cOptionData::m_nRankingMode, cOptionData::RANKING_MODE_MAX}};
        m_lpEditValue = &(o.*RANGES[m_nEditItem].lpValue);
        m_nEditMin = 0;
        m_nEditMax = RANGES[m_nEditItem].nMax;
        m_nEditBefore = *m_lpEditValue;
        g_MenuCursor.Push(0);
        m_nStep = 2;
        return;
      }
      case ITEM_RANKING_NAME:
        g_bNameEntryDone = 0;
        SendMessage(g_hWnd, WM_USER_NAME_ENTRY, 0, 0);
        while (!g_bNameEntryDone && !t4::platform::IsShuttingDown()) Sleep(1);
        RenderAgain();
        break;
      case ITEM_BACK:
        g_Game.m_nNextScene = SCENE_TITLE;
        m_nStep = 0;
        m_nState = OPTION_STATE_FADE_OUT;
        return;
      default: break;
    }
  } else if (ButtonPressed(MENU_BUTTON_2)) {
    PlaySystemSound(2);
    g_Game.m_nNextScene = SCENE_TITLE;
    m_nStep = 0;
    m_nState = OPTION_STATE_FADE_OUT;
    return;
  }
  Draw();
  DrawAccessoryCell(cursor.nX, cursor.nY, 64, 0, 16);
}

void cSceneOption::ApplyEdit() const {
  if (m_nEditItem == ITEM_PALETTE) ApplyPaletteVariation(*m_lpEditValue);
  if (m_nEditItem == ITEM_VOLUME) SetAllVolumes(*m_lpEditValue);
}

void cSceneOption::EditValue() {
  cInput& in = MenuInput();
  int32_t& value = *m_lpEditValue;
  if (in.m_sDir & INPUT_UP) {
    value = value >= m_nEditMax ? m_nEditMin : value + 1;
    ApplyEdit();
    RenderAgain();
  }
  if (in.m_sDir & INPUT_DOWN) {
    value = value <= m_nEditMin ? m_nEditMax : value - 1;
    ApplyEdit();
    RenderAgain();
  }
  PlayCursorSound(in, 2, 0);
  if (ButtonPressed(MENU_BUTTON_1)) {
    PlaySystemSound(1);
    g_MenuCursor.Pop(1);
    m_nStep = 1;
    return;
  }
  if (ButtonPressed(MENU_BUTTON_2)) {
    PlaySystemSound(2);
    value = m_nEditBefore;
    ApplyEdit();
    g_MenuCursor.Pop(1);
    m_nStep = 1;
    RenderAgain();
    return;
  }
  Draw();
  const MENUCURSORSTATE& menu = *g_MenuCursor.m_lpBelow;
  DrawAccessoryCell(menu.nX, menu.nY, 80, 0, 16);
  DrawAccessoryCell(VALUE_CURSOR_X, menu.nY, 64, 0, 16);
}

void cSceneOption::ApplyMusicSwitch() {
  if (g_Bgm.IsInitialised() && !g_OptionData.m_bBgm) {
    g_Bgm.Release();
    g_Game.m_nLastBgm = 0;
  } else if (!g_Bgm.IsInitialised() && g_OptionData.m_bBgm) {
    g_Bgm.Release();
    g_Bgm.Init(1, g_BgmOggSlots, g_BgmMidiSlots, BGM_SLOT_COUNT, g_SystemIni.m_nMidiDirectMusic != 0);
    // The title's request must start its music in the fresh object.
    g_Game.m_nLastBgm = 0;
  }
}

void cSceneOption::FadeOut() {
  if (!FadeOutStep()) return;
  ApplyMusicSwitch();
  g_OptionData.SaveToFile(g_Paths[PATH_OPTION]);
  LeaveScene(true);
}
