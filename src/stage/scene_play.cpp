#include "stage/scene_play.h"

#include <exception>

#include "core/globals.h"
#include "core/report_log.h"
#include "data/stage_file.h"
#include "gfx/dd.h"
#include "gfx/image_slots.h"
#include "gfx/scene_surfaces.h"
#include "persist/ranking.h"
#include "persist/replay.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "platform/random.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/item.h"
#include "stage/menu.h"
#include "stage/shot.h"
#include "stage/stage_globals.h"

namespace {

constexpr int BACKGROUND_SLOT_FIRST = 56;
constexpr int BACKGROUND_SLOT_COUNT = 8;
constexpr int RANK_KIND_COUNT = 5;

// Image slots a fresh entry loads: the stage's own pictures and the scene's sheets.
const int* EntrySlots(int& count) {
  static int slots[64];
  static int n = 0;
  if (n == 0) {
    for (int i = 2; i <= 44; ++i) slots[n++] = i;
    for (int i : {46, 47, 48, 50, 52}) slots[n++] = i;
    for (int i = 56; i <= 71; ++i) slots[n++] = i;
  }
  count = n;
  return slots;
}

}  // namespace

void cWait::Set(int nMode, int bButton, int nFrames, int bNoLock) {
  m_nMode = nMode;
  m_bButton = bButton;
  m_nFrames = nFrames;
  m_nReserved = 0;
  m_nLock = bButton && nMode == WAIT_MESSAGE && !bNoLock ? 10 : 0;
}

cScenePlay::cScenePlay() : m_ScrollX(ScrollX()), m_ScrollY(ScrollY()) {
  m_CharaLayers.resize(FACTION_COUNT);
  m_ShotLayers.resize(FACTION_COUNT);
  m_StageVars.resize(STAGE_VARIABLE_COUNT);
  m_GroupActive.resize(ACT_GROUP_COUNT);
  // The stage music is always asked for again when a play scene starts.
  g_SaveData.m_nBgm = 0;
  m_nState = -1;
}

cScenePlay::~cScenePlay() {
  // The objects go before the scene whose lists point at them; characters first, since their
  // links lead into items and heroes.
  g_CharaList.clear();
  ++g_nCharaListChanges;
  g_ItemList.clear();
  g_Heroes.clear();
  int count = 0;
  const int* slots = EntrySlots(count);
  for (int i = 0; i < count; ++i) DDReleaseSurface(&g_SurfaceTable[slots[i]]);
  ClearMessageWindows(m_MessageWindows);
  DDReleaseSurfacePair(Off_CharaExc, g_CharaExcSlots);
  DDReleaseSurfacePair(Off_Sword, g_SwordSlots);
  ClearPictures();
  DDReleaseSurfacePair(Off_Effect, g_EffectSlots);
}

void cScenePlay::Update() {
  if (m_nState == -1) {
    m_bSetupFailed = 0;
    try {
      Enter();
    } catch (const char* text) {
      DebugLogfAndClose(g_hWnd, "%s", text);
      m_bSetupFailed = 1;
    } catch (const std::exception& e) {
      DebugLogfAndClose(g_hWnd, "%s", e.what());
      m_bSetupFailed = 1;
    }
    m_nState = PLAY_FADE_IN;
  }
  // A stage that could not be set up has no hero to play or draw; the close is on its way.
  if (m_bSetupFailed || m_nState < 0 || m_nState >= PLAY_STATE_COUNT) return;
  if (m_nState == PLAY_PLAY) {
    RunState();
    return;
  }
  // Frozen frames leave the game thread's random numbers as they found them, so that a replay
  // draws the same numbers whatever the player did in menus; a state that set the stage up again
  // keeps the new seed.
  const uint32_t randState = t4::platform::GetRandState();
  const int32_t setups = m_nSetStageCount;
  RunState();
  if (setups == m_nSetStageCount) t4::platform::SetRandState(randState);
}

void cScenePlay::RunState() {
  switch (m_nState) {
    case PLAY_FADE_IN: FadeIn(); break;
    case PLAY_START: Start(); break;
    case PLAY_PLAY: Play(); break;
    case PLAY_PAUSE: PauseMenu(); break;
    case PLAY_STAGE_END: StageEnd(); break;
    case PLAY_CONTINUE: Continue(); break;
    case PLAY_GAME_OVER: GameOver(); break;
    case PLAY_FADE_OUT: FadeOut(); break;
    default: break;
  }
}

void cScenePlay::Enter() {
  ShowLoading();
  m_RankPos.resize(RANK_KIND_COUNT);
  m_RankValue.resize(RANK_KIND_COUNT);
  // Selecting the stretched-drawing surfaces belongs to the stage drawing.
  for (int i = 0; i < BACKGROUND_SLOT_COUNT; ++i) {
    IMAGESLOT& slot = g_ImageSlotTable[BACKGROUND_SLOT_FIRST + i];
    const bool bHas = i < static_cast<int>(g_Stage.m_Backgrounds.size()) &&
                      !g_Stage.m_Backgrounds[static_cast<size_t>(i)].m_strImage.empty();
    snprintf(slot.szFile, sizeof(slot.szFile), "%s",
             bHas ? g_Stage.m_Backgrounds[static_cast<size_t>(i)].m_strImage.c_str() : "");
    if (slot.szFile[0]) {
      BOOL bLarger = FALSE;
      DDIsBitmapLarger(&bLarger, slot.szFile, 640, 480);
      if (bLarger) slot.nDDMemory = 1;
    }
  }
  if (g_Game.m_nPrevScene != SCENE_PLAY) {
    int count = 0;
    const int* slots = EntrySlots(count);
    if (!DDLoadImageSlots(g_SurfaceTable, slots, count)) {
      PostCloseToMainWindow();
      m_bSetupFailed = 1;
      return;
    }
    BuildPaddedShotSheets();
    LoadExclusiveBitmaps();
    LoadSwordBitmaps();
    LoadEffectBitmaps();
    ResetForEntry();
    LoseLife(g_SaveData);
  } else {
    int slots[BACKGROUND_SLOT_COUNT];
    for (int i = 0; i < BACKGROUND_SLOT_COUNT; ++i) slots[i] = BACKGROUND_SLOT_FIRST + i;
    if (!DDLoadImageSlots(g_SurfaceTable, slots, BACKGROUND_SLOT_COUNT)) {
      PostCloseToMainWindow();
      m_bSetupFailed = 1;
      return;
    }
  }
  SetStage(g_Game.m_nPrevScene == SCENE_PLAY ? 1 : 0, 1);
  g_MenuCursor.Reset();
  m_nStep = 0;
}

void cScenePlay::ResetForEntry() {
  const bool bPlayback = g_Game.m_nTitleChoice == TITLE_CHOICE_REPLAY;
  cSaveData& sd = g_SaveData;
  // The world-map entry's choice is kept in its common variable.
  if (!bPlayback && sd.m_bVarSet) sd.CommonVar(sd.m_nVarIndex) = sd.m_nVarValue;
  sd.m_nStageScore = 0;
  sd.m_nLives = sd.m_nLivesAtStart;
  sd.m_nResultScore = 0;
  sd.m_nResultTime = 0;
  sd.m_nResultClearTime = 0;
  sd.m_nResultHp = 0;
  sd.m_nResultSp = 0;
  sd.m_bNextStart = 0;
  m_ScrollX.m_dPos = 0.0;
  m_ScrollY.m_dPos = 0.0;
  m_nStep = 0;
  m_nCaptionCount = 0;
  m_nCaptionCount2 = 0;
  m_bButtonLock = 0;
  m_nTimeLeft = 0;
  m_bRankEntered = 0;
  ClearMessageWindows(m_MessageWindows);
  if (!bPlayback) {
    g_Replay.Clear();
    g_ReplayLast.Clear();
  }
  if (g_bFreeStageStart) sd.m_nStageNo = 1;
  const int mode = g_Game.m_nGameMode;
  if (g_SystemData.GetRankingKindCount(mode) > 0)
    g_Ranking.LoadFile(mode, sd.m_strStageName.c_str(), sd.m_bVarSet, sd.m_nVarIndex, sd.m_nVarValue);
}

int cScenePlay::LoseLife(cSaveData& saveData) {
  if (g_bFreeStageStart) return 1;
  if (saveData.m_nLives == INFINITE_LIVES) return 1;
  if (saveData.m_nLives >= 1) {
    --saveData.m_nLives;
    return 1;
  }
  return 0;
}

void cScenePlay::OnHeroDeathShown() {
  cSaveData& sd = g_SaveData;
  if (g_Game.m_nTitleChoice == TITLE_CHOICE_REPLAY) {
    sd.RestoreVariables(1, g_Game.m_nGameMode);
    SetStage(1, 1);
    m_nState = PLAY_START;
    return;
  }
  if (!LoseLife(sd)) {
    m_nState = PLAY_GAME_OVER;
    return;
  }
  if (g_Stage.ClearsCarriedStatusOnMiss()) sd.ClearCarryFlags();
  sd.RestoreVariables(0, g_Game.m_nGameMode);
  if (g_Game.m_nGameMode == GAME_MODE_STORY && g_SystemData.m_bStoryContinue) {
    m_nStep = 0;
    m_nState = PLAY_CONTINUE;
  } else {
    SetStage(1, 0);
    m_nState = PLAY_START;
  }
}
