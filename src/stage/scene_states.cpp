// The play scene's states other than the play frame and the stage end: fade-in, start captions,
// pause menu, continue menu, game over and fade-out.
#include <cstdio>

#include "core/globals.h"
#include "core/sound_request.h"
#include "data/data_refs.h"
#include "data/stage_file.h"
#include "gfx/dd.h"
#include "gfx/dd_effects.h"
#include "gfx/frames_digits.h"
#include "gfx/image_slots.h"
#include "persist/replay.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "platform/window/input_devices.h"
#include "stage/hero.h"
#include "stage/input.h"
#include "stage/menu.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "stage/stage_start.h"
#include "stage/graphic_source.h"

namespace {

constexpr int CAPTION_FRAMES = 80;
constexpr int MENU_TOP = 272;
constexpr int16_t BUTTON_1 = 1;
constexpr int16_t BUTTON_2 = 2;
constexpr int PAUSE_QUIT = 0;
constexpr int PAUSE_RESUME = 1;
constexpr int PAUSE_RETRY = 2;
constexpr int PAUSE_MAP = 3;
constexpr int TEXT_PAUSE_FIRST = 19;
constexpr int TEXT_CONTINUE_FIRST = 23;

DDSURFACEDATA* Word() { return &g_SurfaceTable[IMAGE_WORD_SHEET]; }

// Player 0's buttons latched and directions repeated, and the cursor moved over a one-column
// menu of `rows` rows at x.
cInput& MoveMenuCursor(int x, int rows) {
  cInput& in = g_Input.At(0);
  in.LatchButton(0);
  in.RepeatDir();
  g_MenuCursor.MoveGrid(in, x, MENU_TOP, 0, 16, 1, rows);
  PlayCursorSound(in, 2, 0);
  return in;
}

void DrawMenuCursor() {
  const MENUCURSORSTATE& c = *g_MenuCursor.m_lpCurrent;
  DDBlt(&BackBuffer, c.nX, c.nY, 16, 16, &g_SurfaceTable[IMAGE_ACCESSORY], 64, 0, BLT_TRANSPARENT);
}

}  // namespace

int cScenePlay::ReplayKeyHandled() {
  return SaveReplayKey(g_Game.m_nTitleChoice == TITLE_CHOICE_REPLAY, GetAsyncKeyState(VK_F1) < 0,
                       GetAsyncKeyState(VK_F1 + 1) < 0);
}

int cScenePlay::CheckPause() {
  if (!g_SystemData.m_bSpacePause || GetAsyncKeyState(VK_SPACE) >= 0) return 0;
  PlaySystemSound(4);
  m_nSavedState = m_nState;
  m_nSavedStep = m_nStep;
  return 1;
}

void cScenePlay::FadeIn() {
  DrawFrozen();
  if (DDFadeIn(g_PaletteWork, 0, 255, 0, 0, 0, g_Game.m_nFadeSpeed, g_Palette, false)) m_nState = PLAY_START;
}

void cScenePlay::Start() {
  DrawFrozen();
  const bool bDirect = g_bTestPlay && g_bFreeStageStart;
  if (!bDirect) {
    if (g_Game.m_nTitleChoice == TITLE_CHOICE_REPLAY) {
      if (++m_nCaptionCount < CAPTION_FRAMES) {
        DDBlt(&BackBuffer, 256, 224, 128, 32, Word(), 0, 32, BLT_TRANSPARENT);
        return;
      }
    } else {
      if (g_Stage.m_nShowStageCaption && ++m_nCaptionCount < CAPTION_FRAMES) {
        DDBlt(&BackBuffer, 256, 224, 128, 32, Word(), 0, 0, BLT_TRANSPARENT);
        // The number is the stage's place in its numbered series, not its world flag or challenge number.
        DDDrawNumber(&BackBuffer, 384, 224, 32, 32, Word(), 0, 128, BLT_TRANSPARENT, g_SaveData.m_nSequenceNo, 1,
                     false);
        return;
      }
      if (g_Stage.m_nShowStartCaption && ++m_nCaptionCount2 < CAPTION_FRAMES) {
        DDBlt(&BackBuffer, 280, 224, 80, 32, Word(), 160, 0, BLT_TRANSPARENT);
        return;
      }
    }
  }
  cHero& hero = g_Heroes.At(0);
  hero.m_Anime.Set(hero.m_bFly ? 2 : 0, 1);
  m_nCaptionCount = 0;
  m_nState = PLAY_PLAY;
}

void cScenePlay::PauseMenu() {
  if (ReplayKeyHandled()) return;
  m_PauseMenu.clear();
  for (int i = 0; i < 4; ++i) {
    const int text = TEXT_PAUSE_FIRST + i;
    m_PauseMenu.emplace_back(
        1, text < static_cast<int>(g_SystemData.m_Texts.size()) ? g_SystemData.m_Texts.At(text).c_str() : "");
  }
  cSaveData& sd = g_SaveData;
  switch (g_Game.m_nGameMode) {
    case GAME_MODE_STORY: {
      const bool bWorldDone = sd.m_nStageNo >= 0 && sd.m_nStageNo < static_cast<int>(sd.m_WorldFlags.size()) &&
                              sd.WorldFlag(sd.m_nStageNo) != 0;
      if (!(g_SystemData.m_bPauseRetryStory && bWorldDone)) m_PauseMenu.At(PAUSE_RETRY).m_bEnabled = 0;
      if (!(g_SystemData.m_bPauseMapStory && bWorldDone)) m_PauseMenu.At(PAUSE_MAP).m_bEnabled = 0;
      break;
    }
    case GAME_MODE_CHALLENGE: {
      const int row = g_Game.m_nChallengeRow;
      const bool bCleared = row >= 0 && row < static_cast<int>(sd.m_ChallengeResults.size()) &&
                            sd.m_ChallengeResults.At(row).m_bCleared != 0;
      if (!(g_SystemData.m_bPauseRetryChallenge && bCleared)) m_PauseMenu.At(PAUSE_RETRY).m_bEnabled = 0;
      m_PauseMenu.At(PAUSE_MAP).m_bEnabled = 0;
      break;
    }
    default: m_PauseMenu.At(PAUSE_MAP).m_bEnabled = 0; break;
  }
  if (m_nStep == 0) {
    g_MenuCursor.m_lpCurrent->nRow = 1;
    m_nStep = 1;
  } else if (m_nStep != 1) {
    return;
  }
  const int x = GetCmdWindowX(320, m_PauseMenu);
  cInput& in = MoveMenuCursor(x, cCmd::GetCmdCount(m_PauseMenu));
  if (in.m_sButton & BUTTON_1) {
    PlaySystemSound(1);
    switch (cCmd::GetCmdNum(g_MenuCursor.m_lpCurrent->nRow, m_PauseMenu)) {
      case PAUSE_QUIT:
        m_nState = PLAY_FADE_OUT;
        if (g_bFreeStageStart) {
          PostCloseToMainWindow();
        } else {
          g_Game.m_nNextScene = SCENE_TITLE;
          g_MenuCursor.m_lpCurrent->nRow = g_Game.m_nTitleChoice;
          m_nStep = 0;
        }
        break;
      case PAUSE_RESUME:
        m_bButtonLock = 1;
        m_nState = m_nSavedState;
        m_nStep = m_nSavedStep;
        break;
      case PAUSE_RETRY:
        m_bButtonLock = 1;
        sd.RestoreVariables(1, g_Game.m_nGameMode);
        SetStage(1, 0);
        m_nState = PLAY_START;
        m_nStep = 0;
        break;
      case PAUSE_MAP:
        m_bButtonLock = 1;
        sd.RestoreVariables(0, g_Game.m_nGameMode);
        sd.m_bMapReturn = 1;
        g_Game.m_nNextScene = SCENE_WORLDMAP;
        m_nStep = 0;
        m_nState = PLAY_FADE_OUT;
        break;
    }
    return;
  }
  if (in.m_sButton & BUTTON_2) {
    PlaySystemSound(2);
    m_bButtonLock = 1;
    m_nState = m_nSavedState;
    m_nStep = m_nSavedStep;
    return;
  }
  // A project that hides the stage behind the pause menu still shows its backgrounds and screen
  // colour there: the stage drawing itself leaves out the rest in this state.
  DrawFrozen();
  DrawCmdWindow(x, MENU_TOP, m_PauseMenu);
  DrawMenuCursor();
}

void cScenePlay::Continue() {
  if (ReplayKeyHandled()) return;
  if (m_nStep == 0) {
    g_MenuCursor.m_lpCurrent->nRow = 0;
    m_nStep = 1;
  } else if (m_nStep != 1) {
    return;
  }
  const int x = g_SystemData.GetTextListX(320, TEXT_CONTINUE_FIRST, 2, true);
  cInput& in = MoveMenuCursor(x, 2);
  if (in.m_sButton & BUTTON_1) {
    PlaySystemSound(1);
    if (g_MenuCursor.m_lpCurrent->nRow == 0) {
      SetStage(1, 0);
      m_nState = PLAY_START;
    } else {
      g_SaveData.m_bMapReturn = 1;
      g_Game.m_nNextScene = SCENE_WORLDMAP;
      m_nStep = 0;
      m_nState = PLAY_FADE_OUT;
    }
    return;
  }
  DrawFrozen();
  DrawTextList(x, MENU_TOP, TEXT_CONTINUE_FIRST, 2, true);
  DrawMenuCursor();
}

void cScenePlay::GameOver() {
  if (CheckPause()) {
    m_nStep = 0;
    m_nState = PLAY_PAUSE;
    return;
  }
  if (ReplayKeyHandled()) return;
  if (g_Input.At(0).m_sButton & BUTTON_1) {
    PlaySystemSound(1);
    m_nState = PLAY_FADE_OUT;
    g_Game.m_nNextScene = SCENE_TITLE;
    return;
  }
  DrawFrozen();
  if (g_Stage.m_nShowGameOverCaption) DDBlt(&BackBuffer, 248, 224, 144, 32, Word(), 0, 96, BLT_TRANSPARENT);
}

void cScenePlay::FadeOut() {
  if (!DDFadeOut(g_PaletteWork, 0, 255, 0, 0, 0, g_Game.m_nFadeSpeed, g_Palette, false)) return;
  DDClearPal(&BackBuffer, EMPTY_PALETTE_ENTRY);
  if (g_bReturnToTitle) g_Game.m_nNextScene = SCENE_TITLE;
  if ((g_Game.m_nTitleChoice == TITLE_CHOICE_FREE && !g_SaveData.m_bSequence) || g_bFreeStageStart) {
    g_SaveData.m_bSequence = 0;
    const std::string path = g_Stage.m_strPath;
    if (!StartStageFile(path.c_str(), 0)) PostCloseToMainWindow();
  }
  g_Game.m_nScene = g_Game.m_nNextScene;
  g_Game.m_nFps = 60;
  g_Game.m_nPrevScene = SCENE_PLAY;
  m_nState = -1;
}
