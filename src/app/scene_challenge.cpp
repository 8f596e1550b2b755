#include "app/scene_challenge.h"

#include <algorithm>

#include "app/palette_variation.h"
#include "core/globals.h"
#include "core/message_box.h"
#include "core/report_log.h"
#include "core/sjis_text.h"
#include "core/sound_request.h"
#include "data/stage.h"
#include "data/stage_file.h"
#include "gfx/dd.h"
#include "gfx/font.h"
#include "gfx/image_slots.h"
#include "gfx/scene_surfaces.h"
#include "persist/ranking.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "stage/input.h"
#include "stage/menu.h"

namespace {

constexpr int CHALLENGE_IMAGES[] = {50, IMAGE_WINDOW};
constexpr int CHALLENGE_STATE_SELECT = 1;
constexpr int CHALLENGE_STATE_FADE_OUT = 2;
constexpr int ROWS_MAX = 10;
constexpr int LIST_Y = 160;
constexpr int CHALLENGE_ROW_H = 32;
constexpr int CURSOR_X = 32;
constexpr int CHALLENGE_RANKING_X = 292;
constexpr int CHALLENGE_RANKING_Y = 108;
constexpr int TEXT_ROW_LABEL = 0;
constexpr int TEXT_BEST_HEADING = 3;

const std::string& Text(int n) { return g_SystemData.m_Texts.At(n); }
bool RankingOn() { return g_SystemData.m_RankingRules.At(GAME_MODE_CHALLENGE).m_bEnabled != 0; }

}  // namespace

std::string ChallengeStageFile(int n) {
  std::string name;
  FormatString(name, "%s%02d-1.%s", "data\\stg4\\c", n, "stg4");
  return name;
}

cSceneChallenge::~cSceneChallenge() {
  ReleaseImageSlots(CHALLENGE_IMAGES, static_cast<int>(std::size(CHALLENGE_IMAGES)));
  DDReleaseSurfacePair(Off_Scene, g_SceneSlots);
}

void cSceneChallenge::RunState() {
  switch (m_nState) {
    case 0: FadeIn(); break;
    case CHALLENGE_STATE_SELECT: Select(); break;
    case CHALLENGE_STATE_FADE_OUT: FadeOut(); break;
    default: break;
  }
}

void cSceneChallenge::Enter() {
  RequestSceneMusic(SCENE_BGM_CHALLENGE);
  LoadSceneImages(CHALLENGE_IMAGES, static_cast<int>(std::size(CHALLENGE_IMAGES)));
  g_MenuCursor.Reset();
  g_MenuCursor.m_lpCurrent->nRow = g_Game.m_nChallengeRow;
  m_nScroll = g_Game.m_nChallengeScroll;
  SetCurrentStage(g_Game.m_nChallengeRow + 1);
  CreateListPicture();
  m_nStep = 0;
}

void cSceneChallenge::CountStages() {
  m_nListCount = g_SystemData.m_bAllChallengesOpen ? g_SystemData.m_nChallengeCount : g_SaveData.m_nChallengeOpen;
  // Only stages with a result entry can be listed: a record or System.dat that disagree on the
  // count must not index past the results.
  m_nListCount = std::clamp(m_nListCount, 0, static_cast<int>(g_SaveData.m_ChallengeResults.size()));
  m_nVisibleRows = std::max(0, std::min(ROWS_MAX, m_nListCount - m_nScroll));
}

void cSceneChallenge::SetCurrentStage(int n) {
  g_SaveData.SetStageFile(ChallengeStageFile(n).c_str(), 0, 0, 0);
  if (g_Game.m_bRanking)
    g_Ranking.LoadFile(g_Game.m_nGameMode, g_SaveData.m_strStageName.c_str(), g_SaveData.m_bVarSet,
                       g_SaveData.m_nVarIndex, g_SaveData.m_nVarValue);
}

void cSceneChallenge::CreateListPicture() {
  if (DDSURFACEDATA* picture = CreateScenePicture(640, 480, FALSE)) RenderList(picture);
}

void cSceneChallenge::RenderAgain() {
  if (!Off_Scene.empty()) RenderList(&Off_Scene.front());
}

void cSceneChallenge::RenderList(DDSURFACEDATA* lpPicture) {
  cFont& font = g_Fonts[2];
  font.DrawBox(lpPicture, 1, 1, 638, 478);
  const char* heading = ItemCaption(g_SystemData.m_TitleMenu, TITLE_CHOICE_CHALLENGE);
  font.DrawF(lpPicture, 320 - CountChars(heading) * 32 / 2, 32, "%s", heading);
  const int total = g_SaveData.m_nWorldTotal;
  if (g_SystemData.m_bChallengeShowsTotal && total > 0) {
    const int w = 16 * (CountChars(Text(TEXT_TOTAL).c_str()) + GetDigitCount(total));
    g_Fonts[1].DrawF(lpPicture, 320 - w / 2, 88, "%s%d", Text(TEXT_TOTAL).c_str(), total);
  }
  const bool bShowBest = g_SystemData.m_bChallengeShowsBest != 0;
  if (!g_SaveData.m_bRankingPanel && bShowBest)
    font.DrawF(lpPicture, 32, 128, "         %s", Text(TEXT_BEST_HEADING).c_str());
  CountStages();
  const int column = (CountChars(Text(TEXT_ROW_LABEL).c_str()) + 4) * 32;
  for (int i = 0; i < m_nVisibleRows; ++i) {
    const int s = m_nScroll + i;
    const int y = LIST_Y + CHALLENGE_ROW_H * i;
    font.DrawF(lpPicture, 64, y, "%s%d", Text(TEXT_ROW_LABEL).c_str(), s + 1);
    const cIntPair& result = g_SaveData.m_ChallengeResults.At(s);
    if (result.m_bCleared) DDBlt(lpPicture, column, y, 32, 32, &g_SurfaceTable[50], 96, 0, BLT_TRANSPARENT);
    if (bShowBest) font.DrawF(lpPicture, column + 64, y, "%d", result.m_nBest);
  }
  if (RankingOn() && g_SaveData.m_bRankingPanel)
    g_Ranking.Draw(lpPicture, CHALLENGE_RANKING_X, CHALLENGE_RANKING_Y, g_SaveData.m_nRankingKind, -1,
                   g_Game.m_nGameMode);
}

void cSceneChallenge::Draw() {
  DrawScenePicture(0, 0, BLT_OPAQUE, [this](DDSURFACEDATA* p) { RenderList(p); });
  AnimateMenuColors();
}

void cSceneChallenge::FadeIn() {
  if (g_nBpp == 8) RenderAgain();
  Draw();
  if (FadeInStep()) m_nState = CHALLENGE_STATE_SELECT;
}

void cSceneChallenge::Select() {
  CountStages();
  cInput& in = MenuInput();
  g_MenuCursor.MoveList(in, 1, m_nScroll, LIST_Y, CHALLENGE_ROW_H, CURSOR_X, m_nVisibleRows, m_nListCount, 1);
  PlayCursorSound(in, 3, 0);
  const int row = g_MenuCursor.m_lpCurrent->nRow;
  if (in.m_sDir) {
    SetCurrentStage(row + 1);
    RenderAgain();
  }
  if (ButtonPressed(MENU_BUTTON_1)) {
    StartStage(row + 1);
    return;
  }
  if (ButtonPressed(MENU_BUTTON_2)) {
    PlaySystemSound(2);
    g_Game.m_nNextScene = SCENE_TITLE;
    g_Game.m_nPrevScene = SCENE_CHALLENGE;
    m_nState = CHALLENGE_STATE_FADE_OUT;
    return;
  }
  if (ButtonPressed(MENU_BUTTON_3)) {
    if (RankingOn()) {
      PlaySystemSound(6);
      g_SaveData.m_bRankingPanel = !g_SaveData.m_bRankingPanel;
      RenderAgain();
    } else {
      g_SaveData.m_bRankingPanel = 0;
    }
  } else if (ButtonPressed(MENU_BUTTON_4) && RankingOn()) {
    if (g_SystemData.GetRankingKindCount(g_Game.m_nGameMode) >= 2) {
      PlaySystemSound(6);
      g_SaveData.NextRankingKind(g_Game.m_nGameMode, 1);
    }
    RenderAgain();
  }
  Draw();
  DrawAccessoryCell(g_MenuCursor.m_lpCurrent->nX, g_MenuCursor.m_lpCurrent->nY, 0, 0, 32);
}

void cSceneChallenge::StartStage(int n) {
  const std::string name = ChallengeStageFile(n);
  if (!LoadStageInGame(name.c_str(), 1, &g_StageSettings, &g_PlayerCharaDef)) {
    PlaySystemSound(3);
    ErrorBoxf("ステージファイル %s が読み込めません！", name.c_str());
    return;
  }
  PlaySystemSound(1);
  g_SaveData.SetStageFile(g_Stage.m_strPath.c_str(), 0, 0, 0);
  g_SaveData.m_nSequenceNo = 1;
  g_SaveData.m_nStageNo = n;
  if (g_SystemData.m_InfiniteLives.At(GAME_MODE_CHALLENGE)) {
    g_SaveData.m_nLivesAtStart = LIVES_INFINITE;
    g_SaveData.m_nLives = LIVES_INFINITE;
  } else {
    g_SaveData.m_nLivesAtStart = g_SystemData.m_InitialLives.At(GAME_MODE_CHALLENGE);
    g_SaveData.m_nLives = g_SaveData.m_nLivesAtStart - 1;
  }
  g_SaveData.m_bSequence = 1;
  g_Game.m_nChallengeRow = g_MenuCursor.m_lpCurrent->nRow;
  g_Game.m_nChallengeScroll = m_nScroll;
  g_Game.m_nNextScene = SCENE_PLAY;
  g_Game.m_nPrevScene = SCENE_CHALLENGE;
  m_nState = CHALLENGE_STATE_FADE_OUT;
}

void cSceneChallenge::FadeOut() {
  if (FadeOutStep()) LeaveScene(true);
}
