#include "app/scene_worldmap.h"

#include <algorithm>
#include <cstdio>

#include "app/palette_variation.h"
#include "core/globals.h"
#include "core/message_box.h"
#include "core/report_log.h"
#include "core/sjis_text.h"
#include "core/sound_request.h"
#include "data/stage.h"
#include "data/stage_file.h"
#include "data/world_map.h"
#include "gfx/dd.h"
#include "gfx/font.h"
#include "gfx/image_slots.h"
#include "gfx/scene_surfaces.h"
#include "persist/project_layout.h"
#include "persist/ranking.h"
#include "persist/save_data.h"
#include "persist/story_slots.h"
#include "persist/system_data.h"
#include "stage/input.h"

namespace {

constexpr int IMAGE_BACK = 55;
constexpr int IMAGE_CHIPS = 53;
constexpr int IMAGE_EVENTS = 54;
constexpr int IMAGE_MAP = 68;
constexpr int MAP_IMAGES[] = {IMAGE_BACK, IMAGE_CHIPS, IMAGE_EVENTS, IMAGE_ACCESSORY, IMAGE_WINDOW, IMAGE_MAP};
constexpr int WORLDMAP_STATE_WALK = 1;
constexpr int WORLDMAP_STATE_CONFIRM = 2;
constexpr int WORLDMAP_STATE_FADE_OUT = 3;
constexpr int VIEW_COLUMNS = 20;
constexpr int VIEW_ROWS = 15;
constexpr int HERO_COLUMN = 9;
constexpr int HERO_ROW = 7;
constexpr int HERO_X = 288;
constexpr int HERO_Y = 224;
constexpr int CHIP = 32;
constexpr int CONFIRM_Y = 260;
constexpr int WORLDMAP_RANKING_X = 367;
constexpr int WORLDMAP_RANKING_Y = 64;
constexpr int WORLDMAP_RANKING_W = 272;
constexpr int WORLDMAP_RANKING_H = 352;
constexpr int TEXT_SCORE = 2;
constexpr int TEXT_CHALLENGE = 10;
constexpr int FACING_DOWN = 0;
constexpr int FACING_UP = 1;
constexpr int FACING_LEFT = 2;
constexpr int FACING_RIGHT = 3;

// The origin last rendered into the map picture, and the hero's walking animation.
int32_t s_nRenderedX = -1;
int32_t s_nRenderedY = -1;
int32_t s_nWalkCount = 0;

// The story's progress as the entry conditions read it.
class cSaveProgress : public cWorldMapProgress {
 public:
  int32_t GetWorldFlag(int32_t index) const override { return Get(g_SaveData.m_WorldFlags, index); }
  int32_t GetCommonVar(int32_t index) const override { return Get(g_SaveData.m_CommonVars, index); }
  int32_t GetRunningTotal() const override { return g_SaveData.m_nWorldTotal; }

 private:
  static int32_t Get(const cSafeVector<int32_t>& v, int32_t index) {
    return index >= 0 && index < static_cast<int32_t>(v.size()) ? v.At(index) : 0;
  }
};

bool StoryRankingOn() { return g_SystemData.m_RankingRules.At(GAME_MODE_STORY).m_bEnabled != 0; }

int StoryLives() {
  return g_SystemData.m_InfiniteLives.At(GAME_MODE_STORY) ? LIVES_INFINITE
                                                          : g_SystemData.m_InitialLives.At(GAME_MODE_STORY);
}

}  // namespace

cSceneWorldMap::~cSceneWorldMap() {
  ReleaseImageSlots(MAP_IMAGES, static_cast<int>(std::size(MAP_IMAGES)));
  DDReleaseSurfacePair(Off_Scene, g_SceneSlots);
}

void cSceneWorldMap::RunState() {
  switch (m_nState) {
    case 0: FadeIn(); break;
    case WORLDMAP_STATE_WALK: Walk(); break;
    case WORLDMAP_STATE_CONFIRM: ConfirmStage(); break;
    case WORLDMAP_STATE_FADE_OUT: FadeOut(); break;
    default: break;
  }
}

cWorldMapStage* cSceneWorldMap::PickStage(const cWorldMapPoint* lpPoint) {
  if (!lpPoint) return nullptr;
  const int i = lpPoint->FindApplyingEntry(cSaveProgress());
  return i < 0 ? nullptr : const_cast<cWorldMapStage*>(&lpPoint->m_Entries.At(i));
}

bool cSceneWorldMap::IsCleared(const cWorldMapStage& entry) {
  return cSaveProgress().GetWorldFlag(entry.m_nClearFlag) != 0;
}

int cSceneWorldMap::NeedsButton(const cWorldMapStage* lpEntry) {
  return lpEntry && (lpEntry->m_nPassable || IsCleared(*lpEntry)) ? 1 : 0;
}

bool cSceneWorldMap::StandsOnStage() const { return m_lpEntry && m_lpEntry->m_nKind == MAPENTRY_STAGE; }

void cSceneWorldMap::Locate() {
  const MENUCURSORSTATE& cursor = *g_MenuCursor.m_lpCurrent;
  m_lpPoint = g_WorldMap.FindPointAt(WORLDMAPPOS{cursor.nColumn, cursor.nRow});
  m_lpEntry = PickStage(m_lpPoint);
}

void cSceneWorldMap::SetHeroCell(int x, int y) {
  MENUCURSORSTATE& cursor = *g_MenuCursor.m_lpCurrent;
  cursor.nColumn = x;
  cursor.nRow = y;
  cursor.nX = HERO_X;
  cursor.nY = HERO_Y;
  m_nOriginX = x - HERO_COLUMN;
  m_nOriginY = y - HERO_ROW;
  Locate();
}

void cSceneWorldMap::Enter() {
  RequestSceneMusic(SCENE_BGM_WORLD_MAP);
  if (!g_WorldMap.m_strBackImage.empty())
    std::snprintf(g_ImageSlotTable[IMAGE_BACK].szFile, sizeof(g_ImageSlotTable[IMAGE_BACK].szFile), "%s",
                  g_WorldMap.m_strBackImage.c_str());
  LoadSceneImages(MAP_IMAGES, static_cast<int>(std::size(MAP_IMAGES)));
  g_MenuCursor.Reset();
  g_SaveData.CalcTotal();
  m_nFacing = g_SaveData.m_nMapDir;
  SetHeroCell(g_SaveData.m_nMapX, g_SaveData.m_nMapY);
  m_BeforeStep = *g_MenuCursor.m_lpCurrent;
  if (CreateScenePicture(WORLDMAP_RANKING_W, WORLDMAP_RANKING_H, TRUE)) DrawRankingPicture();
  if (StandsOnStage()) UpdateStageInfo();
  if (g_SaveData.m_bAutoSave && g_Game.m_nPrevScene == SCENE_PLAY) SaveStorySlot(g_SaveData.m_nSlot);
  RenderMap(&g_SurfaceTable[IMAGE_MAP]);
  m_nStep = 0;
}

void cSceneWorldMap::DrawRankingPicture() {
  if (Off_Scene.empty()) return;
  g_Ranking.Draw(&Off_Scene.front(), 0, 0, g_SaveData.m_nRankingKind, -1, g_Game.m_nGameMode);
}

void cSceneWorldMap::UpdateStageInfo() {
  const cWorldMapStage& e = *m_lpEntry;
  g_SaveData.SetStageFile(e.m_strStageFile.c_str(), e.m_nSeparate, e.m_nKey1, e.m_nKey2);
  m_nBest = g_SaveData.GetStageResult(g_SaveData.m_strPlayName);
  if (g_Game.m_bRanking) {
    g_Ranking.LoadFile(g_Game.m_nGameMode, g_SaveData.m_strStageName.c_str(), g_SaveData.m_bVarSet,
                       g_SaveData.m_nVarIndex, g_SaveData.m_nVarValue);
    g_SaveData.NextRankingKind(g_Game.m_nGameMode, 0);
    DrawRankingPicture();
  }
}

void cSceneWorldMap::MoveHero(MENUCURSORSTATE& cursor, const cInput& input) {
  const int16_t dir = input.m_sDir;
  if (dir) {
    g_SaveData.m_nMapMenuX = cursor.nColumn;
    g_SaveData.m_nMapMenuY = cursor.nRow;
    m_BeforeStep = cursor;
    if (dir & INPUT_LEFT) {
      m_nFacing = FACING_LEFT;
      if (cursor.nColumn > 0) --cursor.nColumn;
    } else if (dir & INPUT_RIGHT) {
      m_nFacing = FACING_RIGHT;
      if (cursor.nColumn < g_WorldMap.m_nWidth - 1) ++cursor.nColumn;
    } else if (dir & INPUT_UP) {
      m_nFacing = FACING_UP;
      if (cursor.nRow > 0) --cursor.nRow;
    } else if (dir & INPUT_DOWN) {
      m_nFacing = FACING_DOWN;
      if (cursor.nRow < g_WorldMap.m_nHeight - 1) ++cursor.nRow;
    }
    Locate();
    bool bRefused = m_lpEntry && m_lpEntry->m_nKind == MAPENTRY_WALL;
    if (!m_lpEntry) {
      const int chip = g_WorldMap.GetCell(cursor.nColumn, cursor.nRow);
      bRefused = chip < 0 || chip >= static_cast<int>(g_WorldMap.m_Chips.size()) ||
                 g_WorldMap.m_Chips.At(chip).m_nBlocked != 0;
    }
    if (bRefused) {
      cursor = m_BeforeStep;
      Locate();
    } else {
      if (cursor.nColumn != m_BeforeStep.nColumn || cursor.nRow != m_BeforeStep.nRow) m_bAutoStartFailed = 0;
      m_nOriginX = cursor.nColumn - HERO_COLUMN;
      m_nOriginY = cursor.nRow - HERO_ROW;
      g_SaveData.m_nMapDir = m_nFacing;
      if (m_nOriginX != s_nRenderedX || m_nOriginY != s_nRenderedY) RenderMap(&g_SurfaceTable[IMAGE_MAP]);
    }
  }
  cursor.nX = HERO_X;
  cursor.nY = HERO_Y;
}

void cSceneWorldMap::RankingButtons() {
  if (ButtonPressed(MENU_BUTTON_3)) {
    if (StoryRankingOn()) {
      PlaySystemSound(6);
      g_SaveData.m_bRankingPanel = !g_SaveData.m_bRankingPanel;
      DrawRankingPicture();
    } else if (g_SaveData.m_bRankingPanel) {
      g_SaveData.m_bRankingPanel = 0;
      DrawRankingPicture();
    }
  } else if (ButtonPressed(MENU_BUTTON_4) && StoryRankingOn()) {
    if (g_SystemData.GetRankingKindCount(g_Game.m_nGameMode) > 1) {
      PlaySystemSound(6);
      g_SaveData.NextRankingKind(g_Game.m_nGameMode, 1);
    }
    DrawRankingPicture();
  }
}

void cSceneWorldMap::Walk() {
  cInput& in = MenuInput();
  MENUCURSORSTATE& cursor = *g_MenuCursor.m_lpCurrent;
  MoveHero(cursor, in);
  PlayCursorSound(in, 3, 0);
  Locate();
  if (StandsOnStage()) {
    if (cursor.nColumn != m_InfoAt.nColumn || cursor.nRow != m_InfoAt.nRow) {
      UpdateStageInfo();
      m_InfoAt = cursor;
    }
    bool bStart = !NeedsButton(m_lpEntry) && !m_bAutoStartFailed;
    if (!bStart && ButtonPressed(MENU_BUTTON_1)) {
      // A cleared stage that cannot be played again: nothing happens, not even a drawing.
      if (IsCleared(*m_lpEntry) && !m_lpEntry->m_nReplayable) return;
      bStart = true;
    }
    if (bStart) {
      g_SaveData.m_nMapX = cursor.nColumn;
      g_SaveData.m_nMapY = cursor.nRow;
      g_MenuCursor.Push(0);
      m_nStep = 0;
      m_nState = WORLDMAP_STATE_CONFIRM;
      return;
    }
    RankingButtons();
  }
  if (ButtonPressed(MENU_BUTTON_2)) {
    PlaySystemSound(4);
    g_SaveData.m_nMapX = cursor.nColumn;
    g_SaveData.m_nMapY = cursor.nRow;
    m_nStep = 0;
    g_Game.m_nNextScene = SCENE_MAPMENU;
    m_nState = WORLDMAP_STATE_FADE_OUT;
    return;
  }
  Draw(true);
}

void cSceneWorldMap::ConfirmStage() {
  if (m_nStep == 0) {
    PlaySystemSound(1);
    m_bStageLoaded = LoadEntryStage();
    g_MenuCursor.m_lpCurrent->nRow = 1;
    m_nStep = 1;
  }
  cInput& in = MenuInput();
  const int listX = g_SystemData.GetTextListX(304, TEXT_CHALLENGE, 2, true);
  g_MenuCursor.MoveGrid(in, listX, CONFIRM_Y, 0, 16, 1, 2);
  PlayCursorSound(in, 2, 0);
  bool bRefused = false;
  if (ButtonPressed(MENU_BUTTON_1)) {
    PlaySystemSound(1);
    if (g_MenuCursor.m_lpCurrent->nRow == 0 && m_bStageLoaded) {
      g_SaveData.m_nMapDir = m_nFacing;
      PrepareStage();
      m_nStep = 0;
      g_Game.m_nNextScene = SCENE_PLAY;
      m_nState = WORLDMAP_STATE_FADE_OUT;
      return;
    }
    bRefused = true;
  } else if (ButtonPressed(MENU_BUTTON_2)) {
    PlaySystemSound(2);
    bRefused = true;
  }
  if (bRefused) {
    g_MenuCursor.Pop(1);
    // A stage that starts by itself: the hero steps back off the point.
    if (!NeedsButton(m_lpEntry)) {
      SetHeroCell(m_BeforeStep.nColumn, m_BeforeStep.nRow);
      if (m_nOriginX != s_nRenderedX || m_nOriginY != s_nRenderedY) RenderMap(&g_SurfaceTable[IMAGE_MAP]);
    }
    m_nStep = 0;
    m_nState = WORLDMAP_STATE_WALK;
    return;
  }
  RankingButtons();
  Draw(true);
  DrawTextList(listX, CONFIRM_Y, TEXT_CHALLENGE, 2, true);
  DrawAccessoryCell(g_MenuCursor.m_lpCurrent->nX, g_MenuCursor.m_lpCurrent->nY, 64, 0, 16);
}

bool cSceneWorldMap::LoadEntryStage() const {
  const cWorldMapStage& e = *m_lpEntry;
  // The clear flag is set at the stage's clear and the reference's variable at its start: an
  // index outside the progress (a damaged world map) would end the program there.
  const bool bFlagFits = e.m_nClearFlag >= 0 && e.m_nClearFlag < static_cast<int>(g_SaveData.m_WorldFlags.size());
  const bool bVarFits =
      !e.m_nSeparate || (e.m_nKey1 >= 0 && e.m_nKey1 < static_cast<int>(g_SaveData.m_CommonVars.size()));
  if (!bFlagFits || !bVarFits) {
    WriteReportLog("%s が破損しています！", g_Paths[PATH_WORLD_MAP]);
    ErrorBoxf("%s が破損しています！", g_Paths[PATH_WORLD_MAP]);
    return false;
  }
  if (LoadStageInGame(e.m_strStageFile.c_str(), 1, &g_StageSettings, &g_PlayerCharaDef)) return true;
  ErrorBoxf("ステージファイル %s が読み込めません！", e.m_strStageFile.c_str());
  return false;
}

void cSceneWorldMap::PrepareStage() {
  const cWorldMapStage& e = *m_lpEntry;
  g_SaveData.m_pMapEntry = m_lpEntry;
  g_SaveData.SetStageFile(g_Stage.m_strPath.c_str(), e.m_nSeparate, e.m_nKey1, e.m_nKey2);
  g_SaveData.m_nStageNo = e.m_nClearFlag;
  g_SaveData.m_nSequenceNo = 1;
  if (g_SystemData.m_bStoryLivesCarry)
    g_SaveData.m_nLivesAtStart =
        g_SystemData.m_InfiniteLives.At(GAME_MODE_STORY) ? LIVES_INFINITE : g_SaveData.m_nLives + 1;
  else
    g_SaveData.m_nLivesAtStart = StoryLives();
}

void cSceneWorldMap::FadeIn() {
  if (g_nBpp == 8) DrawRankingPicture();
  // Coming back to the map the walker may still be moved: no stage information until then.
  Draw(!g_SaveData.m_bMapReturn);
  if (!FadeInStep()) return;
  if (StandsOnStage()) {
    if (g_SaveData.m_bMapReturn) {
      g_SaveData.m_bMapReturn = 0;
      // A previous cell outside the map (a damaged save) would strand the walker there.
      if (!IsCleared(*m_lpEntry) && g_WorldMap.GetCell(g_SaveData.m_nMapMenuX, g_SaveData.m_nMapMenuY) >= 0) {
        SetHeroCell(g_SaveData.m_nMapMenuX, g_SaveData.m_nMapMenuY);
        g_SaveData.m_nMapX = g_MenuCursor.m_lpCurrent->nColumn;
        g_SaveData.m_nMapY = g_MenuCursor.m_lpCurrent->nRow;
        RenderMap(&g_SurfaceTable[IMAGE_MAP]);
      }
    } else if (g_Game.m_nPrevScene != SCENE_MAPMENU && !IsCleared(*m_lpEntry) && !NeedsButton(m_lpEntry)) {
      if (LoadEntryStage()) {
        PrepareStage();
        g_SaveData.m_nMapMenuX = g_MenuCursor.m_lpCurrent->nColumn;
        g_SaveData.m_nMapMenuY = g_MenuCursor.m_lpCurrent->nRow;
        m_nStep = 0;
        g_Game.m_nNextScene = SCENE_PLAY;
        m_nState = WORLDMAP_STATE_FADE_OUT;
        return;
      }
      // The map stays: the player can walk away from a stage that cannot be loaded.
      m_bAutoStartFailed = 1;
    }
  }
  m_nState = WORLDMAP_STATE_WALK;
}

void cSceneWorldMap::FadeOut() {
  Draw(true);
  if (FadeOutStep()) LeaveScene(true);
}

void cSceneWorldMap::RenderMap(DDSURFACEDATA* lpPicture) {
  const cWorldMap& map = g_WorldMap;
  const int ox = m_nOriginX;
  const int oy = m_nOriginY;
  s_nRenderedX = ox;
  s_nRenderedY = oy;
  DDClearPal(lpPicture, static_cast<DWORD>(map.m_nBackColor));
  if (map.m_nBackImageOn)
    DDBlt(lpPicture, ox < 0 ? CHIP * -ox : 0, oy < 0 ? CHIP * -oy : 0, 640, 480, &g_SurfaceTable[IMAGE_BACK],
          ox < 0 ? 0 : CHIP * ox, oy < 0 ? 0 : CHIP * oy, BLT_OPAQUE);
  const int chipCount = static_cast<int>(map.m_Chips.size());
  const int chipRows = g_SurfaceTable[IMAGE_CHIPS].nHeight / CHIP;
  for (int r = 0; r < VIEW_ROWS; ++r) {
    for (int c = 0; c < VIEW_COLUMNS; ++c) {
      const int chip = map.GetCell(ox + c, oy + r);
      if (chip < 0 || chip >= chipCount) continue;
      const int n = map.m_Chips.At(chip).m_nImage;
      if (n < 0 || n / 5 >= chipRows) continue;
      DDBlt(lpPicture, CHIP * c, CHIP * r, CHIP, CHIP, &g_SurfaceTable[IMAGE_CHIPS], CHIP * (n % 5), CHIP * (n / 5),
            BLT_TRANSPARENT);
    }
  }
  // Only points in view are drawn, and only icons the sheet holds: the far coordinates and rows of
  // a damaged map never reach the dot arithmetic.
  const int iconRows = g_SurfaceTable[IMAGE_EVENTS].nHeight / CHIP;
  for (const cWorldMapPoint& point : map.m_Points) {
    const int64_t vx = int64_t{point.m_nX} - ox;
    const int64_t vy = int64_t{point.m_nY} - oy;
    if (vx < 0 || vx >= VIEW_COLUMNS || vy < 0 || vy >= VIEW_ROWS) continue;
    const cWorldMapStage* entry = PickStage(&point);
    if (!entry || entry->GetIconRow() < 0 || entry->GetIconRow() >= iconRows) continue;
    DDBlt(lpPicture, static_cast<int>(vx) * CHIP, static_cast<int>(vy) * CHIP, CHIP, CHIP,
          &g_SurfaceTable[IMAGE_EVENTS], IsCleared(*entry) ? CHIP : 0, CHIP * entry->GetIconRow(), BLT_TRANSPARENT);
  }
}

void cSceneWorldMap::Draw(bool bShowInfo) {
  DDSURFACEDATA& map = g_SurfaceTable[IMAGE_MAP];
  if (map.bLost) {
    RenderMap(&map);
    map.bLost = 0;
  }
  DDBlt(&BackBuffer, 0, 0, 640, 480, &map, 0, 0, BLT_OPAQUE);
  static const int HERO_CELLS[4][2] = {{0, 64}, {64, 64}, {64, 96}, {0, 96}};
  const int facing = std::clamp(m_nFacing, 0, 3);
  const int step = s_nWalkCount > 40 ? CHIP : 0;
  if (++s_nWalkCount >= 80) s_nWalkCount = 0;
  DDBlt(&BackBuffer, HERO_X, HERO_Y, CHIP, CHIP, &g_SurfaceTable[IMAGE_ACCESSORY], HERO_CELLS[facing][0] + step,
        HERO_CELLS[facing][1], BLT_TRANSPARENT);
  if (g_SystemData.m_bMapShowsLives) {
    const int lives = g_SaveData.m_nLives;
    const int digits = lives == LIVES_INFINITE ? 1 : GetDigitCount(lives);
    const int x = 621 - 16 * (digits + 1);
    g_Fonts[1].DrawBox(&BackBuffer, x, 17, 16 * (digits + 1), 20);
    DDBlt(&BackBuffer, x, 19, 16, 16, &g_SurfaceTable[IMAGE_ACCESSORY], 0, 48, BLT_TRANSPARENT);
    if (lives == LIVES_INFINITE)
      g_Fonts[1].Draw(&BackBuffer, x + 16, 19, "∞");
    else
      g_Fonts[1].DrawF(&BackBuffer, x + 16, 19, "%d", lives);
  }
  if (bShowInfo && StandsOnStage()) DrawInfo();
}

void cSceneWorldMap::DrawInfo() {
  if (StoryRankingOn() && g_SaveData.m_bRankingPanel)
    DrawScenePicture(WORLDMAP_RANKING_X, WORLDMAP_RANKING_Y, BLT_OPAQUE,
                     [this](DDSURFACEDATA*) { DrawRankingPicture(); });
  const bool bBest = g_SystemData.m_bMapShowsScore && m_nBest > 0;
  const int y = bBest ? 184 : 204;
  const std::string& caption = m_lpEntry->m_strCaption;
  if (!caption.empty()) {
    // The caption is the project's text, never a format of its own.
    const int w = 16 * CountChars(caption.c_str());
    g_Fonts[1].DrawTextBoxF(&BackBuffer, 304 - w / 2, y, w, 16, "%s", caption.c_str());
  }
  if (bBest) {
    const std::string& label = g_SystemData.m_Texts.At(TEXT_SCORE);
    const int w = 16 * (CountChars(label.c_str()) + GetDigitCount(m_nBest));
    g_Fonts[1].DrawTextBoxF(&BackBuffer, 304 - w / 2, y + 20, w, 16, "%s%d", label.c_str(), m_nBest);
  }
}
