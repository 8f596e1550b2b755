#include "stage/stage_start.h"

#include "data/stage_file.h"
#include "persist/save_data.h"
#include "persist/system_data.h"

int StartStageFile(const char* path, int nResolve, int bCloseOnDamage) {
  g_SaveData.Reset(g_SystemData.m_nChallengeCount);
  if (!LoadStageInGame(path, nResolve, &g_StageSettings, &g_PlayerCharaDef, bCloseOnDamage)) return 0;
  g_SaveData.m_nStageNo = 1;
  g_SaveData.m_nSequenceNo = 1;
  if (g_bFreeStageStart || g_SystemData.m_InfiniteLives.At(GAME_MODE_FREE)) {
    g_SaveData.m_nLivesAtStart = 999999;
    g_SaveData.m_nLives = 999999;
  } else {
    g_SaveData.m_nLivesAtStart = g_SystemData.m_InitialLives.At(GAME_MODE_FREE);
    g_SaveData.m_nLives = g_SaveData.m_nLivesAtStart - 1;
  }
  g_SaveData.SetStageFile(g_Stage.m_strPath.c_str(), 0, 0, 0);
  return 1;
}
